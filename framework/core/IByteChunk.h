#pragma once
// A growable little-endian byte buffer: preset states and host chunks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mg {

class IByteChunk {
public:
    static constexpr std::size_t kGranularity = 4096;

    int Size() const { return static_cast<int>(bytes_.size()); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::uint8_t* Data() { return bytes_.data(); }

    // Resizing and appending report false when memory cannot be had; the
    // chunk then keeps its old content. Bytes gained by growing are zero.
    bool Resize(int size);
    bool Append(const void* data, int size);
    void Clear() { bytes_.clear(); }

    bool PutUInt32(std::uint32_t v);
    bool PutDouble(double v);
    // Reads at `pos`; false when fewer bytes than needed remain.
    bool ReadUInt32(int pos, std::uint32_t& out) const;
    bool ReadDouble(int pos, double& out) const;

private:
    bool Reserve(std::size_t size);
    std::vector<std::uint8_t> bytes_;
};

} // namespace mg
