#!/usr/bin/env bash
# What the LV2 checks need. scripts/test-lv2.sh: lilv's tools (lv2ls,
# lv2info, lv2apply, lv2bench), the validator with its Turtle checker, sox
# for the test tones, sndfile-cmp for sample-exact comparisons.
# scripts/test-lv2-ui.sh: jalv with a JACK server on its dummy driver and
# jack_capture, Xvfb, xdotool and ImageMagick. Safe to run again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
# lv2-dev and jackd2 come with the native build, Xvfb and the screenshot
# tools with the X11 test tools.
"$(dirname "$0")/install-deps.sh"
"$(dirname "$0")/install-x11-test-tools.sh"
mg_apt_install lilv-utils sordi sndfile-programs sox jalv jack-capture
