#!/usr/bin/env bash
# The Windows builds and their tests. Cross-builds MarrowGrit.dll, mg-host and
# the editor test host for 32-bit (win32 preset) and 64-bit (win64 preset)
# Windows, then:
#   - checks what each DLL, CLAP module and VST 3 module exports and imports;
#   - under wine: the VST 3 bundle's description, renders and states equal
#     to the DLL's; mg-host info, renders through each process callback
#     compared with the Linux build's renders of the same input, state and
#     .fxp/.fxb preset files saved and loaded across the two builds, and the
#     strict-host checks of
#     mg-conformance; the effect chain's kernels as built for Windows,
#     against the plain chain; the CLAP module: described as on Linux,
#     rendering as the DLL in four settings, its state across the systems;
#   - under Xvfb: the window part's own tests (mg-editor-window-tests:
#     opening, closing, messages, the text-entry box, resizing, text, module
#     paths, the dialogs); the editor in a real window (mg-editor-host), its
#     screenshots against the headless rendering (pedal-snapshot), the
#     footswitch, a knob drag, the text-entry box and the choice list
#     driven with xdotool, and closing and reopening without leftovers.
#
#   scripts/test-windows.sh
#
# Installs what it needs (as root, idempotent), builds the static Windows
# libraries once into /var/cache/marrow-grit (scripts/build-mingw-deps.sh),
# and keeps its files, wine prefix included, in build/windows-test/.
# Ends with a line "windows: N passed, M failed"; exits 1 when any check
# failed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib.sh"
root=$(mg_root_dir)
cd "$root"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
# Paths below the checkout count as relative, so a fresh clone elsewhere (as
# CI makes) still finds the cross builds' objects in the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}

started=$SECONDS
passed=0
failed=0
failures=()

# check NAME COMMAND...: runs the command in a subshell that stops at its
# first failing step, quietly; shows its output only on failure.
# note NAME COMMAND...: the same, and shows the last line it printed.
run_check() {
    local show=$1 name=$2 out rc
    shift 2
    out=$(mktemp)
    set +e
    (set -e; "$@") >"$out" 2>&1
    rc=$?
    set -e
    if [[ $rc -eq 0 ]]; then
        if [[ $show == 1 ]]; then echo "  ok    $name: $(tail -n 1 "$out")"; else echo "  ok    $name"; fi
        passed=$((passed + 1))
    else
        echo "  FAIL  $name"
        sed 's/^/        /' "$out" | tail -n 40
        failed=$((failed + 1))
        failures+=("$name")
    fi
    rm -f "$out"
}
check() { run_check 0 "$@"; }
note() { run_check 1 "$@"; }

section() { echo "== windows: $* ($((SECONDS - started)) s) =="; }

# ------------------------------------------------------------------ set-up
section "tools"
if [[ $(id -u) -eq 0 ]]; then
    "$here/install-mingw.sh" --wine
else
    echo "not root: assuming scripts/install-mingw.sh --wine has run"
fi
section "static libraries"
"$here/build-mingw-deps.sh" all
# The strict-host checks of tools/conformance, where that tool exists.
windows_targets=(MarrowGrit MarrowGritClap MarrowGritVst3 mg-host mg-editor-host mg-editor-window-tests mg-chain-kernel-tests)
[[ -f tools/conformance/CMakeLists.txt ]] && windows_targets+=(mg-conformance)
for preset in win32 win64; do
    section "build $preset"
    mg_build_quietly "$preset" "${windows_targets[@]}"
done
# The Linux side of the comparisons.
section "build dev (Linux references)"
mg_build_quietly dev MarrowGrit MarrowGritClap mg-host guitar-phrase pedal-snapshot mg-render-diff
linux=$root/build/dev

work=$root/build/windows-test
mkdir -p "$work"

# --------------------------------------------------------- exports, imports
objdump_for() { [[ $1 == win32 ]] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump; }

# Windows' own DLLs: anything else (the compiler's runtime, zlib, libpng, a
# threads library) would have to be shipped beside the plug-in.
system_dlls='^(kernel32|user32|gdi32|msvcrt|comdlg32|shell32|wininet|advapi32)\.dll$'

