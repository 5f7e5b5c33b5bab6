#!/usr/bin/env bash
# The Windows builds and their tests: cross-builds MarrowGrit.dll and mg-host
# for 32-bit (win32 preset) and 64-bit (win64 preset) Windows, then checks
# what each DLL exports and imports.
#
#   scripts/test-windows.sh
#
# Installs what it needs (as root, idempotent) and builds the static Windows
# libraries once into /var/cache/marrow-grit (scripts/build-mingw-deps.sh).
# Ends with a line "windows: N passed, M failed"; exits 1 when any check
# failed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
root=$(mg_root_dir)
cd "$root"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

started=$SECONDS
passed=0
failed=0
failures=()

# check NAME COMMAND...: runs the command quietly, shows its output only on
# failure.
check() {
    local name=$1 out
    shift
    out=$(mktemp)
    if "$@" >"$out" 2>&1; then
        echo "  ok    $name"
        passed=$((passed + 1))
    else
        echo "  FAIL  $name"
        sed 's/^/        /' "$out" | tail -n 40
        failed=$((failed + 1))
        failures+=("$name")
    fi
    rm -f "$out"
}

section() { echo "== windows: $* ($((SECONDS - started)) s) =="; }

# ------------------------------------------------------------------ set-up
section "tools"
"$here/install-mingw.sh" --wine
section "static libraries"
"$here/build-mingw-deps.sh" all
for preset in win32 win64; do
    section "build $preset"
    mg_build_quietly "$preset" MarrowGrit mg-host
done

# --------------------------------------------------------- exports, imports
objdump_for() { [[ $1 == win32 ]] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump; }

# Windows' own DLLs: anything else (the compiler's runtime, zlib, libpng, a
# threads library) would have to be shipped beside the plug-in.
system_dlls='^(kernel32|user32|gdi32|msvcrt|comdlg32|shell32|wininet|advapi32)\.dll$'

imports_only_system_dlls() {
    local objdump=$1 file=$2 names bad
    names=$("$objdump" -p "$file" | awk '/DLL Name:/ { print $3 }')
    echo "imports: $(echo $names)"
    [[ -n $names ]] || return 1
    bad=$(echo "$names" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
    [[ -z $bad ]] || { echo "not a system DLL: $bad"; return 1; }
}

exports_entry_points_only() {
    local objdump=$1 file=$2 names
    names=$("$objdump" -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        awk '/^\t\[/ { print $NF }' | sort | tr '\n' ' ')
    echo "exports: $names"
    [[ $names == "VSTPluginMain main " ]]
}

file_format_is() {
    local objdump=$1 file=$2 want=$3
    "$objdump" -f "$file" | grep -q "file format $want\$"
}

for preset in win32 win64; do
    section "$preset: exports and imports"
    objdump=$(objdump_for "$preset")
    dll=build/$preset/lib/MarrowGrit.dll
    [[ $preset == win32 ]] && format=pei-i386 || format=pei-x86-64
    check "$preset MarrowGrit.dll is $format" file_format_is "$objdump" "$dll" "$format"
    check "$preset MarrowGrit.dll exports VSTPluginMain and main only" exports_entry_points_only "$objdump" "$dll"
    check "$preset MarrowGrit.dll imports only system DLLs" imports_only_system_dlls "$objdump" "$dll"
    check "$preset mg-host.exe imports only system DLLs" imports_only_system_dlls "$objdump" "build/$preset/bin/mg-host.exe"
done

section "done"
if [[ $failed -gt 0 ]]; then
    printf 'failed: %s\n' "${failures[@]}"
fi
echo "windows: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
