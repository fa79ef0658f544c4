// Writing a finished file in one piece, with a message that says what went wrong.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velozor::soundpack {

// Replaces `file` with `bytes`. Throws std::runtime_error beginning with `kind` and the file's
// name ("wave file /tmp/x.wav: ...") when it cannot be created or is cut short.
void writeFileBytes(const std::filesystem::path& file, std::string_view bytes,
                    const std::string& kind);

}  // namespace velozor::soundpack
