// The whole content is built in memory first, so a failure here never leaves a file that looks
// finished: the message says whether nothing could be written or the write stopped part-way.
#include "tools/soundpack/FileBytes.h"

#include <fstream>
#include <stdexcept>

namespace velozor::soundpack {

void writeFileBytes(const std::filesystem::path& file, std::string_view bytes,
                    const std::string& kind) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error(kind + " " + file.string() +
                                 ": cannot create it (check that the folder exists and is "
                                 "writable)");
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error(kind + " " + file.string() +
                                 ": writing failed part-way (is the disk full?)");
    }
}

}  // namespace velozor::soundpack
