#!/usr/bin/env bash
# Builds static libpng and libjpeg (for the plug-in) and libsndfile (for the
# Windows build of mg-host) for the Windows cross targets from Debian's own
# source packages (libpng1.6, libjpeg-turbo, libsndfile), linked against the
# static zlib of libz-mingw-w64-dev. libsndfile is built without its external
# codecs (FLAC, Ogg/Vorbis/Opus, MPEG): WAV, AIFF and the other built-in
# formats only.
#
#   scripts/build-mingw-deps.sh [i686|x86_64|all]      (default: all)
#
# Results: $MG_DEPS_CACHE/mingw/<triplet>/{include,lib}, which is where the
# toolchain files in cmake/ look by default. A stamp file there records the
# package versions, the compiler and this recipe; a rerun with the same stamp
# does nothing.
#
# Environment:
#   MG_DEPS_CACHE          cache folder (default /var/cache/marrow-grit)
#   MG_DEPS_JOBS           parallel compile jobs (default 2)
#   MG_DEPS_FORCE=1        rebuild even when the stamp matches
#   MG_DEPS_REFRESH=1      refresh the private source index now
#   MG_DEPS_INDEX_MAX_AGE  hours before the source index is refreshed (default 24)
#   MG_DEB_SRC_URI         archive URI to take sources from (default: the
#                          machine's own Debian archive from its apt sources)
#   MG_APT_ETC             where to read the machine's apt sources (default /etc/apt)
#
# --show-source (before the target) prints the deb-src line it would use and exits.
#
# Needs what scripts/install-mingw.sh installs. Root is not needed when
# MG_DEPS_CACHE is writable; the machine's apt state is never touched (the
# sources are fetched through a private apt configuration under the cache).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
cache=${MG_DEPS_CACHE:-/var/cache/marrow-grit}
jobs=${MG_DEPS_JOBS:-2}
max_age_h=${MG_DEPS_INDEX_MAX_AGE:-24}
src_packages=(libpng1.6 libjpeg-turbo libsndfile)

log() { echo "build-mingw-deps: $*"; }
warn() { echo "build-mingw-deps: warning: $*" >&2; }
die() { echo "build-mingw-deps: error: $*" >&2; exit 1; }

usage() { sed -n '2,30p' "$0"; }

show_source=0
if [[ ${1:-} == --show-source ]]; then
    show_source=1
    shift
fi
case "${1:-all}" in
    i686 | i686-w64-mingw32) triplets=(i686-w64-mingw32) ;;
    x86_64 | x86_64-w64-mingw32) triplets=(x86_64-w64-mingw32) ;;
    all) triplets=(i686-w64-mingw32 x86_64-w64-mingw32) ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; die "unknown target '$1' (use i686, x86_64 or all)" ;;
