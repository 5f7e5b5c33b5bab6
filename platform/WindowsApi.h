#pragma once
// <windows.h> the same way wherever it is needed: without the parts nothing
// here uses, and without the min and max macros that break std::min/max.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>
