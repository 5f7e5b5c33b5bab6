#!/usr/bin/env bash
# What the X11 editor window tests (tests/x11) need at run time: an X server
# of their own (Xvfb), xdotool for the pointer and the keys, and ImageMagick
# for screenshots. Without them those tests skip, except in CI, where they
# fail. Safe to run again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install xvfb xdotool imagemagick
