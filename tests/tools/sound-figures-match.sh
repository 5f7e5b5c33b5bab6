#!/usr/bin/env bash
# Renders the demo phrase through preset 0 as the main job does, then checks
# the stored tables of the sound figures against the code.
set -euo pipefail
phrase=$1 host=$2 pedal=$3 figures=$4 stored=$5
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$phrase" "$tmp/dry.wav"
"$host" render "$pedal" "$tmp/dry.wav" "$tmp/fuzz.wav" --program 0 --quiet
"$figures" check "$stored" "$tmp/dry.wav" "$tmp/fuzz.wav"
