#pragma once
// The desktop's text scale on X11: the Xft.dpi resource that desktops put
// in the root window's resource database (96 is 100 %).
#include <cstddef>

namespace mg::x11 {

// Xft.dpi from a resource database's text, 0 when it has none or a value no
// display has.
double XftDpiOf(const char* resources, std::size_t length);

// Xft.dpi of the display DISPLAY names, 0 when there is none to read.
double DisplayXftDpi();

} // namespace mg::x11
