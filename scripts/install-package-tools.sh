#!/usr/bin/env bash
# What making and checking the packages needs beyond the build itself:
# help2man (manual pages), dpkg-dev and file (CPack's dependency lookup),
# lintian, and unzip for the Windows archive's check.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
mg_apt_install help2man dpkg-dev file lintian unzip
