#!/usr/bin/env bash
# A session in the real SDL window on a virtual X server, driven with xdotool as a person would:
# end the logo with a click, type a player name, choose Klondike, start it from its settings
# dialog, drag a card to a legal place, undo it from the menu, open and close the high scores,
# leave with Escape, start a second copy (which must raise the first and end), and quit with the
# Exit button. At several points the X display must show exactly the program's screen buffer.
# Afterwards the settings file must hold the player and Klondike's rule values.
#
# The program is started with QUILLFEN_TEST_HOOKS (tests/hooks/test_hooks.h): it answers requests on a
# named pipe only when it waits for input with an empty queue, so every answer follows the input
# sent before it. Nothing here sleeps for long; every wait polls with a deadline.
#
# Usage: real_window.sh <program>. Keeps its files in $E2E_KEEP (when set) after a failure.
set -euo pipefail
program=$1

if [ -z "${INSIDE_XVFB:-}" ]; then
    for tool in xvfb-run xdotool import compare; do
        command -v "$tool" >/dev/null || { echo "$tool missing (make deps installs it)"; exit 1; }
    done
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

# Where things are on the screen (artwork/screen_layout.h, games/klondike.h, cards 53 x 83).
readonly klondikeItem="671 225"   # kGameMenuItems[11], the middle of its name
readonly exitButton="738 42"      # kExitButtonX/Y plus half of the 84 x 54 button
readonly stockCentre="126 121"    # KlondikeGame::kStockX/Y plus half a card
readonly highScoresArea="360x360+200+100"  # the high scores dialog (store/high_scores_dialog.cpp)
readonly playerName="Tessa"

started=$SECONDS
. "$(dirname "$0")/session.sh"
settings=$XDG_CONFIG_HOME/quillfen-solitaire/settings.reg

# The classic window: 800 x 600 at the display's corner, so screen and window pixels coincide.
QUILLFEN_TEST_HOOKS=$hooks "$program" --classic-window >"$state/log" 2>&1 7<&- 8<&- &
pid=$!

# click_control CAPTION: clicks the middle of the running game's menu title or item.
click_control() {
    until_answer "where $1" '[ "$answer" != none ]' "no control \"$1\" on screen"
    local x y w h
    read -r x y w h <<<"$answer"
    click $((x + w / 2)) $((y + h / 2))
}

# same_screen LABEL: the X display's top-left 800 x 600 must equal the screen buffer. The buffer
# is dumped before and after the screenshot; only a shot between two equal dumps counts, since
# the score panel's clock may change the screen at any moment.
same_screen() {
    local differing=unknown
    for _ in $(seq 1 20); do
        ask dump
        [ "$answer" = ok ] || fail "no screen buffer at $1"
        cp "$hooks/screen.ppm" "$state/before.ppm"
        import -window root -crop 800x600+0+0 +repage -depth 8 "ppm:$state/shot.ppm"
        ask dump
        if cmp -s "$hooks/screen.ppm" "$state/before.ppm"; then
            differing=$(compare -metric AE "$state/shot.ppm" "$state/before.ppm" null: 2>&1 || true)
            [ "$differing" = 0 ] && { echo "screen matches: $1"; return 0; }
        fi
        sleep 0.05
    done
    cp "$state/shot.ppm" "$state/mismatch-shot.ppm"
    cp "$state/before.ppm" "$state/mismatch-buffer.ppm"
    fail "the display differs from the screen buffer at $1 ($differing pixels)"
}

# --- The window appears; the logo ends with a click; the player dialog takes a name ---

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quillfen Solitaire$' | head -n 1) ||
    fail "no window appeared"
# No window manager runs here: give the window the keyboard focus by hand, retrying until the
# server has mapped it.
for _ in $(seq 1 100); do
    xdotool windowfocus "$window" 2>/dev/null && break
    sleep 0.05
done
until_state active 1 "the window never became active"
click 400 300
ask state
[ "$(field game)" = 0 ] || fail "a game runs before a player was named"
same_screen "player dialog"
xdotool type --delay 30 "$playerName"
xdotool key Return
until_state player "$playerName" "the player dialog did not take the name"

# --- Klondike from the selection screen, started from its settings dialog ---

click $klondikeItem
ask state
[ "$(field game)" = 0 ] || fail "Klondike started without its settings dialog"
same_screen "Klondike settings dialog"
# "&Start": the button's hot key.
xdotool key s
until_state game 12 "Klondike did not start"
same_screen "Klondike dealt"

# --- A legal drag, then Undo from the menu ---

