#!/usr/bin/env bash
# The main job: builds the release configuration and runs the demo.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
root=$(mg_root_dir)
cd "$root"
mg_build release
out=${MG_DEMO_DIR:-$root/build/demo}
mkdir -p "$out"
"$root/build/release/bin/core-demo"
