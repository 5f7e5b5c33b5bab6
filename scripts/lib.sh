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
