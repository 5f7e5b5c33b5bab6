#!/usr/bin/env bash
# The LV2 bundle in lilv's tools, seeing only this bundle and Debian's
# vocabularies (LV2_PATH):
#   - lv2_validate finds no error in its Turtle files, and the DSP library
#     links no X11;
#   - lv2info lists its ports and presets;
#   - lv2apply renders test tones through it in four settings, and each
#     render equals, sample for sample, mg-host playing the same file
#     through the VST plug-in with the same settings (both take the float
#     path; lv2apply runs one frame per call, so mg-host does too); the
#     same for Marrow-Grit HQ, which reports its latency on a port;
#   - cmake --install puts it in lib/lv2 under the prefix;
#   - lv2bench runs it.
# Work files stay in build/lv2-test/ ($MG_LV2_TEST_DIR).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-deps.sh"
"$(dirname "$0")/install-lv2-tools.sh"
root=$(mg_root_dir)
cd "$root"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

preset=${MG_LV2_PRESET:-release}
mg_build_quietly "$preset" marrow-grit-lv2 MarrowGrit MarrowGritHQ mg-host
bin=$root/build/$preset/bin
bundles=$root/build/$preset/lv2
export LV2_PATH=$bundles:/usr/lib/lv2
uri=$(mg_lv2_uri "$bundles/marrow-grit.lv2")
hq_uri=https://marrow-grit.example/plugins/marrow-grit-hq
work=${MG_LV2_TEST_DIR:-$root/build/lv2-test}
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() { echo "test-lv2: FAILED: $*" >&2; failures=$((failures + 1)); }

echo "== lv2_validate =="
if ! lv2_validate "$bundles"/marrow-grit.lv2/*.ttl >"$work/validate.log" 2>&1; then
  cat "$work/validate.log" >&2
  fail "lv2_validate"
fi
tail -1 "$work/validate.log"

# The DSP library must load in hosts that run it without a display.
if readelf -d "$bundles/marrow-grit.lv2/marrow-grit.so" | grep -E 'NEEDED.*(libxcb|libX11)'; then
  fail "the DSP library links X11"
fi

echo "== lv2info =="
lv2ls | grep -qx "$uri" || fail "lv2ls does not list $uri"
lv2info "$uri" >"$work/info.txt" 2>&1 || fail "lv2info"
for expected in 'Symbol: *in_1' 'Symbol: *in_2' 'Symbol: *out_1' 'Symbol: *out_2' \
                'Symbol: *level' 'Symbol: *attack' 'Symbol: *effect' 'Symbol: *cabinet' \
                'Name: *Level' 'Name: *Attack' 'Name: *Effect' 'Name: *Cabinet' \
                'lv2core#toggled' 'lv2core#hardRTCapable' '^\s*Init$' 'Has latency: *no' \
                'marrow-grit#ui' 'X11UI'; do
  grep -Eq "$expected" "$work/info.txt" || fail "lv2info shows no '$expected'"
done
lv2info "$hq_uri" >"$work/info-hq.txt" 2>&1 || fail "lv2info HQ"
for expected in 'Name: *Marrow-Grit HQ' 'Has latency: *yes, reported by port 8' 'marrow-grit#ui'; do
  grep -Eq "$expected" "$work/info-hq.txt" || fail "lv2info shows no '$expected' for HQ"
done
grep -c 'Symbol:' "$work/info.txt" | grep -qx 8 || fail "lv2info shows other than 8 ports"

echo "== lv2apply against mg-host =="
# 200 Hz on input 1, 300 Hz on input 2, as in the host checks.
input=$work/tones.wav
sox -n -r 48000 -c 2 -e float -b 32 "$input" synth 1 sine 200 sine 300 remix 1v0.7 2v0.5
render() { # NAME, then Parameter=VALUE settings (port units, which are 0..1 here as in mg-host)
  local name=$1
  shift
  local controls=() params=() setting
  for setting in "$@"; do
    # The port's symbol is the parameter's name in lower case.
    controls+=(-c "$(tr '[:upper:]' '[:lower:]' <<<"${setting%%=*}")" "${setting#*=}")
    params+=(--param "$setting")
  done
  lv2apply -i "$input" -o "$work/$name-lv2.wav" "${controls[@]}" "${render_uri:-$uri}" >"$work/$name-lv2.log" 2>&1 \
    || { cat "$work/$name-lv2.log" >&2; fail "lv2apply $name"; return; }
  "$bin/mg-host" render "$root/build/$preset/lib/${render_vst:-MarrowGrit.so}" "$input" "$work/$name-vst.wav" \
    --block 1 --quiet "${params[@]}" || { fail "mg-host $name"; return; }
  if sndfile-cmp "$work/$name-lv2.wav" "$work/$name-vst.wav" >"$work/$name-cmp.log" 2>&1; then
    echo "$name: equal"
  else
    cat "$work/$name-cmp.log" >&2
    fail "$name: the LV2 render differs from mg-host's"
  fi
}
render default
render effect-off Effect=0
render attack1-cabinet-off Attack=1 Cabinet=0
render level0 Level=0
render_uri=$hq_uri render_vst=MarrowGritHQ.so render hq-attack1-cabinet-off Attack=1 Cabinet=0
# Renders that differ from each other show the settings took effect.
sndfile-cmp "$work/default-lv2.wav" "$work/attack1-cabinet-off-lv2.wav" >/dev/null 2>&1 \
  && fail "Attack 1 with Cabinet Off renders as the default does"

echo "== installed =="
# cmake --install puts the bundle in lib/lv2 under the prefix, where hosts look.
# Only the bundle's part: this script builds the LV2 targets, not everything.
cmake --install "build/$preset" --prefix "$work/prefix" --component lv2 >"$work/install.log" 2>&1 \
  || fail "cmake --install"
LV2_PATH=$work/prefix/lib/lv2:/usr/lib/lv2 lv2ls | grep -qx "$uri" && echo "lib/lv2 under the prefix holds the bundle" \
  || fail "the installed bundle is not found in lib/lv2"

echo "== lv2bench =="
for block in 64 512; do
  lv2bench -b "$block" -n 480000 "$uri" >"$work/bench-$block.txt" 2>&1 || fail "lv2bench -b $block"
  grep -F "$uri" "$work/bench-$block.txt" || { cat "$work/bench-$block.txt" >&2; fail "lv2bench -b $block ran nothing"; }
done

if ((failures)); then
  echo "test-lv2: $failures check(s) failed; files in $work" >&2
  exit 1
fi
echo "test-lv2: all checks passed"
