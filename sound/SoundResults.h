// Where the sound services leave what their calls return: three variables the game keeps in
// its own record, handed in by reference so the services need not know that record.
#pragma once

#include <cstdint>
#include <string>

namespace velozor {

struct SoundResults {
    std::string& rutaCorta;  // short form of the last path given to acortarRuta
    int32_t& resMci;         // result of the last command string or short-path call
    int32_t& resSonido;      // result of the last one-shot call
};

}  // namespace velozor
