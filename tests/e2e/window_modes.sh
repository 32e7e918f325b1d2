#!/usr/bin/env bash
# The real window on large virtual screens with a window manager (openbox), so decorations and
# full screen are real: the default window's size, place and class; a legal drag made at window
# coordinates; the window's picture on the display equal to the program's own scaled frame; F11
# to full screen and back; the size and place kept for the next start; the classic window with
# --classic-window.
#
# Usage: window_modes.sh <program> [<width>x<height> ...] (default: 1920x1080 3840x2160).
# Keeps its files in $E2E_KEEP (when set) after a failure.
set -euo pipefail
program=$1
shift
screens=("$@")
[ ${#screens[@]} -gt 0 ] || screens=(1920x1080 3840x2160)

if [ -z "${INSIDE_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xprop import compare openbox; do
        command -v "$tool" >/dev/null || { echo "$tool missing (make deps installs it)"; exit 1; }
    done
    # Each window mode starts from a fresh server and settings. A round whose window manager never
    # came, or whose window never showed twice (status 75), is run once more on a fresh server.
    for screen in "${screens[@]}"; do
        for part in ordinary classic; do
            for again in "" ", on a fresh server"; do
                echo "--- screen $screen, $part window$again"
                code=0
                env INSIDE_XVFB=$part SCREEN_SIZE="$screen" xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" \
                    "$0" "$program" || code=$?
                [ "$code" -eq 75 ] || break
            done
            [ "$code" -eq 0 ] || exit 1
        done
    done
    exit 0
fi

screenWidth=${SCREEN_SIZE%x*}
screenHeight=${SCREEN_SIZE#*x}
FAIL_CONTEXT=$SCREEN_SIZE
. "$(dirname "$0")/session.sh"
start_window_manager "$state/openbox.log" || { echo "no window manager"; exit 75; }
# geometry [window]: reads the window's size and the table's place in it from the program; with
# "window", also has it write its picture to window.ppm.
geometry() {
    ask "${1:-layout}"
    [ "$answer" != none ] || fail "the program has no window picture"
    read -r _ winW winH _ tableX tableY tableW tableH _ full _ scale <<<"$answer"
}
# wx/wy X Y: the window pixel of logical point X, Y (the first one that maps onto it).
wx() { echo $((tableX + (($1 * tableW + 799) / 800))); }
wy() { echo $((tableY + (($1 * tableH + 599) / 600))); }
click() { xdotool mousemove --window "$window" "$(wx "$1")" "$(wy "$2")" click 1; }
# ended WHAT: the program is gone; says how it ended.
ended() {
    local code=0
    wait "$pid" || code=$?
    pid=
    fail "the program ended (status $code) $1"
}
# launch ARGS: starts the program and waits for its window; status 1 when the program ended
# first, 2 when it showed no window within 30 s (it is then stopped).
launch() {
    QUILLFEN_TEST_HOOKS=$hooks "$program" "$@" >"$state/log" 2>&1 7<&- 8<&- &
    pid=$!
    # Polled: a search that meets a window going away at that moment comes back empty. Only this
    # copy's window counts: the last copy's may not yet be gone from the server.
    window=
    local deadline=$((SECONDS + 30))
    while ((SECONDS < deadline)); do
        window=$(timeout 5 xdotool search --all --onlyvisible --limit 1 --pid "$pid" --name '^Quillfen Solitaire$' \
            2>/dev/null) && [ -n "$window" ] && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.2
    done
    stop_hung "$pid" "no window after 30 s"
    return 2
}
start() {
    local launched=0
    launch "$@" || launched=$?
    if ((launched != 0)); then
        # Under load the copy that just ended may still hold the one-copy lock, so the new one
        # hands over to it and leaves, or the window is slow to map: once more, after a pause.
        local code=0
        wait "$pid" || code=$?
        pid=
        echo "the program left or showed no window (status $code); starting it again"
        cp "$state/log" "$state/first-start.log" 2>/dev/null || true
        sleep 1
        launched=0
        launch "$@" || launched=$?
        # Twice without a window while running: the round runs once more on a fresh server.
        if ((launched == 2)); then
            wait "$pid" 2>/dev/null || true
            pid=
            echo "no window twice; the round runs again on a fresh server"
            exit 75
        fi
        ((launched == 0)) || ended "before its window showed, twice"
    fi
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
    until_state active 1 "the window never became active"
}
# finish: Escape until the program ends (the logo, the player dialog, a game and the selection
# screen each take one). The keys go through the X server's test input to the focused window, never
# addressed to ours: a key sent to a window the program is taking down is an X error (BadWindow on
# X_SendEvent).
finish() {
    for _ in $(seq 1 20); do
        kill -0 "$pid" 2>/dev/null || break
        xdotool key Escape
        sleep 0.3
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end on Escape"
    local code=0
    wait "$pid" || code=$?
    pid=
    [ "$code" -eq 0 ] || fail "the program ended with $code"
}
# settle: waits until the window manager has stopped moving and resizing the window (a frame
# shot while it still does shows the old place or size).
settle() {
    local last= now= steady=0
    for _ in $(seq 1 50); do
        now=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | tr '\n' ' ')
        geometry
        now="$now $winW $winH"
        if [ "$now" = "$last" ]; then
            steady=$((steady + 1))
            ((steady >= 3)) && return 0
        else
            steady=0
        fi
        last=$now
        sleep 0.1
    done
}
# same_picture LABEL: the window's client area on the display equals the program's own frame.
same_picture() {
    local differing=unknown
    settle
    for _ in $(seq 1 40); do
        geometry window
        cp "$hooks/window.ppm" "$state/before.ppm"
        import -window "$window" -depth 8 "ppm:$state/shot.ppm"
        ask window
        # The status line's clock may tick while a large screen is read (over a second under
        # load): the display then shows the picture from before the tick or the one after it.
        for picture in "$state/before.ppm" "$hooks/window.ppm"; do
            differing=$(compare -metric AE "$state/shot.ppm" "$picture" null: 2>&1 || true)
            [ "$differing" = 0 ] && { echo "picture matches: $1"; return 0; }
        done
        sleep 0.1
    done
    fail "the display differs from the program's frame at $1 ($differing pixels)"
}

# --- The classic window: top-most, borderless, at the corner, a whole factor of 800 x 600 ---

if [ "$INSIDE_XVFB" = classic ]; then
    start --classic-window
    geometry
    factor=$((screenWidth / 800 < screenHeight / 600 ? screenWidth / 800 : screenHeight / 600))
    ((winW == 800 * factor && winH == 600 * factor)) || fail "classic window ${winW}x${winH}, factor $factor"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    ((X == 0 && Y == 0)) || fail "classic window at $X,$Y"
    xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "classic window not on top"
    finish
    echo "ok"
    exit 0
fi

# --- The default window: 4:3, about 90% of the desktop, centred, with the desktop entry's class ---

start
geometry
expectedH=$((screenHeight * 9 / 10))
expectedW=$((expectedH * 4 / 3))
if ((expectedW > screenWidth * 9 / 10)); then expectedW=$((screenWidth * 9 / 10)); expectedH=$((expectedW * 3 / 4)); fi
((winW == expectedW && winH == expectedH)) || fail "window ${winW}x${winH}, expected ${expectedW}x${expectedH}"
eval "$(xdotool getwindowgeometry --shell "$window")"
((X + WIDTH / 2 > screenWidth / 2 - 40 && X + WIDTH / 2 < screenWidth / 2 + 40)) || fail "not centred across: x $X"
# Down, the window manager may push the client area below its title bar.
((Y >= (screenHeight - HEIGHT) / 2 && Y < (screenHeight - HEIGHT) / 2 + 60)) || fail "not centred down: y $Y"
xprop -id "$window" WM_CLASS | grep -q '"quillfen-solitaire"' || fail "window class: $(xprop -id "$window" WM_CLASS)"
echo "default window ${winW}x${winH} at $X,$Y"

# --- The logo, a player, Klondike from its settings dialog, and a drag at window coordinates ---

click 400 300
sleep 0.3
xdotool type --delay 30 "Tessa"
xdotool key Return
until_state player Tessa "the player dialog did not take the name"
click 671 225
xdotool key s
until_state game 12 "Klondike did not start"
same_picture "Klondike dealt"

moved=
for _ in $(seq 1 40); do
    settle_piles
    ask move
    if [ "$answer" = none ]; then
        click 126 121  # the stock
        sleep 0.6
        continue
    fi
    read -r _ pickX pickY dropX dropY <<<"$answer"
    settle_piles
    before=$answer
    xdotool mousemove --window "$window" "$(wx "$pickX")" "$(wy "$pickY")" mousedown 1
    xdotool mousemove --window "$window" "$(wx $(((pickX + dropX) / 2)))" "$(wy $(((pickY + dropY) / 2)))" \
        mousemove --window "$window" "$(wx "$dropX")" "$(wy "$dropY")" mouseup 1
    until_answer piles '[ "$(field piles)" != "$(answer=$before field piles)" ]' "the drag changed nothing"
    moved=1
    break
done
[ -n "$moved" ] || fail "no legal move found"
same_picture "after the drag"

# --- F11 to full screen and back ---

xdotool key --window "$window" F11
for _ in $(seq 1 40); do
    geometry
    ((full == 1 && winW == screenWidth && winH == screenHeight)) && break
    sleep 0.1
done
((full == 1 && winW == screenWidth && winH == screenHeight)) || fail "F11 gave ${winW}x${winH} (full $full)"
same_picture "full screen"
xdotool key --window "$window" F11
for _ in $(seq 1 40); do
    geometry
    ((full == 0 && winW == expectedW)) && break
    sleep 0.1
done
((full == 0 && winW == expectedW && winH == expectedH)) || fail "F11 again gave ${winW}x${winH} (full $full)"

# --- The drawing scale follows the window: the table's own size draws at 1x, back up at 2x or 3x ---

bigScale=$scale
# resize_to W H SCALE: the window resized by the window manager, drawn at SCALE once it settles.
resize_to() {
    xdotool windowsize "$window" "$1" "$2"
    for _ in $(seq 1 50); do
        geometry
        ((winW == $1 && winH == $2 && scale == $3)) && break
        sleep 0.1
    done
    ((winW == $1 && winH == $2 && scale == $3)) || fail "resized to ${winW}x${winH}, drawn at ${scale}x, not $1x$2 at $3x"
    same_picture "a ${1}x${2} window drawn at ${3}x"
}
resize_to 800 600 1
resize_to "$expectedW" "$expectedH" "$bigScale"

# --- The next start remembers the window, moved elsewhere, at the same size and place ---

eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/first/')"
xdotool windowmove "$window" 40 60
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/moved/')"
finish
start
eval "$(xdotool getwindowgeometry --shell "$window")"
((X == movedX && Y == movedY && WIDTH == firstWIDTH && HEIGHT == firstHEIGHT)) ||
    fail "the next start opened ${WIDTH}x${HEIGHT} at $X,$Y, not ${firstWIDTH}x${firstHEIGHT} at $movedX,$movedY"

# --- A window left as on a larger display (partly off this screen, or larger than it) opens
# centred at the default size, as at a first start ---

left_elsewhere() {
    start
    geometry
    eval "$(xdotool getwindowgeometry --shell "$window")"
    ((winW == expectedW && winH == expectedH && X + WIDTH / 2 > screenWidth / 2 - 40 &&
        X + WIDTH / 2 < screenWidth / 2 + 40 && Y >= 0 && Y + HEIGHT <= screenHeight)) ||
        fail "a window left $1 opened ${winW}x${winH} at $X,$Y"
}
xdotool windowmove "$window" $((screenWidth - firstWIDTH / 2)) 60
sleep 0.3
finish
left_elsewhere "partly off the screen"
finish
dword() { printf 'dword:%08x' "$1"; }
sed -i -e "s/^\"Width\"=dword:.*/\"Width\"=$(dword $((screenWidth * 2)))/" \
    -e "s/^\"Height\"=dword:.*/\"Height\"=$(dword $((screenHeight * 2)))/" \
    -e "s/^\"X\"=dword:.*/\"X\"=$(dword $((screenWidth / 2)))/" "$XDG_CONFIG_HOME/quillfen-solitaire/settings.reg"
left_elsewhere "larger than the screen"
finish
echo "ok"
