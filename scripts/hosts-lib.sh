# Shared by the third-party host checks (sourced, not run). The caller sets
# $work (its work folder, with home/ config/ cache/ data/ plugins/ inside),
# $logs, $bin (the release build's programs), $compare (render-compare) and
# $reference_plugin (the Linux plug-in our own host renders with).

# Every host plays the same test tones into the pedal: 200 Hz at amplitude
# 0.7 on input 1 and 300 Hz at 0.5 on input 2 (their peaks add up past full
# scale, so a host that clips shows in the bypass sum). Their levels are
# 20 log10(a / sqrt 2) dBFS.
tones_db=-6.108,-9.031

failures=0
fail() { # MESSAGE [LOG...]
  echo "FAILED: $1" >&2
  shift
  local log
  for log in "$@"; do
    [ -f "$log" ] || continue
    echo "---- $log" >&2
    tail -n 60 "$log" >&2
    echo "----" >&2
  done
  failures=$((failures + 1))
}

# Runs a host command with its output appended to LOG; after LIMIT seconds
# it saves the threads' stacks to the log (when gdb is there) and kills it.
# Returns the command's status, 124 for a hang. The hosts keep caches,
# settings and scripts in the home and XDG folders: a private set per run,
# so nothing from an earlier run or build is reused.
run_limited() { # LIMIT LOG COMMAND...
  local limit=$1 log=$2
  shift 2
  (exec env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    XDG_DATA_HOME="$work/data" LXVST_PATH="$work/plugins" "$@") >>"$log" 2>&1 &
  local pid=$! ticks=0 status=0
  # The shell's own word on a crash ("Aborted") goes to the log too.
  {
    while kill -0 "$pid" 2>/dev/null; do
      if [ "$ticks" -ge $((limit * 10)) ]; then
        echo "** no exit after ${limit} s"
        if command -v gdb >/dev/null; then
          timeout 60 gdb -p "$pid" -batch -ex 'thread apply all bt 15' 2>&1 || true
        fi
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" || true
        return 124
      fi
      sleep 0.1
      ticks=$((ticks + 1))
    done
    wait "$pid" || status=$?
  } >>"$log" 2>&1
  return "$status"
}

# Runs one check on a case's renders: its line goes to the case's $result
# as "WHO: ...", and a failure clears $ok.
judge() { # WHO render-compare ARGS...
  local who=$1 out status=0
  shift
  out=$("$compare" "$@" 2>&1) || status=$?
  sed "s/^/$who: /" <<<"$out" >>"$result"
  [ "$status" -eq 0 ] || ok=0
}


# The cases every host renders. Each: our parameter settings (names,
# normalised values), the check, a label for the table.
# Each case: the parameters (our names, normalised values), the check, a label
# for the table.
cases=(default bypass attack1-cabinet-off level0-cabinet-off)
declare -A settings=([default]="" [bypass]="Effect=0" [attack1-cabinet-off]="Attack=1 Cabinet=0"
  [level0-cabinet-off]="Level=0 Cabinet=0")
declare -A check=([default]=level [bypass]=bypass [attack1-cabinet-off]=level [level0-cabinet-off]=silence)
declare -A label=([default]="default settings" [bypass]="Effect Off (bypass)"
  [attack1-cabinet-off]="Attack 1, Cabinet Off" [level0-cabinet-off]="Level 0, Cabinet Off")

# Renders INPUT_FILE's first two channels through our own host with CASE's
# settings and checks HOST's render of the same input (THEIRS) against it;
# adds a row to $table. BYPASS_OPTIONS go to the bypass checks (by default
# they cover the whole file).
table=()
compare_case() { # HOST CASE INPUT_FILE INPUT THEIRS [BYPASS_OPTIONS...]
  local who=$1 c=$2 input_file=$3 input=$4 theirs=$5
  shift 5
  local ours=$work/renders/mg-host-$who-$c.wav params=() s
  result=$logs/compare-$who-$c.log
  : >"$result"
  for s in ${settings[$c]}; do params+=(--param "$s"); done
  if ! "$bin/mg-host" render "$reference_plugin" "$input_file" "$ours" "${params[@]}" --quiet \
    >"$logs/mg-host-$who-$c.log" 2>&1; then
    fail "mg-host did not render $c" "$logs/mg-host-$who-$c.log"
    table+=("$c|-|-|-|FAILED: no mg-host render")
    return
  fi

  # One line per check, "input: ...", "HOST: ..." or "mg-host: ...".
  ok=1
  judge input stats "$input" --expect "$tones_db" --tolerance 0.01 --skip 0 --skip-end 0
  case ${check[$c]} in
    level)
      judge "$who" level "$ours" "$theirs" --dry "$input"
      ;;
    bypass)
      judge "$who" level "$ours" "$theirs" --dry "$input"
      # Both hand the input back as late as the plug-in's latency
      # ($plugin_delay frames): the host's render holds the pedal's input as
      # it went in, and mg-host does not make up for the delay.
      judge "$who" bypass "$input" "$theirs" --delay "${plugin_delay:-0}" "$@"
      judge mg-host bypass "$input" "$ours" --delay "${plugin_delay:-0}" "$@"
      ;;
    silence)
      judge "$who" silence "$theirs"
      judge mg-host silence "$ours"
      ;;
  esac
  local our_db their_db diff_db
  if [ "${check[$c]}" = silence ]; then
    our_db=$(sed -n 's/^mg-host: silence [a-zA-Z]*: \([^ ]*\) dBFS.*/\1/p' "$result")
    their_db=$(sed -n "s/^$who: silence [a-zA-Z]*: \([^ ]*\) dBFS.*/\1/p" "$result")
  else
    our_db=$(sed -n "s/^$who: level .*reference \([^ ]*\) dBFS.*/\1/p" "$result")
    their_db=$(sed -n "s/^$who: level .*test \([^ ]*\) dBFS.*/\1/p" "$result")
  fi
  diff_db=$(awk -v a="$our_db" -v b="$their_db" \
    'BEGIN { if (a ~ /inf|^$/ || b ~ /inf|^$/) print "-"; else printf "%+.3f", b - a }')
  if [ "$ok" -eq 1 ]; then
    case ${check[$c]} in
      level) table+=("$c|$our_db|$their_db|$diff_db|ok, level") ;;
      bypass) table+=("$c|$our_db|$their_db|$diff_db|ok, level; both = input 1 + input 2") ;;
      silence) table+=("$c|$our_db|$their_db|$diff_db|ok, both silent") ;;
    esac
  else
    fail "$c: the renders do not agree" "$result"
    table+=("$c|${our_db:--}|${their_db:--}|$diff_db|FAILED")
  fi
}

# The rows of $table, then every check's own line.
print_case_table() { # HOST
  local row c our their d res
  printf '  %-24s %12s %12s %9s  %s\n' case "mg-host dBFS" "$1 dBFS" "diff dB" check
  for row in "${table[@]}"; do
    IFS='|' read -r c our their d res <<<"$row"
    printf '  %-24s %12s %12s %9s  %s\n' "${label[$c]}" "$our" "$their" "$d" "$res"
  done
  for c in "${cases[@]}"; do
    [ -s "$logs/compare-$1-$c.log" ] && sed "s/^/    $c, /" "$logs/compare-$1-$c.log"
  done
  return 0
}

# How many of the given results and of $table's rows passed.
count_passed() { # RESULT...
  local r n=0
  for r in "$@" "${table[@]#*|*|*|*|}"; do
    [[ $r == ok* ]] && n=$((n + 1))
  done
  echo "$n"
}
