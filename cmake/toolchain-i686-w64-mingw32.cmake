# Cross-compiling the 32-bit Windows build on Debian with mingw-w64.
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake ...
#
# Compilers, libraries and the prefix of the static Windows libraries are set
# as for the 64-bit build (toolchain-mingw-common.cmake).

set(MG_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Scalar float maths in SSE2 registers, never the x87 stack: x87 keeps 80-bit
# intermediates, so results would change with optimisation and register
# spills, and its denormal handling cannot be switched to flush-to-zero the way
# MXCSR can. Every CPU that runs a DAW today has SSE2. GCC for this target
# already realigns the stack on entry (-mstackrealign is its default), so hosts
# that call us with a 4-byte aligned stack are fine.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
