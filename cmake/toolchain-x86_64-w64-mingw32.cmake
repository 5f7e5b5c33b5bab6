# Cross-compiling the 64-bit Windows build on Debian with mingw-w64.
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake ...
#
# Compilers, libraries and the prefix of the static Windows libraries are set
# as for the 32-bit build (toolchain-mingw-common.cmake).

set(MG_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# SSE2 is the baseline on x86-64; nothing to add.
