#!/usr/bin/env bash
# The window taken away from the program under a window manager: destroyed by another client
# (xdotool windowclose), the program closes as from its close button, keeping the deal in
# progress, and exits with 0; the X server gone, it keeps the deal and exits with 1 after one
# line on stderr. Neither may crash or print an X error.
#
# Usage: window_taken_away.sh <program>. Keeps its files in $E2E_KEEP (when set) after a failure.
set -euo pipefail
program=$1
for tool in Xvfb xdotool xprop openbox; do
    command -v "$tool" >/dev/null || { echo "$tool missing (make deps installs it)"; exit 1; }
done

. "$(dirname "$0")/session.sh"

# A server of our own (so it can be ended) on a free display, with a window manager.
start_server() {
    Xvfb -displayfd 6 -screen 0 1920x1080x24 -nolisten tcp 6>"$state/display" >"$state/xvfb.log" 2>&1 &
    server=$!
    for _ in $(seq 1 100); do [ -s "$state/display" ] && break; sleep 0.05; done
    [ -s "$state/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$state/display")
    start_window_manager "$state/openbox.log" || fail "no window manager"
}
stop_server() {
    kill "$wm" "$server" 2>/dev/null || true
    wait "$wm" "$server" 2>/dev/null || true
    wm= server=
}

# Klondike straight from the command line, a player named, and one move made: a deal to keep.
start_with_a_deal() {
    rm -rf "$XDG_STATE_HOME" "$XDG_CONFIG_HOME"
    QUILLFEN_TEST_HOOKS=$hooks "$program" --game Klondike --deal 4242 >"$state/log" 2>&1 7<&- 8<&- &
    pid=$!
    window=
    for _ in $(seq 1 150); do
        window=$(xdotool search --all --onlyvisible --limit 1 --pid "$pid" --name '^Quillfen Solitaire$' 2>/dev/null) &&
            [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended before its window showed"
        sleep 0.2
    done
    [ -n "$window" ] || fail "no window after 30 s"
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    until_state active 1 "the window never became active"
    for _ in $(seq 1 20); do
        ask state
        [ "$(field game)" = 12 ] && break
        # No logo with --game: the player dialog comes first, then the table.
        if [ -z "$(field player)" ]; then
            xdotool type --delay 30 "Tessa"
            xdotool key Return
        fi
        sleep 0.5
    done
    until_state game 12 "Klondike did not start"
    ask layout
    read -r _ _ _ _ tableX tableY tableW tableH _ <<<"$answer"
    # The stock at (126, 121): turning it is a move.
    xdotool mousemove --window "$window" $((tableX + 126 * tableW / 800)) $((tableY + 121 * tableH / 600)) click 1
    until_answer piles '[ "$(field undo)" -gt 0 ]' "the stock did not turn"
}
# exits_with CODE WHAT: waits for the program to end and checks its status.
exits_with() {
    local code=0
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the program is still running after $2"
    wait "$pid" || code=$?
    pid=
    [ "$code" -eq "$1" ] || fail "the program ended with $code after $2, not $1"
    if grep -Eq 'BadWindow|BadDrawable|free\(\)|X Error|XIO' "$state/log"; then fail "an X error or a crash after $2"; fi
}
kept_deal() {
    ls "$XDG_STATE_HOME"/quillfen-solitaire/*game12.sav >/dev/null 2>&1 || fail "no deal kept after $1"
}

start_server
start_with_a_deal
xdotool windowclose "$window"
exits_with 0 "its window was destroyed"
kept_deal "the window was destroyed"
echo "window destroyed: closed with 0, deal kept"

start_with_a_deal
stop_server
exits_with 1 "the X server went away"
kept_deal "the X server went away"
lines=$(grep -c -i 'display' "$state/log" || true)
[ "$lines" -eq 1 ] || fail "expected one line about the display, found $lines"
echo "server gone: ended with 1 and one line, deal kept"
echo "ok"
