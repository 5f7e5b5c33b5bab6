#!/usr/bin/env bash
# The release artefacts, made and used as a user would:
#   - the Debian package: its control fields, lintian (no errors, no
#     unexplained warnings), dpkg -i, the files where hosts look for them
#     (Ardour finds the plug-in in /usr/lib/vst through its own search path,
#     mg-host reads it, the launchers run when the package has them), then
#     dpkg --purge leaves nothing behind;
#   - an install to a user prefix (~/.local of a scratch home) by someone
#     who is not root, linked into ~/.vst as README says, found there;
#   - the Windows archive: its entries, stripped DLLs, and mg-host.exe info
#     on each DLL under wine.
#
#   scripts/test-package.sh
#
# Runs scripts/package.sh first. Needs root (dpkg). Work files, logs and the
# wine prefix stay in build/package-test/. Ends with "package: N passed, M
# failed"; exits 1 when any check failed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
source "$here/wine-lib.sh"
root=$(mg_root_dir)
cd "$root"
[[ $(id -u) -eq 0 ]] || { echo "test-package.sh: run as root (it installs the package)" >&2; exit 1; }

"$here/install-hosts.sh" >/dev/null
"$here/install-mingw.sh" --wine >/dev/null
"$here/package.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
deb=$(ls build/packages/marrow-grit_"$version"_*.deb)
zip=build/packages/marrow-grit-$version-windows.zip
work=$root/build/package-test
rm -rf "$work"
mkdir -p "$work"
passed=0
failed=0

# check NAME COMMAND...: runs the command in a subshell that stops at its
# first failing step; shows its output only on failure.
check() {
  local name=$1 out=$work/check.log rc
  shift
  # Not "|| rc=$?": that would switch set -e off inside the subshell.
  set +e
  (set -e; "$@") >"$out" 2>&1
  rc=$?
  set -e
  if [[ $rc -eq 0 ]]; then
    echo "  ok    $name"
    passed=$((passed + 1))
  else
    echo "  FAIL  $name"
    sed 's/^/        /' "$out" | tail -n 40
    failed=$((failed + 1))
  fi
}

