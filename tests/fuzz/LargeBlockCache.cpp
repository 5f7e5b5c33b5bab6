// Allocation for the fuzz targets that make pedal instances.
//
// AddressSanitizer maps every block of 128 KiB or more afresh and unmaps it
// when it is freed, so each new instance (its noise table, its editor's
// surfaces) cost page faults for about a megabyte: most of an input's time.
// Here a freed large block is kept, by size, and handed out again for the
// next block of that size. While kept it is poisoned, so a use after free is
// still reported (as a use of poisoned memory); handed out again it holds
// what a new block from the sanitizer would, so what a new object finds
// there never depends on the inputs before.
//
// The targets link with --wrap for malloc, calloc and free, so the calls in
// our code come here; operator new and delete are replaced to go the same
// way. Small blocks, and large ones when the cache is full, go straight to
// the sanitizer's allocator.
#include <sanitizer/asan_interface.h>

#include <atomic>
#include <cstdint>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __real_calloc(std::size_t count, std::size_t size);
extern "C" void __real_free(void* block);

namespace {

constexpr std::size_t kLarge = std::size_t{1} << 17;
constexpr int kSlots = 64;
// What the sanitizer's allocator leaves in a new block of this size: its
// first 4 KiB filled with 0xBE, the rest fresh zero pages.
constexpr unsigned char kFill = 0xBE;
constexpr std::size_t kFillBytes = 4096;

struct Slot {
    void* block;
    std::size_t size;
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

void* Reuse(std::size_t size, unsigned char fill)
{
    if (size < kLarge) return nullptr;
    Hold hold;
    for (Slot& slot : slots) {
        if (slot.block && slot.size == size) {
            void* block = slot.block;
            slot.block = nullptr;
            ASAN_UNPOISON_MEMORY_REGION(block, size);
            std::memset(block, 0, size);
            if (fill) std::memset(block, fill, size < kFillBytes ? size : kFillBytes);
            return block;
        }
    }
    return nullptr;
}

// True when the cache took the block.
bool Keep(void* block)
{
    const std::size_t size = malloc_usable_size(block);
    if (size < kLarge) return false;
    Hold hold;
    for (Slot& slot : slots) {
        if (!slot.block) {
            slot = Slot{block, size};
            ASAN_POISON_MEMORY_REGION(block, size);
            return true;
        }
    }
    return false;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment)
{
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        block = std::malloc(size ? size : 1);
    } else if (posix_memalign(&block, alignment, size ? size : 1) != 0) {
        block = nullptr;
    }
    if (!block) throw std::bad_alloc();
    return block;
}

void* AllocateOrNull(std::size_t size, std::size_t alignment) noexcept
{
    try {
        return AllocateOrThrow(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

constexpr std::size_t kPlain = 0;

} // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size, kPlain); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size, kPlain); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, static_cast<std::size_t>(a));
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(block);
}

extern "C" void* __wrap_malloc(std::size_t size)
{
    if (void* block = Reuse(size, kFill)) return block;
    return __real_malloc(size);
}

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    if (size != 0 && count <= SIZE_MAX / size)
        if (void* block = Reuse(count * size, 0)) return block;
    return __real_calloc(count, size);
}

extern "C" void __wrap_free(void* block)
{
    if (block && !Keep(block)) __real_free(block);
}
