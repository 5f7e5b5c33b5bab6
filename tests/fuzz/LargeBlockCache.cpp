// Operator new and delete for the fuzz targets that make pedal instances.
//
// AddressSanitizer maps every block of 128 KiB or more afresh and unmaps it
// when it is freed, so each new instance (its noise table, its editor's
// surfaces) cost page faults for about a megabyte: most of an input's time.
// Here a freed large block is kept, by size, and handed out again for the
// next block of that size. While kept it is poisoned, so a use after free is
// still reported (as a use of poisoned memory); handed out again it is
// filled with one byte, so what a new object finds there never depends on
// the inputs before.
//
// Small blocks, and large ones when the cache is full, go straight to
// malloc and free, which the sanitizer checks as usual.
#include <sanitizer/asan_interface.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

namespace {

constexpr std::size_t kLarge = std::size_t{1} << 17;
constexpr int kSlots = 64;
constexpr unsigned char kFill = 0xBE;

struct Slot {
    void* block;
    std::size_t size;
    std::size_t alignment;
};

Slot slots[kSlots];
std::atomic_flag busy = ATOMIC_FLAG_INIT;

struct Hold {
    Hold()
    {
        while (busy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~Hold() { busy.clear(std::memory_order_release); }
};

void* Reuse(std::size_t size, std::size_t alignment)
{
    if (size < kLarge) return nullptr;
    Hold hold;
    for (Slot& slot : slots) {
        if (slot.block && slot.size == size && slot.alignment == alignment) {
            void* block = slot.block;
            slot.block = nullptr;
            ASAN_UNPOISON_MEMORY_REGION(block, size);
            std::memset(block, kFill, size);
            return block;
        }
    }
    return nullptr;
}

// True when the cache took the block.
bool Keep(void* block, std::size_t alignment)
{
    const std::size_t size = malloc_usable_size(block);
    if (size < kLarge) return false;
    Hold hold;
    for (Slot& slot : slots) {
        if (!slot.block) {
            slot = Slot{block, size, alignment};
            ASAN_POISON_MEMORY_REGION(block, size);
            return true;
        }
    }
    return false;
}

void* Allocate(std::size_t size, std::size_t alignment)
{
    if (size == 0) size = 1;
    if (void* block = Reuse(size, alignment)) return block;
    if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
    void* block = nullptr;
    return posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

void Release(void* block, std::size_t alignment)
{
    if (block && !Keep(block, alignment)) std::free(block);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment)
{
    void* block = Allocate(size, alignment);
    if (!block) throw std::bad_alloc();
    return block;
}

constexpr std::size_t kPlain = 0;

} // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kPlain); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kPlain); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<std::size_t>(a));
}

void operator delete(void* block) noexcept { Release(block, kPlain); }
void operator delete[](void* block) noexcept { Release(block, kPlain); }
void operator delete(void* block, std::size_t) noexcept { Release(block, kPlain); }
void operator delete[](void* block, std::size_t) noexcept { Release(block, kPlain); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block, kPlain); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block, kPlain); }
void operator delete(void* block, std::align_val_t a) noexcept { Release(block, static_cast<std::size_t>(a)); }
void operator delete[](void* block, std::align_val_t a) noexcept { Release(block, static_cast<std::size_t>(a)); }
void operator delete(void* block, std::size_t, std::align_val_t a) noexcept
{
    Release(block, static_cast<std::size_t>(a));
}
void operator delete[](void* block, std::size_t, std::align_val_t a) noexcept
{
    Release(block, static_cast<std::size_t>(a));
}
void operator delete(void* block, std::align_val_t a, const std::nothrow_t&) noexcept
{
    Release(block, static_cast<std::size_t>(a));
}
void operator delete[](void* block, std::align_val_t a, const std::nothrow_t&) noexcept
{
    Release(block, static_cast<std::size_t>(a));
}
