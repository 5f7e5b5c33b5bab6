#include "IByteChunk.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace mg {

bool IByteChunk::Reserve(std::size_t size)
{
    if (size <= bytes_.capacity()) return true;
    const std::size_t rounded = (size + kGranularity - 1) / kGranularity * kGranularity;
    try {
        bytes_.reserve(rounded);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool IByteChunk::Resize(int size)
{
    if (size < 0) return false;
    if (!Reserve(static_cast<std::size_t>(size))) return false;
    bytes_.resize(static_cast<std::size_t>(size), 0);
    return true;
}

bool IByteChunk::Append(const void* data, int size)
{
    if (size < 0 || (size > 0 && !data)) return false;
    const std::size_t old = bytes_.size();
    if (!Reserve(old + static_cast<std::size_t>(size))) return false;
    bytes_.resize(old + static_cast<std::size_t>(size));
    if (size > 0) std::memcpy(bytes_.data() + old, data, static_cast<std::size_t>(size));
    return true;
}

bool IByteChunk::PutUInt32(std::uint32_t v)
{
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    return Append(b, 4);
}

bool IByteChunk::PutDouble(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return Append(b, 8);
}

bool IByteChunk::ReadUInt32(int pos, std::uint32_t& out) const
{
    if (pos < 0 || static_cast<std::size_t>(pos) + 4 > bytes_.size()) return false;
    const std::uint8_t* p = bytes_.data() + pos;
    out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
          static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return true;
}

bool IByteChunk::ReadDouble(int pos, double& out) const
{
    if (pos < 0 || static_cast<std::size_t>(pos) + 8 > bytes_.size()) return false;
    const std::uint8_t* p = bytes_.data() + pos;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
    std::memcpy(&out, &bits, sizeof out);
    return true;
}

} // namespace mg
