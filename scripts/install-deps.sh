#!/usr/bin/env bash
# Everything the native build, its tests and the demo need, on Debian 12
# (jackd2: the private JACK server of the mg-live tests).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
# Scripts run by one that has already checked (test-all.sh) need not again.
[[ ${MG_DEPS_INSTALLED:-} == 1 ]] && exit 0
mg_apt_install \
  build-essential cmake ninja-build ccache pkg-config git \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libpng-dev zlib1g-dev libjpeg-dev libsndfile1-dev libfftw3-dev \
  libxcb1-dev libxcb-keysyms1-dev libxcb-res0-dev \
  lv2-dev libjack-jackd2-dev jackd2