moved=
lastClick=0
for try in $(seq 1 120); do
    settle_piles
    ask move
    if [ "$answer" = none ]; then
        if ((try % 40 == 0)); then
            # Forty deals from the stock run through it and every recycle: a deal with no move
            # at all is rare but possible, so deal again.
            click_control "&Game"
            click_control "&New Game"
        else
            # Deal from the stock and look again.
            click $stockCentre
        fi
        lastClick=$SECONDS
        continue
    fi
    read -r _ pickX pickY dropX dropY <<<"$answer"
    settle_piles
    before=$answer
    # A press soon after the stock click could count as its double click; let that time pass.
    ((SECONDS - lastClick > 1)) || sleep 0.6
    # The whole drag waits for the program, stopped meanwhile: the server then reports the moves
    # as one hinted move, and the press and the release must still land where they were made.
    kill -STOP "$pid"
    xdotool mousemove "$pickX" "$pickY" mousedown 1 \
        mousemove $(((pickX + dropX) / 2)) $(((pickY + dropY) / 2)) mousemove "$dropX" "$dropY" mouseup 1
    kill -CONT "$pid"
    until_answer piles '[ "$(field piles)" != "$(answer=$before field piles)" ]' \
        "the drag from $pickX,$pickY to $dropX,$dropY changed nothing"
    moved=1
    break
done
[ -n "$moved" ] || fail "no legal move found in three deals"
echo "dragged a card from $pickX,$pickY to $dropX,$dropY"
same_screen "after the drag"

click_control "&Game"
click_control "&Undo"
until_answer piles '[ "$(field piles)" = "$(answer=$before field piles)" ]' "Undo did not bring the cards back (before the drag: $before)"
same_screen "after Undo"

# --- Moves that all wait for the program end where the pointer ended ---
# The server reports them as one hinted move and the program asks where the pointer went. The
# second run starts where the first did (the place SDL last heard of, so it reports no move),
# and the third is made with the middle button held, which has SDL grab the pointer.

# waiting_moves X0 Y0 X1 Y1: with the program stopped, moves in ten steps from X0,Y0 to X1,Y1.
waiting_moves() {
    local moves=() step
    for ((step = 0; step <= 10; step++)); do
        moves+=(mousemove $(($1 + ($3 - $1) * step / 10)) $(($2 + ($4 - $2) * step / 10)))
    done
    kill -STOP "$pid"
    xdotool "${moves[@]}"
    kill -CONT "$pid"
    until_answer pointer "[ \"\$answer\" = 'pointer $3 $4' ]" "moves that waited from $1,$2 did not end at $3,$4"
}
waiting_moves 300 560 500 580
waiting_moves 300 560 600 590
xdotool mousemove 300 560 mousedown 2
ask state
waiting_moves 310 565 700 580
xdotool mouseup 2
ask piles
[ "$(field piles)" = "$(answer=$before field piles)" ] || fail "the moves with the middle button held changed the piles"

# --- High scores from the View menu, closed with Escape ---

ask dump
convert "$hooks/screen.ppm" -crop "$highScoresArea" +repage "ppm:$state/table.ppm"
click_control "&View"
click_control "&High Scores..."
until_answer dump 'convert "$hooks/screen.ppm" -crop "$highScoresArea" +repage "ppm:$state/dialog.ppm" &&
    ! cmp -s "$state/table.ppm" "$state/dialog.ppm"' "the high scores dialog did not open"
same_screen "high scores dialog"
xdotool key Escape
ask state
[ "$(field game)" = 12 ] || fail "closing the high scores left the game"
same_screen "high scores closed"

# --- Escape leaves the game; a second copy raises the first ---

xdotool key Escape
until_state game 0 "Escape did not leave the game"
same_screen "selection screen"

second=0
timeout 20 env -u QUILLFEN_TEST_HOOKS "$program" --classic-window >"$state/second.log" 2>&1 || second=$?
[ "$second" -eq 0 ] || fail "the second copy ended with $second: $(cat "$state/second.log")"
until_state raised 1 "the second copy did not raise the first"

# --- The Exit button ends the program ---

click $exitButton
for _ in $(seq 1 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs after the Exit button"
code=0
wait "$pid" || code=$?
pid=
[ "$code" -eq 0 ] || fail "the program ended with $code"

# --- The settings file ---

[ -f "$settings" ] || fail "no settings file at $settings"
ls "$settings".bad-* >/dev/null 2>&1 && fail "the settings file was put aside as unreadable"
grep -qF "\"HumanName\"=\"$playerName\"" "$settings" || fail "the player name was not stored"
klondike=$(awk '/^\[/ { inside = ($0 == "[HKEY_CURRENT_USER\\SOFTWARE\\Quillfen Software\\Solitaire\\Klondike]") }
                inside' "$settings")
for value in CardsDealt Recycles StartCard FilledIn TableauStart MovePartial AutoFlip; do
    grep -q "^\"$value\"=dword:" <<<"$klondike" || fail "Klondike's \"$value\" was not written"
done

echo "ok ($((SECONDS - started)) s)"
