#!/usr/bin/env bash
# Third-party VST 2.4 hosts from Debian that the host checks drive without a
# person: Ardour 7 (scans and renders the Linux plug-in), Qtractor (scans
# it) and LMMS, whose i386 build plays 32-bit Windows plug-ins through its
# wine-hosted plug-in server (so this also installs wine32 and Xvfb, with
# the i386 architecture). sox makes the test tones LMMS plays.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
# sox comes with the LV2 tools, which the host checks use too.
"$here/install-lv2-tools.sh"
mg_apt_install ardour qtractor
if [ "$(id -u)" -eq 0 ]; then
  "$here/install-mingw.sh" --wine
fi
mg_apt_install lmms:i386 lmms-vst-server:i386
