#pragma once
// Reads a fuzz input front to back as a little script; past the end every
// read gives zeros, so any byte string is a complete script.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace mg::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    std::size_t Left() const { return Empty() ? 0 : size_ - pos_; }

    template <class T>
    T Take()
    {
        T value{};
        std::uint8_t bytes[sizeof(T)] = {};
        const std::size_t n = Left() < sizeof(T) ? Left() : sizeof(T);
        if (n > 0) std::memcpy(bytes, data_ + pos_, n);
        pos_ += n;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    std::uint8_t Byte() { return Take<std::uint8_t>(); }

    // Up to `count` raw bytes into `out`; the rest of `out` is zeroed.
    void Bytes(void* out, std::size_t count)
    {
        const std::size_t n = Left() < count ? Left() : count;
        if (n > 0) std::memcpy(out, data_ + pos_, n);
        if (n < count) std::memset(static_cast<std::uint8_t*>(out) + n, 0, count - n);
        pos_ += n;
    }

    // Mostly small numbers near the interesting range, sometimes anything.
    std::int32_t Index()
    {
        const std::uint8_t mode = Byte();
        if (mode < 200) return static_cast<std::int32_t>(mode % 24) - 2;
        if (mode < 240) return Take<std::int32_t>();
        return mode & 1 ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
    }

    std::intptr_t Value()
    {
        const std::uint8_t mode = Byte();
        if (mode < 160) return static_cast<std::intptr_t>(mode % 40) - 2;
        if (mode < 220) return static_cast<std::intptr_t>(Take<std::uint16_t>());
        if (mode < 250) return static_cast<std::intptr_t>(Take<std::int64_t>());
        return mode & 1 ? std::numeric_limits<std::intptr_t>::max() : std::numeric_limits<std::intptr_t>::min();
    }

    // Sample rates, normalised values and the values that break arithmetic.
    float Float()
    {
        static constexpr float kPicks[] = {
            0.0f, 1.0f, 0.5f, 0.25f, 0.999f, -1.0f, 2.0f, 8000.0f, 11025.0f, 22050.0f, 44100.0f, 48000.0f,
            96000.0f, 192000.0f, 384000.0f, 1.0e-30f, 1.0e30f, 1.0e-40f,
            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
            std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::max(),
            std::numeric_limits<float>::denorm_min(), -0.0f,
        };
        const std::uint8_t mode = Byte();
        constexpr std::size_t kCount = sizeof kPicks / sizeof kPicks[0];
        if (mode < 192) return kPicks[mode % kCount];
        if (mode < 224) return static_cast<float>(Take<std::uint16_t>()) / 65535.0f;
        return Take<float>();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace mg::fuzz
