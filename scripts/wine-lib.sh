# Running Windows programs under wine in the tests (sourced, not run).

# Now and then, on a loaded machine, wine fails to start a program at all
# ("Application could not be started ... ShellExecuteEx failed"). The program
# never ran then, so starting it again is safe; whatever a program that did
# run prints, and its exit status, are passed on as they are.
wine_did_not_start() { grep -qs -e 'ShellExecuteEx failed' -e 'Application could not be started' "$@"; }
wine_run() {
    local attempt out err rc
    out=$(mktemp)
    err=$(mktemp)
    for attempt in 1 2 3; do
        rc=0
        timeout "${WINE_TIMEOUT:-120}" wine "$@" >"$out" 2>"$err" || rc=$?
        wine_did_not_start "$out" "$err" || break
        echo "wine could not start $1 (attempt $attempt of 3)" >&2
        rc=1
        sleep 2
    done
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
    return "$rc"
}
