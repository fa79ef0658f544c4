// Assertions for a programmer's mistake: when the condition fails, the program prints where,
// what was checked and a hint that says how to put it right, then aborts. Active in every
// build, release too: the checks guard table indexes and names, and cost next to nothing.
// Runtime failures (a missing file, a device that will not open) are results, not these.
#pragma once

namespace velozor {

// Prints "velozor: <file>:<line>: assertion failed: <condition>: <hint>" to stderr and aborts.
[[noreturn]] void assertionFailed(const char* condition, const char* hint, const char* file,
                                  int line);

}  // namespace velozor

// `hint` is a string literal saying what was wrong and how to fix it.
#define VELOZOR_ASSERT(condition, hint)                                       \
    do {                                                                      \
        if (!(condition))                                                     \
            ::velozor::assertionFailed(#condition, hint, __FILE__, __LINE__); \
    } while (false)
