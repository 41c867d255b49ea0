#include "WiringAssert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void FailedAssertion(const char* file, unsigned line, const char* condition)
{
    const char* name = std::strrchr(file, '/');
    std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", name ? name + 1 : file, line, condition);
    std::abort();
}
