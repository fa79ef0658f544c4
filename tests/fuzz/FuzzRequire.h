// The fuzzers' check of a property: a failure aborts, which libFuzzer reports as a crash and
// saves with the input that caused it.
#pragma once

#include <cstdlib>

namespace velozor::fuzz {

inline void require(bool holds) {
    if (!holds)
        std::abort();
}

}  // namespace velozor::fuzz
