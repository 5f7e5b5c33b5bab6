#!/usr/bin/env bash
# The main job: builds the release configuration, then plays a synthesised
# guitar phrase through the pedal with the command-line host and writes the
# dry and processed takes as WAV files.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
root=$(mg_root_dir)
cd "$root"
mg_build_quietly release MarrowGrit mg-host guitar-phrase
bin=$root/build/release/bin
pedal=$root/build/release/lib/MarrowGrit.so
out=${MG_DEMO_DIR:-$root/build/demo}
mkdir -p "$out"

"$bin/guitar-phrase" "$out/dry.wav"
"$bin/mg-host" render "$pedal" "$out/dry.wav" "$out/fuzz-default.wav" --program 0 --quiet
"$bin/mg-host" render "$pedal" "$out/dry.wav" "$out/fuzz-attack09-cabinet-off.wav" \
  --param Attack=0.9 --param Cabinet=0 --quiet

cat <<REPORT
Demo written to $out:
  dry.wav                         the guitar phrase alone (mono, 44.1 kHz)
  fuzz-default.wav                through Marrow-Grit, preset 0 "Init" (Level 1, Attack 0.5, Cabinet on)
  fuzz-attack09-cabinet-off.wav   through Marrow-Grit, Attack 0.9, Cabinet off (Level 0.5)
REPORT
