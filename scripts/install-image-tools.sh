#!/usr/bin/env bash
# Installs what tools/pedal-images/ needs to redraw the editor images:
# cairo for Debian's own python interpreter, the fonts the images are lettered
# in, and pngcheck for looking at the results. Safe to run again; run as root.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install python3 python3-cairo fontconfig fonts-dejavu-core fonts-urw-base35 pngcheck
