// The failure path of VELOZOR_ASSERT.
#include "base/Assert.h"

#include <cstdio>
#include <cstdlib>

namespace velozor {

void assertionFailed(const char* condition, const char* hint, const char* file, int line) {
    std::fprintf(stderr, "velozor: %s:%d: assertion failed: %s: %s\n", file, line, condition, hint);
    std::fflush(stderr);
    std::abort();
}

}  // namespace velozor
