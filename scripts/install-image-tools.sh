#!/usr/bin/env bash
# Installs what tools/pedal-images/ needs to redraw the editor images:
# cairo and numpy for Debian's own python interpreter, the fonts the images are lettered
# in, pngcheck for looking at the results and zopfli for packing the larger sets. Safe to run again; run as root.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install python3 python3-cairo python3-numpy fontconfig fonts-dejavu-core fonts-urw-base35 pngcheck zopfli
