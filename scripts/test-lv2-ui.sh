#!/usr/bin/env bash
# The LV2 UI in a real LV2 host: jalv.gtk3 on an Xvfb display of our own,
# with a private JACK server on its dummy driver.
#   - jalv starts with Effect Off, Attack 1 and Level 0.2 on the ports: the
#     UI's window equals pedal-snapshot's drawing of those values, pixel for
#     pixel (host-side port values move the knobs and the LED);
#   - the pedal then bypasses: a metronome into input 1 comes out of output
#     1 unchanged;
#   - a click on the footswitch turns the LED on in the window (again equal
#     to the headless drawing) and, through the host's write function, the
#     Effect port: the output is no longer the input.
# Work files stay in build/lv2-ui-test/ ($MG_LV2_UI_TEST_DIR).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
"$(dirname "$0")/install-lv2-tools.sh"
root=$(mg_root_dir)
cd "$root"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

preset=${MG_LV2_PRESET:-release}
mg_build_quietly "$preset" marrow-grit-lv2 pedal-snapshot
snapshot=$root/build/$preset/bin/pedal-snapshot
export LV2_PATH=$root/build/$preset/lv2:/usr/lib/lv2
uri=$(mg_lv2_uri "$root/build/$preset/lv2/marrow-grit.lv2")
work=${MG_LV2_UI_TEST_DIR:-$root/build/lv2-ui-test}
rm -rf "$work"
mkdir -p "$work"

pids=()
# Everything started here ends with the script; jackd takes a moment to
# leave JACK's registry, and a server killed outright leaves its entry.
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT
die() {
  echo "test-lv2-ui: FAILED: $*; files in $work" >&2
  exit 1
}

mg_start_xvfb "$work" || die "Xvfb did not start"
pids+=("$MG_XVFB_PID")

# One fixed name: JACK frees the registry entry of a server that died
# unannounced only when one of the same name starts again.
export JACK_DEFAULT_SERVER=mg-lv2-ui-test
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.2; done
jack_lsp >/dev/null 2>&1 || { cat "$work/jackd.log" >&2; die "jackd did not start"; }

# The editor at its own size, whatever this machine's user picked.
XDG_CONFIG_HOME=$work/config timeout 300 jalv.gtk3 -x --jack-name pedal -c effect=0 -c attack=1 -c level=0.2 "$uri" >"$work/jalv.log" 2>&1 &
pids+=($!)
window=
for _ in $(seq 100); do
  window=$(xdotool search --classname IAudioPluginWndClass 2>/dev/null | head -1 || true)
  [[ -n $window ]] && break
  sleep 0.2
done
[[ -n $window ]] || { cat "$work/jalv.log" >&2; die "jalv.gtk3 showed no pedal window"; }
sleep 1 # a redraw tick or two

# Pixels that differ between the window and the headless drawing.
same_as_drawing() { # NAME, then pedal-snapshot --do lines
  local name=$1
  shift
  local args=() line
  for line in "$@"; do args+=(--do "$line"); done
  import -window "$window" "$work/$name-window.png"
  "$snapshot" "$work/$name-drawing.png" "${args[@]}"
  local differing
  differing=$(compare -metric AE -channel RGB "$work/$name-window.png" "$work/$name-drawing.png" null: 2>&1 || true)
  [[ $differing == 0 ]] || die "$name: the window differs from the drawing in $differing pixels"
  echo "$name: the window equals the drawing"
}

# RMS of output 1 minus the metronome, over a second recorded in the same cycles.
output_minus_input() {
  local file=$work/$1.wav
  timeout 30 jack_capture -as -d 1 -c 2 -p metro:300_bpm -p pedal:out_1 "$file" >>"$work/capture.log" 2>&1 \
    || die "jack_capture $1"
  sox "$file" -n remix 1,2v-1 stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

same_as_drawing ports "param Effect 0" "param Attack 1" "param Level 0.2"

jack_metro -b 300 -f 440 -A 0.5 -D 80 -n metro >"$work/metro.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do jack_lsp | grep -q '^metro:' && break; sleep 0.1; done
jack_connect metro:300_bpm pedal:in_1 || die "cannot connect the metronome"
bypassed=$(output_minus_input bypassed)
awk -v r="$bypassed" 'BEGIN { exit !(r < 1e-6) }' || die "Effect Off: output 1 is not the input (RMS difference $bypassed)"
echo "Effect Off: output 1 is the input"

xdotool mousemove --window "$window" 95 187 click 1
sleep 1
same_as_drawing footswitch "param Effect 0" "param Attack 1" "param Level 0.2" "click 95 187"
fuzzed=$(output_minus_input fuzzed)
awk -v r="$fuzzed" 'BEGIN { exit !(r > 0.01) }' || die "after the footswitch, the output is still the input (RMS difference $fuzzed)"
echo "footswitch: the Effect port is on (RMS difference from the input $fuzzed)"
echo "test-lv2-ui: all checks passed"
