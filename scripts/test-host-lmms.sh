#!/usr/bin/env bash
# The 32-bit Windows plug-in in LMMS, without a person: LMMS's i386 build
# plays MarrowGrit.dll through its wine-hosted plug-in server, under Xvfb.
# A project per case plays test tones (44.1 kHz) through the pedal with the
# case's settings and LMMS renders it; mg-host plays the same file through
# the Linux plug-in with the same settings, and the two must agree (level
# within 0.1 dB over the steady part, bypass = input 1 + input 2, silence
# where Level is 0).
#
#   scripts/test-host-lmms.sh
#
# Prints a table of the levels and a line "lmms: N passed, M failed"; exits
# non-zero on any failure. Work files, the wine prefix and logs go to
# build/hosts-lmms/ ($MG_LMMS_DIR).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
source "$here/hosts-lib.sh"
"$here/install-deps.sh"
"$here/install-hosts.sh"
root=$(mg_root_dir)
cd "$root"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
started=$SECONDS

"$here/build-mingw-deps.sh" i686 >/dev/null
mg_build_quietly win32 MarrowGrit
mg_build_quietly release MarrowGrit mg-host render-compare
bin=$root/build/release/bin
compare=$bin/render-compare
reference_plugin=$root/build/release/lib/MarrowGrit.so
work=${MG_LMMS_DIR:-$root/build/hosts-lmms}
rm -rf "$work"
mkdir -p "$work"/{home,config,cache,data,plugins,projects,renders,logs,wine}
logs=$work/logs
plugin=$work/plugins/MarrowGrit.dll
install -m 755 "$root/build/win32/lib/MarrowGrit.dll" "$plugin"

# The test tones, 3 s at LMMS's own rate. At 120 beats a minute and 48 ticks
# a beat the clip is 288 ticks long.
rate=44100
seconds=3
input=$work/renders/tones.wav
sox -n -r "$rate" -c 2 -e float -b 32 "$input" synth "$seconds" sine 200 sine 300 remix 1v0.7 2v0.5

# One sample track playing the tones into the pedal. Parameters go in as
# "INDEX:NAME:VALUE" (normalised values) in the plug-in's order.
write_project() { # FILE SETTINGS
  local file=$1 params="" n=0 s name value index
  for s in $2; do
    name=${s%%=*}
    value=${s#*=}
    index=$(sed -n "s/^  \[\([0-9]*\)\] $name = .*/\1/p" "$logs/mg-host-info.log")
    [ -n "$index" ] || { echo "no parameter $name" >&2; return 1; }
    params+=" param$n=\"$index:$name:$value\""
    n=$((n + 1))
  done
  [ "$n" -gt 0 ] && params=" numparams=\"$n\"$params"
  cat >"$file" <<XML
<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project version="1.0" creator="LMMS" creatorversion="1.2.2" type="song">
  <head timesig_numerator="4" timesig_denominator="4" bpm="120" mastervol="100" masterpitch="0"/>
  <song>
    <trackcontainer type="song">
      <track type="2" name="Tones" muted="0" solo="0">
        <sampletrack vol="100" pan="0" fxch="0">
          <fxchain numofeffects="1" enabled="1">
            <effect name="vsteffect" on="1" wet="1" autoquit="1" gate="0">
              <vsteffectcontrols plugin="$plugin" guivisible="0"$params/>
              <key><attribute name="file" value="$plugin"/></key>
            </effect>
          </fxchain>
        </sampletrack>
        <sampletco src="$input" pos="0" len="$((seconds * 2 * 48))" muted="0" sample_rate="$rate"/>
      </track>
    </trackcontainer>
  </song>
</lmms-project>
XML
}

# LMMS exits 0 even when the plug-in fails to load (it then renders the dry
# tones), so its log is read; and it now and then crashes on exit after
# writing a good file, so a file is judged, not the exit status. Up to three
# tries when no file came out.
[ "$(id -u)" -eq 0 ] && allow_root=--allowroot || allow_root=
lmms_render() { # PROJECT OUT LOG
  local project=$1 out=$2 log=$3 try status
  : >"$log"
  for try in 1 2 3; do
    rm -f "$out"
    status=0
    echo "** render, try $try" >>"$log"
    run_limited 180 "$log" env WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
      xvfb-run -a lmms $allow_root render "$project" -f wav -a -x 1 -s "$rate" -o "$out" || status=$?
    echo "** exit status $status" >>"$log"
    if grep -q 'could not be loaded' "$log"; then
      echo "** LMMS could not load the plug-in" >>"$log"
      return 1
    fi
    [ -s "$out" ] && return 0
  done
  return 1
}

"$bin/mg-host" info "$reference_plugin" >"$logs/mg-host-info.log" 2>&1 || fail "mg-host info" "$logs/mg-host-info.log"
for c in "${cases[@]}"; do
  project=$work/projects/$c.mmp
  render=$work/renders/lmms-$c.wav
  if ! write_project "$project" "${settings[$c]}" 2>"$logs/project-$c.log"; then
    fail "no LMMS project for $c" "$logs/project-$c.log"
    table+=("$c|-|-|-|FAILED: no project")
    continue
  fi
  if ! lmms_render "$project" "$render" "$logs/lmms-$c.log"; then
    fail "LMMS did not render $c" "$logs/lmms-$c.log"
    table+=("$c|-|-|-|FAILED: no LMMS render")
    continue
  fi
  # LMMS stops the clip at its last whole period (a few hundred frames
  # early) and renders up to the bar's end: the bypass sum is checked up to
  # 0.25 s before the tones end.
  compare_case LMMS "$c" "$input" "$input" "$render" --skip-end 0.25
done

echo
echo "LMMS $(dpkg-query -W -f='${Version}' lmms:i386) plays $(basename "$plugin") (i686) under wine $(wine --version 2>/dev/null | sed 's/^wine-//'):"
echo "  renders at $rate Hz; mg-host plays the same tones through the Linux plug-in (RMS from 0.5 s to $((seconds * 1000 - 250)) ms):"
print_case_table LMMS
echo "  Took $((SECONDS - started)) s; files and logs in $work"
passed=$(count_passed)
total=${#cases[@]}
if [ "$failures" -gt 0 ] && [ "$passed" -eq "$total" ]; then
  passed=$((total - 1))
fi
echo "lmms: $passed passed, $((total - passed)) failed"
[ "$failures" -eq 0 ] || exit 1
