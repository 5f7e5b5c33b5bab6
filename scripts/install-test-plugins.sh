#!/usr/bin/env bash
# Third-party VST 2.4 plug-ins the host tests load: effects nobody here wrote,
# so the host is checked against plug-ins built on other code.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install dpf-plugins-vst
