#!/usr/bin/env bash
# Installs what cross-building the Windows DLLs needs (Debian 12, run as root).
# Idempotent: does nothing when every package is already there.
#
#   scripts/install-mingw.sh          # compilers, static zlib, build tools
#   scripts/install-mingw.sh --wine   # also wine (i386 + amd64) to run test .exe files,
#                                     # and Xvfb, xdotool and ImageMagick for the
#                                     # editor window tests
#
# Thread model: we install only the "-win32" variants of the mingw-w64 GCC.
# The plug-in locks with Win32 critical sections and never needs std::thread or
# std::mutex on Windows, and the win32 model keeps libwinpthread out of the
# picture entirely: nothing to link statically, no extra DLL to ship. The
# toolchain files name the -win32 compilers explicitly, so the system-wide
# update-alternatives choice does not matter.
#
# libjpeg-turbo is built without SIMD, so nasm is not needed: images are decoded
# once when the editor opens, speed there does not matter.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"

with_wine=0
for arg in "$@"; do
    case "$arg" in
        --wine) with_wine=1 ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *) echo "install-mingw.sh: unknown argument '$arg' (use --wine or nothing)" >&2; exit 2 ;;
    esac
done

# CMake, Ninja and the rest of the native tools come with the native build.
"$here/install-deps.sh"
mg_apt_install \
    gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32 \
    gcc-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-win32 \
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
    libz-mingw-w64-dev dpkg-dev xz-utils

if [[ $with_wine -eq 1 ]]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        [[ $(id -u) -eq 0 ]] || { echo "install-mingw.sh: run as root to enable the i386 architecture" >&2; exit 1; }
        echo "install-mingw.sh: enabling the i386 architecture for wine32"
        dpkg --add-architecture i386
    fi
    mg_apt_install wine wine64 wine32:i386 xauth
    # The editor window tests' X server and screenshots.
    "$here/install-x11-test-tools.sh"
fi
