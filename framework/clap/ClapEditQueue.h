#pragma once
// Editor edits on their way to a CLAP host: gesture begins, values and
// gesture ends, kept in order until the next process or flush call hands
// them over. Fixed capacity, so neither side allocates; the plug-in lock
// guards it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace mg {

struct ClapEdit {
    enum Kind : std::uint8_t { kBegin, kValue, kEnd };
    Kind kind = kValue;
    std::uint32_t paramId = 0;
    double value = 0.0; // plain, for kValue
};

class ClapEditQueue {
public:
    static constexpr std::size_t kCapacity = 256;
    // Room kept for gesture ends, so a flood of values never leaves a
    // begun gesture without its end.
    static constexpr std::size_t kGestureReserve = 32;

    bool Push(const ClapEdit& edit)
    {
        const std::size_t limit = edit.kind == ClapEdit::kValue ? kCapacity - kGestureReserve : kCapacity;
        if (count_ >= limit) return false;
        edits_[(first_ + count_) % kCapacity] = edit;
        ++count_;
        return true;
    }
    bool Empty() const { return count_ == 0; }
    const ClapEdit& Front() const { return edits_[first_]; }
    void Pop()
    {
        first_ = (first_ + 1) % kCapacity;
        --count_;
    }

private:
    std::array<ClapEdit, kCapacity> edits_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

} // namespace mg
