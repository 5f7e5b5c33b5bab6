#!/usr/bin/env bash
# What the LV2 checks (scripts/test-lv2.sh) need: lilv's tools (lv2ls,
# lv2info, lv2apply, lv2bench), the validator with its Turtle checker,
# sndfile-cmp for sample-exact comparisons, sox for the test tones, and jalv with a JACK server for
# the plug-in in a real LV2 host. Safe to run again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install lv2-dev lilv-utils sordi sndfile-programs sox jalv jackd2
