#pragma once
// Under AddressSanitizer, a check that a whole buffer may be touched. Where
// the effect chain's kernels are built without the sanitizer's checks (the
// fuzz build, where those checks on wide vector loads took most of the
// time), the buffers a block hands them are checked here whole instead, so
// a block longer than its buffers is still reported where it enters them.
// Elsewhere it compiles to nothing.
#include <cstddef>

#if defined(__has_feature)
#  if __has_feature(address_sanitizer)
#    define MG_ADDRESS_CHECKS 1
#  endif
#endif
#if !defined(MG_ADDRESS_CHECKS) && defined(__SANITIZE_ADDRESS__)
#  define MG_ADDRESS_CHECKS 1
#endif

#if defined(MG_ADDRESS_CHECKS)
#  include <sanitizer/asan_interface.h>
#  include <cstdlib>
#endif

namespace mg {

inline void CheckAddressable([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes)
{
#if defined(MG_ADDRESS_CHECKS)
    if (void* bad = __asan_region_is_poisoned(const_cast<void*>(data), bytes)) {
        __asan_describe_address(bad);
        std::abort();
    }
#endif
}

} // namespace mg