imports_only_system_dlls() {
    local objdump=$1 file=$2 names bad
    names=$("$objdump" -p "$file" | awk '/DLL Name:/ { print $3 }')
    echo "imports: $(echo $names)"
    [[ -n $names ]] || return 1
    bad=$(echo "$names" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
    [[ -z $bad ]] || { echo "not a system DLL: $bad"; return 1; }
}

exports_only() { # OBJDUMP FILE NAMES (sorted, space-separated)
    local objdump=$1 file=$2 names
    names=$("$objdump" -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        awk '/^\t\[/ { print $NF }' | sort | tr '\n' ' ')
    echo "exports: $names"
    [[ $names == "$3 " ]]
}

exports_clap_entry_only() {
    local names
    names=$("$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ { print $NF }' | tr '\n' ' ')
    echo "exports: $names"
    [[ $names == "clap_entry " ]]
}

file_format_is() {
    local objdump=$1 file=$2 want=$3
    "$objdump" -f "$file" | grep -q "file format $want\$"
}

for preset in win32 win64; do
    section "$preset: exports and imports"
    objdump=$(objdump_for "$preset")
    dll=build/$preset/lib/MarrowGrit.dll
    [[ $preset == win32 ]] && format=pei-i386 || format=pei-x86-64
    check "$preset MarrowGrit.dll is $format" file_format_is "$objdump" "$dll" "$format"
    check "$preset MarrowGrit.dll exports VSTPluginMain and main only" exports_only "$objdump" "$dll" "VSTPluginMain main"
    check "$preset MarrowGrit.dll imports only system DLLs" imports_only_system_dlls "$objdump" "$dll"
    # The VST 3 module: its factory and load hooks, undecorated also on
    # 32-bit Windows, where hosts look them up by the plain names.
    vst3=$(ls build/$preset/vst3/MarrowGrit.vst3/Contents/*-win/MarrowGrit.vst3)
    check "$preset MarrowGrit.vst3 is $format" file_format_is "$objdump" "$vst3" "$format"
    check "$preset MarrowGrit.vst3 exports GetPluginFactory, InitDll and ExitDll only" \
        exports_only "$objdump" "$vst3" "ExitDll GetPluginFactory InitDll"
    check "$preset MarrowGrit.vst3 imports only system DLLs" imports_only_system_dlls "$objdump" "$vst3"
    check "$preset mg-host.exe imports only system DLLs" imports_only_system_dlls "$objdump" "build/$preset/bin/mg-host.exe"
    check "$preset MarrowGrit.clap exports clap_entry only" exports_clap_entry_only "$objdump" "build/$preset/lib/MarrowGrit.clap"
    check "$preset MarrowGrit.clap imports only system DLLs" imports_only_system_dlls "$objdump" "build/$preset/lib/MarrowGrit.clap"
done

# ------------------------------------------------------------- wine, display
# A display of our own for everything wine runs: the editor tests need one,
# and nothing then depends on the caller's.
xvfb_pid=
host_pid=
cleanup() {
    if [[ -n $host_pid ]]; then kill "$host_pid" 2>/dev/null || true; fi
    if [[ -n ${WINEPREFIX:-} && -d ${WINEPREFIX:-/nonexistent} ]]; then timeout 20 wineserver -k 2>/dev/null || true; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

section "Xvfb and wine prefix"
mg_start_xvfb "$work"
xvfb_pid=$MG_XVFB_PID

# Quiet and non-interactive: no debug channels, no offers to install Mono or
# Gecko, a prefix of our own that can run 32- and 64-bit programs.
export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    rm -rf "$WINEPREFIX"
    timeout 180 wineboot --init >"$work/wineboot.log" 2>&1 || { tail "$work/wineboot.log"; exit 1; }
fi
# One server for all the calls below; ended by cleanup.
timeout 20 wineserver -p >/dev/null 2>&1 || true

source "$here/wine-lib.sh"

# --------------------------------------------------------------- sound, state
section "Linux references"
dry=$work/dry.wav
"$linux/bin/guitar-phrase" "$dry"
rel_dry=build/windows-test/dry.wav # wine gets paths relative to the repository
linux_host=$linux/bin/mg-host
linux_dll=$linux/lib/MarrowGrit.so
params=(--param Level=0.3 --param Attack=0.8 --param Cabinet=0)
for cb in replacing double accumulating; do
    "$linux_host" render "$linux_dll" "$dry" "$work/linux-$cb.wav" --callback "$cb" --quiet
done
"$linux_host" render "$linux_dll" "$dry" "$work/linux-params.wav" "${params[@]}" --state-out "$work/linux.state" --quiet
"$linux_host" info "$linux_dll" | grep -v -e '^file:' -e '^editor:' >"$work/linux-info.txt"
# A bank whose current program is not the first: loading it must select it.
preset_settings() { [[ $1 == fxb ]] && echo --program 5; echo "${params[@]}"; }
for kind in fxp fxb; do
    "$linux_host" render "$linux_dll" "$dry" "$work/linux-$kind.wav" $(preset_settings "$kind") \
        --preset-out "$work/linux.$kind" --quiet
done

info_matches() {
    local preset=$1 out=$work/$preset-info.txt
    # Windows programs end their lines with CR LF.
    wine_run "build/$preset/bin/mg-host.exe" info "build/$preset/lib/MarrowGrit.dll" | tr -d '\r' >"$out"
    grep -qx 'name: Marrow-Grit\[M\]' "$out" && grep -qx 'parameters: 4' "$out" &&
        grep -qx 'programs: 16' "$out" && grep -qx 'editor: yes 213x326' "$out" || { cat "$out"; return 1; }
    # Everything else as the Linux build reports it.
    diff <(grep -v -e '^file:' -e '^editor:' "$out") "$work/linux-info.txt"
}

render_matches() {
    local preset=$1 cb=$2 out=build/windows-test/$preset-$cb.wav
    wine_run "build/$preset/bin/mg-host.exe" render "build/$preset/lib/MarrowGrit.dll" "$rel_dry" "$out" \
        --callback "$cb" --quiet
    # 1e-5 is 100 dB below full scale: rounding, not a different sound.
    "$linux/bin/mg-render-diff" "$work/linux-$cb.wav" "$out" --max-diff 1e-5 --max-level-delta 0.001
}

state_round_trip() {
    local preset=$1 exe=build/$preset/bin/mg-host.exe dll=build/$preset/lib/MarrowGrit.dll
    local w=build/windows-test/$preset
    # Saved with parameters, loaded into a fresh instance: the same sound.
    wine_run "$exe" render "$dll" "$rel_dry" "$w-params.wav" "${params[@]}" --state-out "$w.state" --quiet
    wine_run "$exe" render "$dll" "$rel_dry" "$w-state.wav" --state-in "$w.state" --quiet
    "$linux/bin/mg-render-diff" "$w-params.wav" "$w-state.wav" --max-diff 0 >/dev/null
    # The chunk is the same bytes on both systems, and each loads the other's.
    cmp "$w.state" "$work/linux.state"
    wine_run "$exe" render "$dll" "$rel_dry" "$w-linux-state.wav" --state-in "$work/linux.state" --quiet
    "$linux/bin/mg-render-diff" "$w-params.wav" "$w-linux-state.wav" --max-diff 0 >/dev/null
    "$linux_host" render "$linux_dll" "$dry" "$work/linux-from-$preset-state.wav" --state-in "$w.state" --quiet
    "$linux/bin/mg-render-diff" "$work/linux-params.wav" "$work/linux-from-$preset-state.wav" --max-diff 0 >/dev/null
    "$linux/bin/mg-render-diff" "$work/linux-params.wav" "$w-params.wav" --max-diff 1e-5 --max-level-delta 0.001
}

preset_round_trip() {
    local preset=$1 kind=$2 exe=build/$preset/bin/mg-host.exe dll=build/$preset/lib/MarrowGrit.dll
    local w=build/windows-test/$preset
    # Written on Windows from the same settings: the same bytes as on Linux.
    wine_run "$exe" render "$dll" "$rel_dry" "$w-$kind.wav" $(preset_settings "$kind") \
        --preset-out "$w.$kind" --quiet
    cmp "$w.$kind" "$work/linux.$kind"
    # Linux's file in a fresh Windows instance, and the other way round: the
    # sound of the settings themselves on each system.
    wine_run "$exe" render "$dll" "$rel_dry" "$w-from-linux-$kind.wav" --preset-in "build/windows-test/linux.$kind" \
        --quiet
    "$linux/bin/mg-render-diff" "$w-$kind.wav" "$w-from-linux-$kind.wav" --max-diff 0 >/dev/null
    "$linux_host" render "$linux_dll" "$dry" "$work/linux-from-$preset-$kind.wav" --preset-in "$w.$kind" --quiet
    "$linux/bin/mg-render-diff" "$work/linux-$kind.wav" "$work/linux-from-$preset-$kind.wav" --max-diff 0 >/dev/null
    "$linux/bin/mg-render-diff" "$work/linux-$kind.wav" "$w-$kind.wav" --max-diff 1e-5 --max-level-delta 0.001
}

# The VST 3 bundle of the same build: its description, and renders and
# states equal to the VST 2.4 DLL's sample for sample and byte for byte.
vst3_matches() {
    local preset=$1 exe=build/$preset/bin/mg-host.exe dll=build/$preset/lib/MarrowGrit.dll
    local bundle=build/$preset/vst3/MarrowGrit.vst3 w=build/windows-test/$preset-vst3 setting
    wine_run "$exe" info "$bundle" | tr -d '\r' >"$w-info.txt"
    grep -qx 'format: VST 3' "$w-info.txt" && grep -qx 'id: 2BD05BA60CD4E37A0F03BC94D5B083E7' "$w-info.txt" &&
        grep -qx 'programs: 16' "$w-info.txt" || { cat "$w-info.txt"; return 1; }
    for setting in "" "--param Effect=0" "--param Attack=1 --param Cabinet=0" \
        "--param Level=0.25 --param Attack=0.75 --param Cabinet=0 --callback double"; do
        wine_run "$exe" render "$dll" "$rel_dry" "$w-vst2.wav" $setting --state-out "$w-vst2.state" --quiet
        wine_run "$exe" render "$bundle" "$rel_dry" "$w.wav" $setting --state-out "$w.state" --quiet
        "$linux/bin/mg-render-diff" "$w-vst2.wav" "$w.wav" --max-diff 0 >/dev/null || { echo "differs: $setting"; return 1; }
        cmp "$w-vst2.state" "$w.state" || return 1
    done
}

for preset in win32 win64; do
    section "$preset: mg-host under wine"
    check "$preset VST 3 bundle: info, and four renders and states equal to the DLL's" vst3_matches "$preset"
    check "$preset info: name, 4 parameters, 16 programs, editor 213x326, as on Linux" info_matches "$preset"
    for cb in replacing double accumulating; do
        note "$preset render ($cb) against Linux" render_matches "$preset" "$cb"
    done
    note "$preset state round trip, and across Linux and Windows" state_round_trip "$preset"
    note "$preset .fxp preset file across Linux and Windows" preset_round_trip "$preset" fxp
    note "$preset .fxb preset file (current program 5) across Linux and Windows" preset_round_trip "$preset" fxb
    if [[ -f build/$preset/bin/mg-conformance.exe ]]; then
        note "$preset strict-host conformance (mg-conformance)" \
            wine_run "build/$preset/bin/mg-conformance.exe" "build/$preset/lib/MarrowGrit.dll"
    fi
    note "$preset effect-chain kernels bit for bit against the plain chain (mg-chain-kernel-tests)" \
        wine_run "build/$preset/bin/mg-chain-kernel-tests.exe" --gtest_brief=1
done

# ------------------------------------------------------------------- CLAP
# The CLAP module of each build under its own mg-host.exe: described as on
# Linux, sounding as the same build's DLL sample for sample in four settings,
# and its state the same bytes as the Linux module's, each loading the other's.
clap_settings=("" "Effect=0" "Attack=1 Cabinet=0" "Level=0")
"$linux_host" info "$linux/lib/MarrowGrit.clap" | grep -v -e '^file:' -e '^editor:' >"$work/linux-clap-info.txt"
"$linux_host" render "$linux/lib/MarrowGrit.clap" "$dry" "$work/linux-clap.wav" "${params[@]}" \
    --state-out "$work/linux-clap.state" --quiet

clap_info_matches() {
    local preset=$1 out=$work/$preset-clap-info.txt
    wine_run "build/$preset/bin/mg-host.exe" info "build/$preset/lib/MarrowGrit.clap" | tr -d '\r' >"$out"
    grep -qx 'format: CLAP' "$out" || { cat "$out"; return 1; }
    diff <(grep -v -e '^file:' -e '^editor:' "$out") "$work/linux-clap-info.txt"
}

clap_renders_as_dll() {
    local preset=$1 exe=build/$preset/bin/mg-host.exe w=build/windows-test/$preset-clap setting s i=0 p
    for setting in "${clap_settings[@]}"; do
        p=()
        for s in $setting; do p+=(--param "$s"); done # (word splitting wanted)
        wine_run "$exe" render "build/$preset/lib/MarrowGrit.dll" "$rel_dry" "$w-$i-dll.wav" "${p[@]}" --quiet
        wine_run "$exe" render "build/$preset/lib/MarrowGrit.clap" "$rel_dry" "$w-$i.wav" "${p[@]}" --quiet
        "$linux/bin/mg-render-diff" "$w-$i-dll.wav" "$w-$i.wav" --max-diff 0 >/dev/null ||
            { echo "setting '$setting' differs"; return 1; }
        i=$((i + 1))
    done
    echo "four settings equal"
}

clap_state_across_systems() {
    local preset=$1 exe=build/$preset/bin/mg-host.exe w=build/windows-test/$preset-clap
    wine_run "$exe" render "build/$preset/lib/MarrowGrit.clap" "$rel_dry" "$w-params.wav" "${params[@]}" \
        --state-out "$w.state" --quiet
    cmp "$w.state" "$work/linux-clap.state"
    wine_run "$exe" render "build/$preset/lib/MarrowGrit.clap" "$rel_dry" "$w-linux-state.wav" \
        --state-in "build/windows-test/linux-clap.state" --quiet
    "$linux/bin/mg-render-diff" "$w-params.wav" "$w-linux-state.wav" --max-diff 0 >/dev/null
    "$linux/bin/mg-render-diff" "$work/linux-clap.wav" "$w-params.wav" --max-diff 1e-5 --max-level-delta 0.001
}

for preset in win32 win64; do
    section "$preset: the CLAP module under wine"
    check "$preset CLAP info as on Linux" clap_info_matches "$preset"
    note "$preset CLAP renders equal the DLL's in four settings" clap_renders_as_dll "$preset"
    check "$preset CLAP state the same bytes as on Linux, loaded across" clap_state_across_systems "$preset"
done

# ------------------------------------------------------------ editor window
# mg-editor-host answers one line per command (see tests/windows/EditorHost.cpp).
host_in=
host_out=
start_host() { # PRESET [PLUGIN]: the DLL of the preset unless a plug-in is named
    local preset=$1 plugin=${2:-build/$1/lib/MarrowGrit.dll} attempt
    for attempt in 1 2 3; do
        rm -f "$work/host.in" "$work/host.out"
        mkfifo "$work/host.in" "$work/host.out"
        timeout 300 wine "build/$preset/bin/mg-editor-host.exe" "$plugin" \
            <"$work/host.in" >"$work/host.out" 2>"$work/$preset-editor-host.log" &
        host_pid=$!
        exec {host_in}>"$work/host.in" {host_out}<"$work/host.out"
        # "ready W H X Y" once the editor is open; X Y is where it is on the screen.
        ready=
        IFS= read -r -t 60 ready <&"$host_out" || true
        # As in wine_run: when wine could not start the host at all, start it again.
        [[ $ready == ready* ]] && break
        wine_did_not_start <(echo "$ready") "$work/$preset-editor-host.log" || break
        echo "wine could not start mg-editor-host.exe (attempt $attempt of 3)"
        exec {host_in}>&- {host_out}<&-
        wait "$host_pid" 2>/dev/null || true
        host_pid=
        sleep 2
    done
    read -r _ _ _ origin_x origin_y <<<"$ready" || true
}
stop_host() {
    ask quit >/dev/null 2>&1 || true
    exec {host_in}>&- {host_out}<&-
    wait "$host_pid" 2>/dev/null || true
    host_pid=
}
# ask COMMAND: prints the host's answer.
ask() {
    local reply
    echo "$1" >&"$host_in"
    IFS= read -r -t 30 reply <&"$host_out" || { echo "no answer to '$1'" >&2; return 1; }
    echo "$reply"
}

origin_x=0
origin_y=0
ready=
shot() { import -window root -crop "213x326+$origin_x+$origin_y" +repage "$1"; }
# Pixels that differ between two pictures (colour only: the window has no alpha).
pixels_differing() { compare -metric AE -channel RGB "$1" "$2" null: 2>&1 || true; }
# xdotool at editor coordinates.
at() { echo $((origin_x + $1)) $((origin_y + $2)); }

# screen_matches NAME REFERENCE: the window shows the reference, within 3 s
# (the editor repaints on its timer).
screen_matches() {
    local name=$1 reference=$2 differing=
    for _ in $(seq 30); do
        shot "$work/$name.png"
        differing=$(pixels_differing "$work/$name.png" "$reference")
        [[ $differing == 0 ]] && return 0
        sleep 0.1
    done
    echo "$differing pixels differ from $reference; see $work/$name.png"
    return 1
}

# param_becomes INDEX TEST: waits up to 3 s for getParameter(INDEX) to pass
# TEST, an awk condition on v (e.g. "v == 0").
param_becomes() {
    local index=$1 test=$2 value=
    for _ in $(seq 30); do
        value=$(ask "param $index" | awk '{ print $3 }')
        awk -v v="$value" "BEGIN { exit !($test) }" && { echo "parameter $index = $value"; return 0; }
        sleep 0.1
    done
    echo "parameter $index = $value, wanted $test"
    return 1
}

# A press held like a finger's, not xdotool's instant click: the footswitch
# acts on what the editor's timer sees.
press() { xdotool mousemove $(at "$1" "$2") mousedown "${3:-1}" sleep 0.15 mouseup "${3:-1}"; }

reference() { "$linux/bin/pedal-snapshot" "$work/ref-$1.png" "${@:2}"; }

editor_opens_as_headless() {
    [[ $ready == "ready 213 326 "* ]] || { echo "the host said '$ready', not ready with a 213x326 editor"; return 1; }
    [[ $(ask windows) == "windows 1" ]]
    screen_matches open "$work/ref-open.png"
}

footswitch_toggles_effect() {
    local before=$work/before-stomp.png
    shot "$before"
    press 100 192
    param_becomes 2 "v == 0"
    screen_matches effect-off "$work/ref-effect-off.png"
    # The LED went dark.
    convert "$before" -crop 18x18+91+15 +repage "$work/led-on.png"
    convert "$work/effect-off.png" -crop 18x18+91+15 +repage "$work/led-off.png"
    [[ $(pixels_differing "$work/led-on.png" "$work/led-off.png") != 0 ]]
    press 100 192
    param_becomes 2 "v == 1"
    screen_matches effect-on "$work/ref-open.png"
}

knob_drag_moves_level() {
    local level
    xdotool mousemove $(at 50 118) mousedown 1
    for step in $(seq 1 10); do
        xdotool mousemove $(at 50 $((118 - 4 * step)))
        sleep 0.02
    done
    xdotool mouseup 1
    param_becomes 0 "v > 0.6"
    level=$(ask "param 0" | awk '{ print $3 }')
    ask edits
    reference level-dragged --do "param Level $level" --do "tick"
    screen_matches level-dragged "$work/ref-level-dragged.png"
}

text_entry_sets_level() {
    press 50 118 3
    [[ $(ask windows) == "windows 2" ]] || { echo "no text-entry box"; return 1; }
    press 50 118 1 # into the box: it takes the keyboard
    xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 30 "0.25"
    xdotool key Return
    param_becomes 0 "v == 0.25"
    [[ $(ask windows) == "windows 1" ]] || { echo "the box stayed"; return 1; }
}

choice_list_sets_cabinet() {
    press 100 81 3 # the cabinet switch: a list of "Off" and "On"
    [[ $(ask windows) == "windows 2" ]] || { echo "no choice list"; return 1; }
    press 100 91  # drop it down
    press 95 111  # "Off"
    param_becomes 3 "v == 0"
    [[ $(ask windows) == "windows 1" ]] || { echo "the list stayed"; return 1; }
}

reopening_leaves_nothing_behind() {
    local before after ticks
    ask "cycle 1" # the first opening may set things up for good
    before=$(ask heap | awk '{ print $2 }')
    ask "cycle 10"
    after=$(ask heap | awk '{ print $2 }')
    echo "heap in use: $before bytes before ten reopenings, $after after"
    [[ $(ask windows) == "windows 1" ]] || { echo "more than the editor's window"; return 1; }
    ask close
    [[ $(ask windows) == "windows 0" ]] || { echo "a window stayed"; return 1; }
    [[ $(ask class) == "class 0" ]] || { echo "the window class stayed registered"; return 1; }
    ticks=$(ask "ticks 500")
    [[ $ticks == "ticks 0" ]] || { echo "a timer still runs: $ticks"; return 1; }
    after=$(ask heap | awk '{ print $2 }')
    echo "heap in use after closing: $after bytes"
    ((after <= before)) || { echo "the heap grew by $((after - before)) bytes"; return 1; }
    # And the heap measure does see a leak.
    ask "leak 4096"
    after=$(ask heap | awk '{ print $2 }')
    ((after >= before + 4096)) || { echo "the heap measure missed a 4096-byte block"; return 1; }
    # Open again: the timer runs and the whole editor is drawn as it stands.
    [[ $(ask open) == "open 1" ]] || return 1
    ticks=$(ask "ticks 500" | awk '{ print $2 }')
    ((ticks >= 5)) || { echo "the timer did not run: $ticks ticks in 500 ms"; return 1; }
    reference reopened --do "param Level 0.25" --do "param Cabinet 0" --do "tick"
    screen_matches reopened "$work/ref-reopened.png"
    echo "no window, class, timer or heap growth left; reopened as drawn headless"
}

# The footswitch through the VST 3 view: the parameter follows and each
# press reached the host as an edit.
vst3_footswitch_reaches_host() {
    footswitch_toggles_effect || return 1
    local edits
    edits=$(ask edits | awk '{ print $4 }')
    ((edits >= 2)) || { echo "the host heard $edits edits for two presses"; return 1; }
}

section "headless references"
reference open
reference effect-off --do "param Effect 0" --do "tick"

for preset in win32 win64; do
    section "$preset: the editor in a window"
    note "$preset window part in the process (mg-editor-window-tests)" \
        wine_run "build/$preset/bin/mg-editor-window-tests.exe"
    start_host "$preset"
    check "$preset editor opens in a child window, drawn as headless" editor_opens_as_headless
    check "$preset footswitch toggles Effect and the LED" footswitch_toggles_effect
    check "$preset vertical drag on Level moves it" knob_drag_moves_level
    check "$preset right click on Level, typed 0.25 and Return" text_entry_sets_level
    check "$preset right click on Cabinet, Off picked from the list" choice_list_sets_cabinet
    note "$preset ten reopenings leave no window, timer or leak" reopening_leaves_nothing_behind
    stop_host

    section "$preset: the VST 3 view in a window"
    start_host "$preset" "build/$preset/vst3/MarrowGrit.vst3"
    check "$preset VST 3 view opens in a child window, drawn as headless" editor_opens_as_headless
    check "$preset VST 3 footswitch toggles Effect and reaches the host" vst3_footswitch_reaches_host
    stop_host
done

section "done"
if [[ $failed -gt 0 ]]; then
    printf 'failed: %s\n' "${failures[@]}"
fi
echo "windows: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
