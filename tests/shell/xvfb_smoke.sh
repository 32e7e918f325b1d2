#!/usr/bin/env bash
# Smoke test of the real SDL window: under a virtual X server, start the program, wait for its
# window, press Escape past the logo and on the selection screen, and expect an exit with 0.
# With SMOKE_SHOTS naming a folder, the window is captured there before each key press
# (1.png, 2.png, ...).
set -euo pipefail
program=$1

if [ -z "${INSIDE_XVFB:-}" ]; then
    if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
        echo "xvfb-run or xdotool missing (make deps installs them)"; exit 1
    fi
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

state=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$state"' EXIT
export XDG_RUNTIME_DIR=$state/run XDG_CONFIG_HOME=$state/config XDG_STATE_HOME=$state/state SDL_VIDEODRIVER=x11
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

"$program" >"$state/log" 2>&1 &
pid=$!

# The window exists (hidden) before it is shown, so wait for a visible one.
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quillfen Solitaire$' | head -n 1) || {
    echo "no window appeared"; cat "$state/log"; exit 1; }
# No window manager runs here, so give the window the keyboard focus by hand; the focus request
# is refused until the server has mapped the window, so try a few times.
for _ in $(seq 1 50); do
    xdotool windowfocus "$window" 2>/dev/null && break
    sleep 0.1
done
sleep 0.5
# The first key press ends the logo; the next Escape, on the selection screen, ends the program.
for step in $(seq 1 10); do
    kill -0 "$pid" 2>/dev/null || break
    if [ -n "${SMOKE_SHOTS:-}" ]; then import -window "$window" "$SMOKE_SHOTS/$step.png" || true; fi
    xdotool key Escape
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end after Escape"; cat "$state/log"; exit 1
fi
wait "$pid" && code=0 || code=$?
cat "$state/log"
[ "$code" -eq 0 ] || { echo "exit code $code"; exit 1; }
echo "ok"
