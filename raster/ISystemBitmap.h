#pragma once
// The editor's draw surface. On Windows a top-down 32-bit DIB section selected
// into a memory device context, so the window can be painted straight from it;
// elsewhere a plain heap block with the same sizing rules.
//
// The surface keeps its block when it shrinks (only the logical size
// changes), so RowSpan() is the allocated width, not Width().
#include "raster/IBitmap.h"

namespace mg {

class ISystemBitmap final : public IBitmap {
public:
    // A failed allocation leaves a 0 x 0 surface without pixels.
    ISystemBitmap(int width = 0, int height = 0);
    ~ISystemBitmap() override;
    ISystemBitmap(const ISystemBitmap&) = delete;
    ISystemBitmap& operator=(const ISystemBitmap&) = delete;

    std::uint32_t* Pixels() const override { return pixels_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return allocWidth_; }
    bool Flipped() const override { return false; }
    // True when the surface was (re)made or its logical size changed within
    // the block; false for the same size, for an empty size, or without a
    // device context.
    bool Resize(int width, int height) override;
    DeviceContextHandle DeviceContext() const override { return dc_; }

    int AllocatedWidth() const { return allocWidth_; }
    int AllocatedHeight() const { return allocHeight_; }

private:
    // Frees the current block (on Windows: puts the replaced object back into
    // the device context and deletes the section).
    void FreeSurface();
    // Makes a block of allocWidth_ x allocHeight_; false on failure.
    bool MakeSurface();

    DeviceContextHandle dc_ = nullptr; // HDC on Windows
    void* section_ = nullptr;          // HBITMAP on Windows
    void* replaced_ = nullptr;         // HGDIOBJ on Windows
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int allocWidth_ = 0;
    int allocHeight_ = 0;
};

} // namespace mg
