#!/usr/bin/env bash
# Refreshes the pictures README shows, and the numbers behind the plots, in
# docs/ from a run of the main job. Run it after a change to the pedal's
# sound; the test SoundFigures.StoredCopiesMatchTheCode says when.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(mg_root_dir)
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
MG_DEMO_DIR=$demo "$root/scripts/main-job.sh" >/dev/null
mkdir -p "$root/docs"
cp "$demo/editor-fuzz-on.png" "$root/docs/editor.png"
for figure in cabinet-response fuzz-curve spectrogram; do
  cp "$demo/$figure.png" "$demo/$figure.tsv" "$root/docs/"
done
cp "$demo/alias-spectrum.png" "$root/docs/"
echo "Refreshed $root/docs"
