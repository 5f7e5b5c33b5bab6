#!/usr/bin/env bash
# Every test: the native suites in the debug, AddressSanitizer+UBSan and
# ThreadSanitizer configurations, then the Windows DLLs under wine, the
# third-party hosts, and the Debian package and Windows archive.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
export MG_DEPS_INSTALLED=1
"$(dirname "$0")/install-test-plugins.sh"
"$(dirname "$0")/install-x11-test-tools.sh"
cd "$(mg_root_dir)"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
"$(dirname "$0")/run-fuzzers.sh" "${MG_FUZZ_SECONDS:-30}"
for preset in dev asan tsan; do
  echo "== $preset =="
  mg_build "$preset"
  ctest --preset "$preset" -j2
done
"$(dirname "$0")/test-windows.sh"
"$(dirname "$0")/test-hosts.sh"
"$(dirname "$0")/test-lv2.sh"
"$(dirname "$0")/test-lv2-ui.sh"
"$(dirname "$0")/test-host-lmms.sh"
"$(dirname "$0")/test-package.sh"
# The main job itself: the demo, the editor's pictures and the sound's plots.
"$(dirname "$0")/main-job.sh"
for plot in cabinet-response fuzz-curve spectrogram alias-spectrum; do
  test -s "${MG_DEMO_DIR:-build/demo}/$plot.png" || { echo "main job wrote no $plot.png" >&2; exit 1; }
done
