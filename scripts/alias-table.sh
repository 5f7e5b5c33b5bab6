#!/usr/bin/env bash
# The alias meter's table: sines through each plug-in given with mg-host, the
# signal-to-alias ratio and worst alias of every render, and how far each
# render's harmonics below 8 kHz lie from the alias-free reference (the
# first plug-in, the exact pedal, run at 16 times the rate).
#
#   scripts/alias-table.sh [BUILD_DIR] [PLUGIN...]
#
# BUILD_DIR defaults to build/release (built here when it is that one); the
# plug-ins default to its MarrowGrit.so and MarrowGritHQ.so. Prints a
# Markdown table; work files go to BUILD_DIR/alias-table/.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(mg_root_dir)
build=${1:-$root/build/release}
shift || true
if [ "$build" = "$root/build/release" ]; then
  (cd "$root" && mg_build_quietly release MarrowGrit MarrowGritHQ mg-host alias-meter)
fi
plugins=("$@")
[ ${#plugins[@]} -gt 0 ] || plugins=("$build/lib/MarrowGrit.so" "$build/lib/MarrowGritHQ.so")
host=$build/bin/mg-host
meter=$build/bin/alias-meter
work=$build/alias-table
mkdir -p "$work"

header="| rate | f0 (Hz) | amplitude | Attack | Cabinet |"
rule="|---:|---:|---:|---:|:---:|"
for plugin in "${plugins[@]}"; do
  name=$(basename "$plugin" .so)
  header+=" $name: S/A (dB) | worst alias (dB) | harmonics vs reference (dB) |"
  rule+="---:|---:|---:|"
done
echo "$header"
echo "$rule"
for rate in 44100 48000; do
  for f0 in 1244.5 3951; do
    for amplitude in 0.1 0.5; do
      tone=$work/tone-$rate-$f0-$amplitude.wav
      high=$work/tone-$((rate * 16))-$f0-$amplitude.wav
      "$meter" tone "$tone" --freq "$f0" --amplitude "$amplitude" --rate "$rate"
      "$meter" tone "$high" --freq "$f0" --amplitude "$amplitude" --rate $((rate * 16))
      for attack in 0.5 1; do
        for cabinet in 0 1; do
          settings=(--param Level=1 --param Attack=$attack --param Cabinet=$cabinet --quiet)
          reference=$work/reference.wav
          "$host" render "${plugins[0]}" "$high" "$reference" "${settings[@]}"
          row="| $rate | $f0 | $amplitude | $attack | $([ $cabinet = 1 ] && echo on || echo off) |"
          for plugin in "${plugins[@]}"; do
            render=$work/render.wav
            "$host" render "$plugin" "$tone" "$render" "${settings[@]}"
            line=$("$meter" measure "$render" --freq "$f0" --reference "$reference")
            sar=$(sed -n 's/.*sar_db=\([^ ]*\).*/\1/p' <<<"$line")
            worst=$(sed -n 's/.*worst_alias_db=\([^ ]*\).*/\1/p' <<<"$line")
            dev=$(sed -n 's/.*harmonic_dev_db=\([^ ]*\).*/\1/p' <<<"$line")
            row+=" $sar | $worst | ±$dev |"
          done
          echo "$row"
        done
      done
    done
  done
done
