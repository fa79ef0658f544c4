// Fuzzes the command parser: any bytes parse or are refused, and what a command yields is
// taken from the command itself.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/MciCommand.h"
#include "tests/fuzz/FuzzRequire.h"

using velozor::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view command(reinterpret_cast<const char*>(data), size);
    const auto parsed = velozor::parseMciCommand(command);
    if (!parsed)
        return 0;
    for (const std::string* part : {&parsed->target, &parsed->type, &parsed->alias})
        require(command.find(*part) != std::string_view::npos);
    // A device type or an alias never holds a path separator.
    for (const std::string* word : {&parsed->type, &parsed->alias})
        require(word->find_first_of("/\\") == std::string::npos);
    return 0;
}
