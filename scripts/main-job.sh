#!/usr/bin/env bash
# The main job: builds the release configuration, then plays a synthesised
# guitar phrase through the pedal with the command-line host and writes the
# dry and processed takes as WAV files, the editor's pictures and plots of
# the pedal's sound.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
mg_apt_install python3-matplotlib
root=$(mg_root_dir)
cd "$root"
mg_build_quietly release MarrowGrit MarrowGritHQ mg-host guitar-phrase pedal-snapshot sound-figures alias-meter
bin=$root/build/release/bin
pedal=$root/build/release/lib/MarrowGrit.so
out=${MG_DEMO_DIR:-$root/build/demo}
mkdir -p "$out"

"$bin/guitar-phrase" "$out/dry.wav"
"$bin/mg-host" render "$pedal" "$out/dry.wav" "$out/fuzz-default.wav" --program 0 --quiet
"$bin/mg-host" render "$pedal" "$out/dry.wav" "$out/fuzz-attack09-cabinet-off.wav" \
  --param Attack=0.9 --param Cabinet=0 --quiet

# The editor as the host would show it: just opened, and after a press of the
# footswitch (fuzz off, LED dark) and a click on the maker's badge.
"$bin/pedal-snapshot" "$out/editor-fuzz-on.png"
"$bin/pedal-snapshot" "$out/editor-fuzz-off-about.png" --do "click 100 190" --do "click 40 45"

# The sound in pictures: the numbers come from the pedal's own code, the
# drawing from matplotlib.
"$bin/sound-figures" write "$out" "$out/dry.wav" "$out/fuzz-default.wav"
# Aliasing: one sine through the exact pedal and through HQ, the harshest case.
"$bin/alias-meter" tone "$out/sine-1244.5.wav" --freq 1244.5 --amplitude 0.5 --rate 44100
: >"$out/alias-spectrum.tsv"
for label in exact hq; do
  plugin=$pedal
  [ $label = hq ] && plugin=$root/build/release/lib/MarrowGritHQ.so
  "$bin/mg-host" render "$plugin" "$out/sine-1244.5.wav" "$out/sine-1244.5-$label.wav" \
    --param Level=1 --param Attack=1 --param Cabinet=0 --quiet
  "$bin/alias-meter" spectrum "$out/sine-1244.5-$label.wav" --freq 1244.5 --label $label >>"$out/alias-spectrum.tsv"
done
# Debian's own interpreter, which has the package just installed.
/usr/bin/python3 "$root/tools/sound-figures/plot.py" "$out"

cat <<REPORT
Demo written to $out:
  dry.wav                         the guitar phrase alone (mono, 44.1 kHz)
  fuzz-default.wav                through Marrow-Grit, preset 0 "Init" (Level 1, Attack 0.5, Cabinet on)
  fuzz-attack09-cabinet-off.wav   through Marrow-Grit, Attack 0.9, Cabinet off (Level 0.5)
  editor-fuzz-on.png              the editor as opened: fuzz engaged, LED lit
  editor-fuzz-off-about.png       after a footswitch press (fuzz off, LED dark) and a click on the badge
  cabinet-response.png            magnitude response of the cabinet and of the fuzz path's filters, 44.1 and 96 kHz
  fuzz-curve.png                  the clipper's static curve at Attack 0, 0.5 and 1
  spectrogram.png                 the dry phrase above its take through preset 0
  alias-spectrum.png              a 1244.5 Hz sine through Marrow-Grit and through Marrow-Grit HQ: the aliases
  sine-1244.5*.wav                that sine, and its takes through both (Attack 1, Cabinet off, Level 1)
  cabinet-response.tsv, fuzz-curve.tsv, spectrogram.tsv, alias-spectrum.tsv: the numbers behind the plots
REPORT
