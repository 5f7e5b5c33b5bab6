#!/usr/bin/env bash
# Clang 14 with libFuzzer and the sanitizer runtimes, for the fuzz preset.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
# libclang-rt-14-dev carries libclang_rt.fuzzer and the ASan/UBSan runtimes.
mg_apt_install clang-14 libclang-rt-14-dev
