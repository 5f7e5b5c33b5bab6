#pragma once
// A rectangle in editor pixels, right and bottom exclusive. All four zero is
// the empty rectangle; a zero-width rectangle elsewhere is not empty.
#include <algorithm>
#include <cstdint>

namespace mg {

struct IRectangle {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr IRectangle() = default;
    constexpr IRectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }

    constexpr bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }

    constexpr bool Contains(int x, int y) const
    {
        return !Empty() && left <= x && x < right && top <= y && y < bottom;
    }

    constexpr IRectangle Union(const IRectangle& other) const
    {
        if (other.Empty()) return *this;
        if (Empty()) return other;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }

    // The tests against the other's left and top are inclusive, so a
    // rectangle that ends where the other begins still meets it; redraw
    // relies on this to ask an abutting control to draw (it then copies
    // nothing, its clipped width being zero).
    constexpr bool Intersects(const IRectangle& other) const
    {
        if (Empty() || other.Empty()) return false;
        return right >= other.left && left < other.right && bottom >= other.top && top < other.bottom;
    }

    constexpr IRectangle Intersect(const IRectangle& other) const
    {
        if (!Intersects(other)) return {};
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }

    friend constexpr bool operator==(const IRectangle&, const IRectangle&) = default;
};

} // namespace mg
