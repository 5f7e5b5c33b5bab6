# Shared helpers for the project's scripts (sourced, not run).

# Installs Debian packages that are missing; does nothing when all are there.
# Needs root when something is missing.
mg_apt_install() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: missing packages ${missing[*]}; run this script as root to install them" >&2
    return 1
  fi
  echo "Installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts an X server of its own (Xvfb, 640x480, 24 bits, no TCP) and exports
# its DISPLAY; MG_XVFB_PID is its process, for the caller to end. $1: a
# folder for its log and display number; $2: the screen's size (default
# 640x480x24).
mg_start_xvfb() {
  local work=$1 screen=${2:-640x480x24}
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  MG_XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
  done
  if [[ ! -s $work/display ]]; then
    cat "$work/xvfb.log" >&2
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$(head -n 1 "$work/display")
}

# The URI of the first plug-in a built LV2 bundle's manifest describes: the
# bundle says it, so no script keeps a copy.
mg_lv2_uri() {
  awk '/^<[^>]*>$/ { subject = $0 } /^ *a lv2:Plugin/ && subject { gsub(/[<>]/, "", subject); print subject; exit }' \
    "$1/manifest.ttl"
}

mg_root_dir() {
  cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd
}

# Configures and builds one CMake preset (all targets, or those named after it).
mg_build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --target "$@"
  else
    cmake --build --preset "$preset"
  fi
}

# The same, quiet unless it fails.
mg_build_quietly() {
  local log
  log=$(mktemp)
  if ! mg_build "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}
