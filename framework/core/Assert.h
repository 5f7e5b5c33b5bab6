#pragma once
// Checks for conditions only a faulty build can reach: they stop the process
// with the expression, source file and line, in every build type.
#include <cstdio>
#include <cstdlib>

#define MG_ASSERT(expr)                                                                    \
    do {                                                                                   \
        if (!(expr)) {                                                                     \
            std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", #expr,       \
                         __FILE__, __LINE__);                                              \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
