# The common set-up of the end-to-end scripts, sourced once `program` is set: a folder of their own
# ($state) holding the program's XDG folders, removed at exit with every process named in $pid, $wm
# and $server; `fail`, which prints the program's log and keeps the folder in $E2E_KEEP (when set);
# the test hooks' pipes in $hooks, open for the whole session; and the requests of hook_requests.sh.
# FAIL_CONTEXT, when set, is named in every failure.
state=$(mktemp -d)
hooks=$state/hooks
pid= wm= server=
cleanup() {
    for p in $pid $wm $server; do kill "$p" 2>/dev/null || true; done
    rm -rf "$state"
}
trap cleanup EXIT
fail() {
    echo "FAIL${FAIL_CONTEXT:+ ($FAIL_CONTEXT)}: $*"
    echo "--- program log"; cat "$state/log" 2>/dev/null || true
    if [ -n "${E2E_KEEP:-}" ]; then
        mkdir -p "$E2E_KEEP" && cp -r "$state/." "$E2E_KEEP/" && echo "files kept in $E2E_KEEP"
    fi
    exit 1
}

# stop_hung PID WHAT: a program that stopped answering, stopped with SIGKILL (one stuck in a call to
# the X server never reaches its own SIGTERM handling), after printing what each of its threads
# was doing, when gdb is there.
stop_hung() {
    echo "--- where the program was: $2"
    if command -v gdb >/dev/null; then
        timeout 60 gdb -p "$1" -batch -ex "thread apply all bt 12" 2>/dev/null | grep -E '^(#|Thread)' | head -n 80 || true
    fi
    kill -9 "$1" 2>/dev/null || true
}

export XDG_RUNTIME_DIR=$state/run XDG_CONFIG_HOME=$state/config XDG_STATE_HOME=$state/state
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
. "$(dirname "${BASH_SOURCE[0]}")/hook_requests.sh"
open_hook_pipes "$hooks"
