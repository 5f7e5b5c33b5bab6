#!/usr/bin/env bash
# Makes the release artefacts, into build/packages/:
#   marrow-grit_<version>_<arch>.deb     the Debian package (CPack, `package`
#                                        preset): plug-in, hosts, icon, texts
#   marrow-grit-<version>-windows.zip    32-bit/ and 64-bit/, each with
#                                        MarrowGrit.dll, MarrowGritHQ.dll and mg-host.exe, and
#                                        README.txt on which DLL goes where
#
#   scripts/package.sh [deb|windows|all]     (default: all)
#
# The version is the CMake project version. Installs what it needs (as root,
# idempotent). The archive's DLLs and programs are stripped copies; the
# unstripped ones stay in build/win32 and build/win64 for debugging.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
root=$(mg_root_dir)
cd "$root"
what=${1:-all}
case $what in
  deb | windows | all) ;;
  *) echo "usage: scripts/package.sh [deb|windows|all]" >&2; exit 2 ;;
esac
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
# Dates in the package (changelog, manual page) are the last commit's, so the
# same commit gives the same files.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]] && git rev-parse HEAD >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi
out=$root/build/packages
mkdir -p "$out"

project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$1/CMakeCache.txt"; }

make_deb() {
  "$here/install-deps.sh"
  "$here/install-package-tools.sh"
  mg_build_quietly package
  rm -f build/package/packages/*.deb "$out"/marrow-grit_*.deb
  local log
  log=$(mktemp)
  cpack --preset package >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; return 1; }
  rm -f "$log"
  cp build/package/packages/marrow-grit_*.deb "$out/"
  echo "package.sh: $(ls "$out"/marrow-grit_*.deb)"
}

make_windows_zip() {
  if [[ $(id -u) -eq 0 ]]; then "$here/install-mingw.sh"; fi
  "$here/build-mingw-deps.sh" all
  local stage=$root/build/packages/windows preset component version zip
  rm -rf "$stage"
  for preset in win32 win64; do
    mg_build_quietly "$preset" MarrowGrit MarrowGritHQ MarrowGritClap MarrowGritVst3 mg-host
    for component in plugin host doc; do
      cmake --install "build/$preset" --prefix "$stage" --component "$component" --strip >/dev/null
    done
  done
  version=$(project_version win64)
  zip=$out/marrow-grit-$version-windows.zip
  rm -f "$out"/marrow-grit-*-windows.zip
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip -- README.txt LICENSE.txt 32-bit 64-bit MarrowGrit.vst3)
  echo "package.sh: $zip"
}

[[ $what == windows ]] || make_deb
[[ $what == deb ]] || make_windows_zip