esac
[[ $# -le 1 ]] || die "one target argument at most"

# ------------------------------------------------------ private apt for sources
apt_etc=${MG_APT_ETC:-/etc/apt}
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[[ -n $codename ]] || die "no VERSION_CODENAME in /etc/os-release"

# Prints "URI<TAB>signed-by" for every enabled binary entry of the machine's
# sources with suite $codename (not -updates/-security) and component main.
machine_archives() {
    local deb822=() oneline=()
    shopt -s nullglob
    deb822=("$apt_etc"/sources.list.d/*.sources)
    oneline=("$apt_etc"/sources.list.d/*.list)
    shopt -u nullglob
    [[ -f $apt_etc/sources.list ]] && oneline=("$apt_etc/sources.list" "${oneline[@]}")

    if [[ ${#deb822[@]} -gt 0 ]]; then
        awk -v code="$codename" '
            function has(list, w,   n, a, i) {
                n = split(list, a, /[ \t]+/)
                for (i = 1; i <= n; i++) if (a[i] == w) return 1
                return 0
            }
            function flush(   u) {
                if (has(types, "deb") && enabled != "no" && has(suites, code) && has(comps, "main")) {
                    split(uris, u, /[ \t]+/)
                    # Only keyring paths carry over; inline keys fall back to the default keyrings.
                    if (signed !~ /^\//) signed = ""
                    print u[1] "\t" signed
                }
                types = suites = comps = uris = signed = enabled = ""
            }
            FNR == 1 { flush() }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            /^[ \t]/ { next }
            {
                i = index($0, ":"); if (!i) next
                key = tolower(substr($0, 1, i - 1)); val = substr($0, i + 1)
                gsub(/^[ \t]+|[ \t]+$/, "", val)
                if (key == "types") types = val
                else if (key == "uris") uris = val
                else if (key == "suites") suites = val
                else if (key == "components") comps = val
                else if (key == "enabled") enabled = tolower(val)
                else if (key == "signed-by") signed = val
            }
            END { flush() }
        ' "${deb822[@]}"
    fi
    if [[ ${#oneline[@]} -gt 0 ]]; then
        awk -v code="$codename" '
            $1 == "deb" {
                sub(/#.*/, "")
                i = 2; signed = ""
                if ($2 ~ /^\[/) {
                    for (; i <= NF; i++) {
                        opt = $i; gsub(/[\[\]]/, "", opt)
                        if (opt ~ /^signed-by=/) { signed = substr(opt, 11) }
                        if ($i ~ /\]$/) { i++; break }
                    }
                }
                if ($(i + 1) != code) next
                for (j = i + 2; j <= NF; j++) if ($j == "main") { print $i "\t" signed; next }
            }
        ' "${oneline[@]}"
    fi
}

if [[ -n ${MG_DEB_SRC_URI:-} ]]; then
    archive_line=$(printf '%s\t' "$MG_DEB_SRC_URI")
else
    archives=$(machine_archives | grep -v '^cdrom:' || true)
    # Prefer an entry signed by the Debian archive keyring, if several qualify.
    archive_line=$(printf '%s\n' "$archives" | awk -F'\t' '$2 ~ /debian-archive-keyring/ { print; exit }')
    [[ -n $archive_line ]] || archive_line=$(printf '%s\n' "$archives" | sed -n '1p')
fi
[[ -n $archive_line ]] ||
    die "found no '$codename main' entry in $apt_etc/sources.list{,.d}; set MG_DEB_SRC_URI"
archive_uri=${archive_line%%$'\t'*}
archive_key=${archive_line#*$'\t'}

source_list="deb-src${archive_key:+ [signed-by=${archive_key// /,}]} $archive_uri $codename main"
if [[ $show_source == 1 ]]; then
    echo "$source_list"
    exit 0
fi

# ---------------------------------------------------------------- prerequisites
missing=()
for cmd in apt-get apt-cache dpkg-source dpkg-query cmake ninja flock sha256sum; do
    command -v "$cmd" >/dev/null || missing+=("$cmd")
done
for t in "${triplets[@]}"; do
    for cmd in "$t-gcc-win32" "$t-g++-win32" "$t-ar" "$t-objdump"; do
        command -v "$cmd" >/dev/null || missing+=("$cmd")
    done
    [[ -f /usr/$t/lib/libz.a ]] || missing+=("/usr/$t/lib/libz.a")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    die "missing ${missing[*]}; run scripts/install-mingw.sh as root first"
fi

mkdir -p "$cache" 2>/dev/null && [[ -w $cache ]] ||
    die "cannot write to $cache; run as root or set MG_DEPS_CACHE to a writable folder"
cache=$(cd "$cache" && pwd)

# One run at a time per cache folder.
exec 9>"$cache/.lock"
flock -w 1800 9 || die "another build holds $cache/.lock"

logs=$cache/logs
mkdir -p "$logs"

# Runs a command with its output in a log file; on failure shows the tail.
run_logged() {
    local logfile=$1; shift
    if ! "$@" >"$logfile" 2>&1; then
        echo "build-mingw-deps: error: '$*' failed; last lines of $logfile:" >&2
        tail -n 40 "$logfile" >&2
        exit 1
    fi
}

# ------------------------------------------------------------- private apt
apt_root=$cache/apt
mkdir -p "$apt_root/state/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/sources.list.d"
apt_opts=(
    -o "Dir::Etc::SourceList=$apt_root/sources.list"
    -o "Dir::Etc::SourceParts=$apt_root/sources.list.d"
    -o "Dir::State=$apt_root/state"
    -o "Dir::Cache=$apt_root/cache"
    -o "Dir::State::status=/var/lib/dpkg/status"
)
# As root apt hands downloads to the _apt user, which cannot write into our
# root-owned cache; fetching as root is fine here (hashes are still checked).
[[ $(id -u) -ne 0 ]] || apt_opts+=(-o APT::Sandbox::User=root)

# A changed source line means the index we hold is for another archive.
updated_marker=$apt_root/state/mg-updated
if [[ ! -f $apt_root/sources.list ]] || [[ $(cat "$apt_root/sources.list") != "$source_list" ]]; then
    printf '%s\n' "$source_list" >"$apt_root/sources.list"
    rm -f "$updated_marker"
fi

index_fresh() {
    [[ -f $updated_marker ]] &&
        [[ -z $(find "$updated_marker" -mmin +$((max_age_h * 60)) 2>/dev/null) ]]
}

if [[ ${MG_DEPS_REFRESH:-0} == 1 ]] || ! index_fresh; then
    log "refreshing the private source index ($codename main)"
    if apt-get "${apt_opts[@]}" -q --error-on=any update >"$logs/apt-update.log" 2>&1; then
        touch "$updated_marker"
    else
        warn "apt-get update failed (see $logs/apt-update.log); using the index already there, if any"
    fi
fi

# Newest version of a source package in the private index, empty if unknown.
source_version() {
    apt-cache "${apt_opts[@]}" showsrc --only-source "$1" 2>/dev/null |
        awk '/^Version: / { print $2 }' |
        while read -r v; do
            if [[ -z ${best:-} ]] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
            echo "$best"
        done | tail -n 1
}

declare -A version
have_versions=1
for pkg in "${src_packages[@]}"; do
    version[$pkg]=$(source_version "$pkg" || true)
    [[ -n ${version[$pkg]} ]] || have_versions=0
done

# ------------------------------------------------------------ fetch and unpack
src_root=$cache/src
downloads=$src_root/downloads
mkdir -p "$downloads"

# Prints the unpacked source tree of a package, fetching it when needed.
source_tree() {
    local pkg=$1 ver=${version[$1]}
    local plain=${ver#*:}
    local tree=$src_root/${pkg}_$plain
    if [[ ! -f $tree/.mg-unpacked ]]; then
        log "fetching $pkg $ver" >&2
        (cd "$downloads" &&
            run_logged "$logs/fetch-$pkg.log" \
                apt-get "${apt_opts[@]}" -q source --download-only --only-source "$pkg=$ver")
        rm -rf "$tree" "$tree.tmp"
        run_logged "$logs/unpack-$pkg.log" dpkg-source --no-copy -x "$downloads/${pkg}_$plain.dsc" "$tree.tmp"
        touch "$tree.tmp/.mg-unpacked"
        mv "$tree.tmp" "$tree"
        # Trees of older versions are dead weight once a newer one is here.
        find "$src_root" -maxdepth 1 -type d -name "${pkg}_*" ! -path "$tree" -exec rm -rf {} +
    fi
    echo "$tree"
}

# ------------------------------------------------------------------- building
pkg_arch() { [[ $1 == i686-* ]] && echo i686 || echo x86-64; }

stamp_for() {
    local t=$1 pkg
    for pkg in "${src_packages[@]}"; do echo "$pkg ${version[$pkg]}"; done
    echo "libz-mingw-w64-dev $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null || echo unknown)"
    echo "compiler $(dpkg-query -W -f='${Package} ${Version}' "gcc-mingw-w64-$(pkg_arch "$t")-win32" 2>/dev/null ||
        "$t-gcc-win32" -dumpversion)"
    echo "recipe $(cat "$here/build-mingw-deps.sh" "$repo/cmake/toolchain-$t.cmake" \
        "$repo/cmake/toolchain-mingw-common.cmake" | sha256sum | cut -c1-16)"
}

# cmake_package NAME SOURCE ARGS...: configures SOURCE with build_target's
# common arguments and ARGS, builds it and installs it into build_target's
# stage (t, common, stage are build_target's locals).
cmake_package() {
    local name=$1 src=$2 b=$cache/build/$t/$1
    shift 2
    run_logged "$logs/$t-$name-configure.log" cmake -S "$src" -B "$b" "${common[@]}" "$@"
    run_logged "$logs/$t-$name-build.log" cmake --build "$b" -j "$jobs"
    DESTDIR=$stage run_logged "$logs/$t-$name-install.log" cmake --install "$b"
}

build_target() {
    local t=$1
    local prefix=$cache/mingw/$t
    local stage=$cache/mingw/.stage-$t
    local toolchain=$repo/cmake/toolchain-$t.cmake
    local stamp_file=$prefix/mg-deps.stamp
    local objformat
    [[ $t == i686-* ]] && objformat=pe-i386 || objformat=pe-x86-64
    [[ -f $toolchain ]] || die "missing $toolchain"

    if [[ $have_versions == 0 ]]; then
        if [[ -f $stamp_file ]]; then
            warn "$t: source versions unknown (no index); keeping the existing build"
            return 0
        fi
        die "cannot find ${src_packages[*]} in the source index (see $logs/apt-update.log)"
    fi

    local stamp
    stamp=$(stamp_for "$t")
    if [[ ${MG_DEPS_FORCE:-0} != 1 && -f $stamp_file && $(cat "$stamp_file") == "$stamp" ]]; then
        log "$t: up to date"
        return 0
    fi

    local png_src jpeg_src sndfile_src
    png_src=$(source_tree libpng1.6)
    jpeg_src=$(source_tree libjpeg-turbo)
    sndfile_src=$(source_tree libsndfile)

    rm -rf "$stage" "$cache/build/$t"
    local common=(
        -G Ninja --no-warn-unused-cli
        -DCMAKE_TOOLCHAIN_FILE="$toolchain"
        -DMG_DEPS_PREFIX="$prefix"
        -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX="$prefix"
        -DBUILD_SHARED_LIBS=OFF
    )

    log "$t: building libpng ${version[libpng1.6]}"
    cmake_package libpng "$png_src" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=OFF \
        -DZLIB_INCLUDE_DIR="/usr/$t/include" -DZLIB_LIBRARY="/usr/$t/lib/libz.a"

    # No SIMD: decoding happens once when the editor opens, and it spares nasm.
    log "$t: building libjpeg-turbo ${version[libjpeg-turbo]}"
    cmake_package libjpeg "$jpeg_src" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DREQUIRE_SIMD=OFF \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF

    # For the command-line host only: no external codec libraries, so WAV,
    # AIFF and the other formats libsndfile handles itself, but no FLAC/Ogg.
    log "$t: building libsndfile ${version[libsndfile]}"
    cmake_package libsndfile "$sndfile_src" \
        -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF -DENABLE_PACKAGE_CONFIG=OFF \
        -DINSTALL_PKGCONFIG_MODULE=ON -DINSTALL_MANPAGES=OFF -DENABLE_STATIC_RUNTIME=OFF

    # zlib beside them, so the prefix links on its own; the header pair and
    # libz.a match what libpng was compiled against.
    local root=$stage$prefix
    cp "/usr/$t/include/zlib.h" "/usr/$t/include/zconf.h" "$root/include/"
    cp "/usr/$t/lib/libz.a" "$root/lib/"
    # Tools and manuals of the libraries are of no use to the plug-in build.
    rm -rf "$root/bin" "$root/share/man" "$root/share/doc"

    local lib formats
    for lib in libpng16.a libjpeg.a libz.a libsndfile.a; do
        [[ -f $root/lib/$lib ]] || die "$t: $lib was not installed"
        formats=$("$t-objdump" -f "$root/lib/$lib" | awk '/file format/ { print $NF }' | sort -u)
        [[ $formats == "$objformat" ]] || die "$t: $lib holds '${formats//$'\n'/ }' objects, not $objformat"
    done
    [[ -f $root/lib/libpng.a ]] || ln -s libpng16.a "$root/lib/libpng.a"

    printf '%s\n' "$stamp" >"$root/mg-deps.stamp"
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    mv "$root" "$prefix"
    rm -rf "$stage" "$cache/build/$t"
}

for t in "${triplets[@]}"; do
    build_target "$t"
done

for t in "${triplets[@]}"; do
    p=$cache/mingw/$t
    echo "$t: $p (include/, lib/libpng16.a lib/libjpeg.a lib/libz.a lib/libsndfile.a; $(tr '\n' ' ' <"$p/mg-deps.stamp" | sed 's/ recipe.*//'))"
done
