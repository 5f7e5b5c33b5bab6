#pragma once
// A 32-bit bitmap: one native word 0xAARRGGBB per pixel, straight alpha,
// rows top-down unless Flipped(); row r starts at Pixels() + r * RowSpan().
#include <cstdint>

namespace mg {

// Opaque handle of the window system's drawing context (an HDC on Windows);
// null where a bitmap has none.
using DeviceContextHandle = void*;

class IBitmap {
public:
    virtual ~IBitmap() = default;

    // Row 0, or null when the bitmap holds no pixels. The pointer stays valid
    // until the next Resize or destruction.
    virtual std::uint32_t* Pixels() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels per stored row; may exceed Width().
    virtual int RowSpan() const = 0;
    virtual bool Flipped() const = 0;
    // False when nothing changed (same size, or no surface to size).
    virtual bool Resize(int width, int height) = 0;
    virtual DeviceContextHandle DeviceContext() const = 0;
    // Spare hook the editor may call; bitmaps have nothing to do for it.
    virtual int Reserved(int, int) { return 0; }

protected:
    IBitmap() = default;
    IBitmap(const IBitmap&) = default;
    IBitmap& operator=(const IBitmap&) = default;
};

} // namespace mg
