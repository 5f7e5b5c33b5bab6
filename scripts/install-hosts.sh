#!/usr/bin/env bash
# Third-party VST 2.4 hosts from Debian that the host checks drive without a
# person: Ardour 7 (scans and renders the Linux plug-in) and Qtractor (scans it).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install ardour qtractor
