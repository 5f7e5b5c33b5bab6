#pragma once
// A program's main body with its errors turned into one line on stderr,
// "PROGRAM: error: ...", and the exit status they carry.
#include <cstdio>
#include <exception>
#include <new>

#include "Failure.h"
#include "Text.h"

namespace mg::host {

inline int ReportError(const char* program, const char* message, int code)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: error: %s\n", program, Printable(message).c_str());
    return code;
}

template <class Body>
int Guarded(const char* program, Body&& body)
{
    try {
        return body();
    } catch (const Failure& failure) {
        return ReportError(program, failure.what(), failure.ExitCode());
    } catch (const std::bad_alloc&) {
        return ReportError(program, "out of memory", 1);
    } catch (const std::exception& e) {
        return ReportError(program, e.what(), 1);
    }
}

} // namespace mg::host
