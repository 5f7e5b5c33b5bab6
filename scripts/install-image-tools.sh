#!/usr/bin/env bash
# Installs what tools/pedal-images/ needs to redraw the editor images:
# cairo for Debian's own python interpreter, the fonts the images are lettered
# in, and pngcheck for looking at the results. Safe to run again; run as root.
set -euo pipefail

packages=(
  python3
  python3-cairo
  fontconfig
  fonts-dejavu-core
  fonts-urw-base35
  pngcheck
)

if [ "$(id -u)" -ne 0 ]; then
  echo "install-image-tools.sh: run as root" >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
# Refresh the package lists once, and only when apt does not know a package yet.
for p in "${missing[@]}"; do
  if ! apt-cache show "$p" >/dev/null 2>&1; then
    apt-get update
    break
  fi
done

apt-get install -y --no-install-recommends "${missing[@]}"
