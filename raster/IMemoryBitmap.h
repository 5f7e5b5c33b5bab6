#pragma once
// A bitmap in a heap block: decoded images and scratch surfaces.
#include <cstddef>

#include "raster/IBitmap.h"

namespace mg {

class IMemoryBitmap final : public IBitmap {
public:
    // A failed allocation leaves an empty 0 x 0 bitmap without pixels.
    IMemoryBitmap(int width = 0, int height = 0);
    ~IMemoryBitmap() override;
    IMemoryBitmap(const IMemoryBitmap&) = delete;
    IMemoryBitmap& operator=(const IMemoryBitmap&) = delete;

    std::uint32_t* Pixels() const override { return pixels_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    bool Flipped() const override { return false; }
    // Grows the block to a quarter more than needed so that repeated growth
    // does not reallocate each time; keeps it when shrinking; frees it for an
    // empty size. Pixel content is not preserved in any meaningful layout.
    bool Resize(int width, int height) override;
    DeviceContextHandle DeviceContext() const override { return nullptr; }

    std::size_t CapacityBytes() const { return capacity_; }

private:
    void Release();

    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace mg
