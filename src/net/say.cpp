#include "net/say.h"

#include <cstdarg>
#include <cstdio>

void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("torvi: ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}
