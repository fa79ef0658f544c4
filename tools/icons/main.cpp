// velozor-icons: writes the game's icon as the files a desktop or an installer needs.
//   velozor-icons --ico FILE        the Windows icon: 16, 32 and 48 pixels at 8 and 32 bits
// Exit status 0 when the file is written, 1 on a write error, 2 on a wrong command line.
#include <cstdio>
#include <string>

#include "tools/icons/IcoFile.h"

namespace {

constexpr const char* kUsage =
    "usage: velozor-icons --ico FILE\n"
    "  --ico FILE       the Windows icon (16, 32 and 48 pixels, 8 and 32 bits per pixel)\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "velozor-icons: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

int failed(const std::string& error) {
    std::fprintf(stderr, "velozor-icons: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string option = argc > 1 ? argv[1] : "";
    if (option == "--ico" && argc == 3) {
        std::string error;
        return velozor::icons::writeIco(argv[2], error) ? 0 : failed(error);
    }
    if (option == "--ico")
        return usage("--ico takes one FILE");
    return usage(option.empty() ? "nothing to write" : "unknown option \"" + option + "\"");
}
