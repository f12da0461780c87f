#include "platform/assertion.h"

#include <cstdio>
#include <cstdlib>

void assertion_failed(const char* condition, const char* what, const char* file, int line) {
    std::fprintf(stderr, "torvi: %s:%d: %s (%s)\n", file, line, what, condition);
    std::abort();
}
