#!/bin/sh
# Redraws the pedal's editor images into pedal/img/ (see generate.py).
# Needs scripts/install-image-tools.sh to have run once.
exec /usr/bin/python3 "$(dirname "$0")/generate.py" "$@"
