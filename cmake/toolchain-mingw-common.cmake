# What the two Windows cross toolchains (toolchain-i686-w64-mingw32.cmake,
# toolchain-x86_64-w64-mingw32.cmake) share: included by both once they have
# set MG_TRIPLET and CMAKE_SYSTEM_PROCESSOR.
#
# Uses the win32 thread model compilers (installed by scripts/install-mingw.sh):
# no libwinpthread, so with static libgcc/libstdc++ the DLL imports only
# Windows system DLLs. std::thread / std::mutex are not available in this
# build; use the Win32 primitives instead.
#
# Static libpng/libjpeg (and a copy of zlib) come from scripts/build-mingw-deps.sh.
# Their prefix is MG_DEPS_PREFIX: a -D cache value, else the environment
# variable MG_DEPS_PREFIX, else $MG_DEPS_CACHE/mingw/<triplet>, else
# /var/cache/marrow-grit/mingw/<triplet>.

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MG_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MG_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER  ${MG_TRIPLET}-windres)

# CMake cannot derive the binutils prefix from a "-win32" compiler name, and
# the host ar/ranlib do not index PE objects, so name them all.
foreach(_mg_tool IN ITEMS ar ranlib nm objcopy objdump strip dlltool ld)
    string(TOUPPER "${_mg_tool}" _mg_var)
    if(_mg_tool STREQUAL "ld")
        set(_mg_var LINKER)
    endif()
    find_program(MG_MINGW_${_mg_var} ${MG_TRIPLET}-${_mg_tool})
    if(NOT MG_MINGW_${_mg_var})
        message(FATAL_ERROR "${MG_TRIPLET}-${_mg_tool} not found; run scripts/install-mingw.sh")
    endif()
    set(CMAKE_${_mg_var} "${MG_MINGW_${_mg_var}}" CACHE FILEPATH "" FORCE)
endforeach()

# No runtime DLLs from the compiler: libgcc and libstdc++ go into the binary.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

if(NOT MG_DEPS_PREFIX)
    if(DEFINED ENV{MG_DEPS_PREFIX} AND NOT "$ENV{MG_DEPS_PREFIX}" STREQUAL "")
        set(MG_DEPS_PREFIX "$ENV{MG_DEPS_PREFIX}")
    elseif(DEFINED ENV{MG_DEPS_CACHE} AND NOT "$ENV{MG_DEPS_CACHE}" STREQUAL "")
        set(MG_DEPS_PREFIX "$ENV{MG_DEPS_CACHE}/mingw/${MG_TRIPLET}")
    else()
        set(MG_DEPS_PREFIX "/var/cache/marrow-grit/mingw/${MG_TRIPLET}")
    endif()
endif()
set(MG_DEPS_PREFIX "${MG_DEPS_PREFIX}" CACHE PATH "Prefix of the static Windows libraries (libpng, libjpeg, zlib)")
# try_compile projects read this file again; hand them the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MG_DEPS_PREFIX)

# Our prefix first, then the mingw-w64 sysroot; programs come from the host.
set(CMAKE_FIND_ROOT_PATH "${MG_DEPS_PREFIX}" /usr/${MG_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot ships zlib as both libz.a and libz.dll.a; FindZLIB would pick the
# import library and the DLL would need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON CACHE BOOL "Link zlib statically")

# Keep pkg-config (if a project uses it) away from the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "${MG_DEPS_PREFIX}/lib/pkgconfig:/usr/${MG_TRIPLET}/lib/pkgconfig")