# Ardour with a scratch home: its scanner describes FOLDER/MarrowGrit.so, as
# Ardour does when it scans (other plug-ins there are not ours to scan), then
# a session lists what Ardour finds through its search path (LXVST_PATH when
# given, else its default folders). Prints the plug-in's line.
ardour_finds() { # FOLDER [LXVST_PATH]
  local folder=$1 home=$work/ardour-home
  rm -rf "$home" "$work/ardour-session"
  mkdir -p "$home"
  local env=(env -u LXVST_PATH HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
    XDG_DATA_HOME="$home/data")
  [[ $# -lt 2 ]] || env+=(LXVST_PATH="$2")
  "${env[@]}" LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 30 /usr/lib/ardour7/ardour-vst-scanner -f "$folder/MarrowGrit.so"
  "${env[@]}" MG_SESSION="$work/ardour-session" timeout 60 ardour7-lua tests/package/ardour-plugins.lua \
    >"$work/ardour.log" 2>&1 || true
  grep -qx done "$work/ardour.log" || { cat "$work/ardour.log"; return 1; }
  grep -x "lxvst Marrow-Grit\[M\] $folder/MarrowGrit.so" "$work/ardour.log" ||
    { grep '^lxvst' "$work/ardour.log"; echo "Ardour did not list $folder/MarrowGrit.so"; return 1; }
}

describes_pedal() { # MG-HOST PLUGIN
  "$1" info "$2" | tee "$work/info.log"
  grep -qx 'name: Marrow-Grit\[M\]' "$work/info.log"
  grep -qx 'parameters: 4' "$work/info.log"
}

describes_hq() { # MG-HOST PLUGIN
  "$1" info "$2" | tee "$work/info-hq.log"
  grep -qx 'name: Marrow-Grit HQ' "$work/info-hq.log"
  grep -qx 'initial delay: 15' "$work/info-hq.log"
}

# (grep reads all it is given: with -q it could stop the writer early, and
# pipefail would count that as a failure.)
shows_version() { "$@" --version | grep -w -- "$version"; }

# For the parts that not every build has (the live host and its launcher).
if_installed() { # FILE COMMAND...
  if [[ ! -e $1 ]]; then echo "$1 not installed"; return 0; fi
  shift
  "$@"
}

# ------------------------------------------------------------ Debian package
echo "== package: $(basename "$deb") =="
control_fields() {
  dpkg-deb -f "$deb" Package Version Architecture Maintainer Depends Description | tee "$work/control"
  [[ $(dpkg-deb -f "$deb" Package) == marrow-grit ]]
  [[ $(dpkg-deb -f "$deb" Version) == "$version" ]]
  [[ $(dpkg-deb -f "$deb" Architecture) == "$(dpkg --print-architecture)" ]]
  local dep depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for dep in libsndfile1 libpng16-16 libxcb1; do grep -qw "$dep" <<<"$depends"; done
  if dpkg-deb -c "$deb" | grep '/usr/bin/mg-live$'; then grep -qw 'libjack[^ ,]*' <<<"$depends"; fi
  [[ $(dpkg-deb -f "$deb" Description | wc -l) -gt 2 ]]
}
check "control: name, version $version, architecture, dependencies, descriptions" control_fields
check "lintian: no errors, no warnings without a note" lintian --fail-on error,warning "$deb"

dpkg --purge marrow-grit >/dev/null 2>&1 || true
installs() {
  dpkg -i "$deb" || DEBIAN_FRONTEND=noninteractive apt-get -f install -y -qq
  [[ $(dpkg-query -W -f='${Status}' marrow-grit) == 'install ok installed' ]]
  dpkg -L marrow-grit >"$work/installed-files"
}
check "dpkg -i (and apt-get -f install for dependencies)" installs
check "Ardour finds the plug-in in /usr/lib/vst through its default search path" ardour_finds /usr/lib/vst
check "mg-host info /usr/lib/vst/MarrowGrit.so" describes_pedal /usr/bin/mg-host /usr/lib/vst/MarrowGrit.so
check "mg-host info /usr/lib/vst/MarrowGritHQ.so" describes_hq /usr/bin/mg-host /usr/lib/vst/MarrowGritHQ.so
check "mg-host info /usr/lib/clap/MarrowGrit.clap" describes_pedal /usr/bin/mg-host /usr/lib/clap/MarrowGrit.clap
check "mg-host info /usr/lib/vst3/MarrowGrit.vst3" describes_pedal /usr/bin/mg-host /usr/lib/vst3/MarrowGrit.vst3
check "mg-host --version shows $version" shows_version /usr/bin/mg-host
check "mg-live --version shows $version, where installed" if_installed /usr/bin/mg-live shows_version /usr/bin/mg-live
check "marrow-grit --help, where installed" if_installed /usr/bin/marrow-grit /usr/bin/marrow-grit --help
check "icon and manual page in place" \
  test -f /usr/share/icons/hicolor/48x48/apps/marrow-grit.png -a -f /usr/share/man/man1/mg-host.1.gz
lv2_lists_bundle() {
  local bundle
  bundle=$(ls -d /usr/lib/lv2/marrow-grit*.lv2 2>/dev/null | head -n 1 || true)
  if [[ -z $bundle ]]; then echo "no bundle in this package"; return 0; fi
  mg_apt_install lilv-utils
  mkdir -p "$work/lv2" && ln -sfn "$bundle" "$work/lv2/"
  LV2_PATH=$work/lv2:/usr/lib/lv2 lv2ls >"$work/lv2ls.log"
  cat "$work/lv2ls.log"
  [[ -s $work/lv2ls.log ]]
}
check "lv2ls lists the LV2 bundle, where installed" lv2_lists_bundle

leaves_nothing() {
  dpkg --purge marrow-grit
  if dpkg-query -W -f='${Status}\n' marrow-grit 2>/dev/null | grep installed; then return 1; fi
  local path left=0
  while read -r path; do
    [[ -e $path || -L $path ]] || continue
    # Folders other packages share stay; a file, or an empty folder of ours, must not.
    if [[ -d $path && ! -L $path ]] && { [[ -n $(ls -A "$path") ]] || dpkg -S "$path" >/dev/null 2>&1; }; then
      continue
    fi
    echo "left behind: $path"
    left=1
  done <"$work/installed-files"
  [[ $left -eq 0 ]]
}
check "dpkg --purge leaves nothing behind" leaves_nothing

# --------------------------------------------------------------- user prefix
echo "== package: user prefix =="
home=$work/home
mkdir -p "$home"
# Someone who is not root, in a home of their own. A user installs from a
# build tree of their own; this one is root's, so the user gets the one file
# the install writes into it, its list of installed files.
chown nobody:nogroup "$home"
touch build/package/install_manifest.txt
chown nobody:nogroup build/package/install_manifest.txt
as_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" "$@"; }
user_install() {
  as_user cmake --install build/package --prefix "$home/.local"
  test -f "$home/.local/lib/vst/MarrowGrit.so"
  test -x "$home/.local/bin/mg-host"
  test -f "$home/.local/share/icons/hicolor/48x48/apps/marrow-grit.png"
  test -f "$home/.local/share/doc/marrow-grit/copyright"
  # As README tells a user: hosts look for one user's plug-ins in ~/.vst.
  as_user mkdir -p "$home/.vst"
  as_user ln -sf "$home/.local/lib/vst/MarrowGrit.so" "$home/.vst/"
}
check "cmake --install --prefix ~/.local as a user, linked into ~/.vst" user_install
check "Ardour finds the plug-in in ~/.vst (LXVST_PATH=~/.vst)" ardour_finds "$home/.vst" "$home/.vst"
check "~/.local/bin/mg-host info ~/.vst/MarrowGrit.so" describes_pedal "$home/.local/bin/mg-host" "$home/.vst/MarrowGrit.so"
check "~/.local/bin/marrow-grit --help, where installed" \
  if_installed "$home/.local/bin/marrow-grit" as_user "$home/.local/bin/marrow-grit" --help

# ------------------------------------------------------------ Windows archive
echo "== package: $(basename "$zip") =="
archive_entries() {
  unzip -Z1 "$zip" | grep -v '/$' | sort | tee "$work/zip-entries"
  diff <(printf '%s\n' 32-bit/MarrowGrit.clap 32-bit/MarrowGrit.dll 32-bit/MarrowGritHQ.dll 32-bit/mg-host.exe \
    64-bit/MarrowGrit.clap 64-bit/MarrowGrit.dll 64-bit/MarrowGritHQ.dll 64-bit/mg-host.exe LICENSE.txt README.txt \
    MarrowGrit.vst3/Contents/x86-win/MarrowGrit.vst3 MarrowGrit.vst3/Contents/x86_64-win/MarrowGrit.vst3 | sort) \
    "$work/zip-entries"
  rm -rf "$work/windows"
  unzip -q "$zip" -d "$work/windows"
  grep -q '32-bit\\MarrowGrit.dll' "$work/windows/README.txt"
}
check "archive holds 32-bit/ and 64-bit/ MarrowGrit.dll, MarrowGritHQ.dll, MarrowGrit.clap and mg-host.exe, the VST 3 bundle with both modules, README.txt, LICENSE.txt" archive_entries
stripped() { # OBJDUMP ARCHIVED BUILT
  if "$1" -h "$2" | grep '\.debug_'; then return 1; fi
  "$1" -t "$2" >"$work/symbols"
  [[ $(grep -c '^\[' "$work/symbols" || true) -eq 0 ]] || { echo "$2 has symbols"; return 1; }
  # The build tree keeps the full one for debugging.
  [[ $("$1" -t "$3" | grep -c '^\[') -gt 0 ]]
}
check "32-bit DLL stripped, unstripped one kept in build/win32" \
  stripped i686-w64-mingw32-objdump "$work/windows/32-bit/MarrowGrit.dll" build/win32/lib/MarrowGrit.dll
check "64-bit DLL stripped, unstripped one kept in build/win64" \
  stripped x86_64-w64-mingw32-objdump "$work/windows/64-bit/MarrowGrit.dll" build/win64/lib/MarrowGrit.dll

export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
trap 'timeout 20 wineserver -k 2>/dev/null || true' EXIT
timeout 180 wineboot --init >"$work/wineboot.log" 2>&1 || { tail "$work/wineboot.log"; exit 1; }
wine_info() { # BITS
  cd "$work/windows/$1-bit"
  wine_run mg-host.exe --version | tr -d '\r' | grep -w -- "$version"
  wine_run mg-host.exe info MarrowGrit.dll | tr -d '\r' | tee "$work/info-$1.log"
  grep -qx 'name: Marrow-Grit\[M\]' "$work/info-$1.log"
  grep -qx 'parameters: 4' "$work/info-$1.log"
  wine_run mg-host.exe info MarrowGrit.clap | tr -d '\r' | tee "$work/info-clap-$1.log"
  grep -qx 'format: CLAP' "$work/info-clap-$1.log"
  grep -qx 'parameters: 4' "$work/info-clap-$1.log"
}
for bits in 32 64; do
  check "wine: $bits-bit/mg-host.exe --version and info MarrowGrit.dll and MarrowGrit.clap from the archive" wine_info "$bits"
done

echo "package: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
