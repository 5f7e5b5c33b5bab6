#pragma once
// Row addressing shared by every pixel operation.
#include <cstddef>
#include <cstdint>

#include "raster/IBitmap.h"

namespace mg {

// Row r as the caller sees it (top-down); a flipped bitmap stores its rows
// bottom-up. The caller has checked that r is inside and pixels exist.
inline std::uint32_t* RowOf(const IBitmap& b, int r)
{
    const int stored = b.Flipped() ? b.Height() - 1 - r : r;
    return b.Pixels() + static_cast<std::ptrdiff_t>(stored) * b.RowSpan();
}

} // namespace mg
