#!/usr/bin/env bash
# The real program under a virtual X server, measured as a player meets it, beside a bare SDL
# program doing the same presents in the same run (tests/bench/bare_table.cpp). Prints one
# table (markdown) with wall times, CPU and memory, and the ratio to the bare program.
#
# CPU is each process's own total over all its threads (utime + stime of /proc/<pid>/stat, the
# figure getrusage(RUSAGE_SELF) gives inside it), plus the X server's share over the same span.
# Sound is on and audible to the program: SDL's "disk" audio driver writes the mixed output to
# /dev/null at the real rate, so effects and music cost what they cost on a desktop.
#
# The program is driven through its test hooks (tests/hooks/test_hooks.h): a request is answered only
# once the program waits for input with an empty queue, so "click, then ask" times the work the
# click started, up to a settled table.
#
# BENCH_SCREEN=WxH measures on a screen of that size with the program full screen (the table drawn
# at the device scale the window asks for, the bare program presenting at that scale too); without
# it, the classic 800 x 600 window on a 1024 x 768 screen.
#
# Usage: bench_real.sh <build dir> [soak deals, default 100]
set -euo pipefail
build=$(cd "$1" && pwd)
soakDeals=${2:-100}
program=$build/quillfen-solitaire-hooked
bare=$build/tests/bench/bare_table

if [ -z "${INSIDE_XVFB:-}" ]; then
    for tool in xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "$tool missing (make deps installs it)"; exit 1; }
    done
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 ${BENCH_SCREEN:-1024x768}x24 -nolisten tcp" "$0" "$@"
fi

state=$(mktemp -d)
pid=
barePid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$barePid" ] && kill "$barePid" 2>/dev/null || true
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
    rm -rf "$state"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$state/log" >&2 2>/dev/null || true
    exit 1
}

ticks=$(getconf CLK_TCK)
. "$(dirname "$0")/../e2e/hook_requests.sh"
# A large screen is measured as a player has it: under a window manager.
wm=
if [ -n "${BENCH_SCREEN:-}" ]; then
    command -v openbox >/dev/null || fail "openbox missing (make deps installs it)"
    start_window_manager
fi
# The X server of this display (xvfb-run starts one per run).
display=${DISPLAY#:}
xserver=$(pgrep -n -f "Xvfb :${display%%.*}( |$)") || fail "no X server found for $DISPLAY"

now_ms() { echo $(( ${EPOCHREALTIME/./} / 1000 )); }
# cpu_ms PID: the process's CPU time so far (all threads, ended ones included), in ms.
cpu_ms() { awk -v t="$ticks" '{ sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / t) }' "/proc/$1/stat"; }
# cpu_us PID: the CPU time of the process's live threads so far, in microseconds (schedstat).
cpu_us() { local total=0 run _ f; for f in /proc/"$1"/task/*/schedstat; do read -r run _ <"$f" && total=$((total + run)); done; echo $((total / 1000)); }
# kb PID FIELD: VmRSS or VmHWM in kB.
kb() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status"; }

# A settings file for one player who skips the player dialog and Klondike's rule dialog.
# The verdict's background search is off: it is the solver's cost (up to two seconds of one core
# after each move, docs/winnability.md), not what dealing and drawing cost.
settings_file() {  # music mode, animation speed
    mkdir -p "$XDG_CONFIG_HOME/quillfen-solitaire"
    cat >"$XDG_CONFIG_HOME/quillfen-solitaire/settings.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\SOFTWARE\\Quillfen Software\\Solitaire\\Preferences]
"HumanName"="Bench"
"DontShowAgain"=dword:00000001

[HKEY_CURRENT_USER\\SOFTWARE\\Quillfen Software\\Solitaire\\Players\\20]
"Name"="Bench"

[HKEY_CURRENT_USER\\SOFTWARE\\Quillfen Software\\Solitaire\\Preferences\\20]
"MusicEnabled"=dword:0000000$1
"SoundEnabled"=dword:00000001
"AutoGameOver"=dword:00000000
"AnimationSpeed"=dword:0000000$2
"ShowVerdict"=dword:00000000

[HKEY_CURRENT_USER\\SOFTWARE\\Quillfen Software\\Solitaire\\Klondike]
"DontShowAgain"=dword:00000001
REG
}

export XDG_RUNTIME_DIR=$state/run XDG_CONFIG_HOME=$state/config XDG_STATE_HOME=$state/state SDL_VIDEODRIVER=x11
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

# --- The program, driven through its hooks ---

HOOK_ANSWER_SECONDS=30 HOOK_STATE_SECONDS=20
windowArgs=(--classic-window)
[ -n "${BENCH_SCREEN:-}" ] && windowArgs=(--fullscreen)
tableX=0 tableY=0 tableW=800 tableH=600 scale=1
# Where the table is in the window and the scale it is drawn at; clicks take table coordinates.
geometry() {
    ask layout
    [ "$answer" != none ] || return 0
    read -r _ _ _ _ tableX tableY tableW tableH _ _ _ scale <<<"$answer"
}
wx() { echo $((tableX + $1 * tableW / 800)); }
wy() { echo $((tableY + $1 * tableH / 600)); }
# xdotool sleeps about 100 ms after a click before it ends, so every wall figure timed from a
# click holds that much of xdotool's own (`xdotool click 1` takes 107 ms, with --delay 0 7 ms).
# The sleep stays: it is what makes the click reach the program before the request asked after it.
click() { xdotool mousemove "$(wx "$1")" "$(wy "$2")" click 1; }
# The device scale a full-screen window of this screen asks for (the bare program presents at it).
bareScale=1
if [ -n "${BENCH_SCREEN:-}" ]; then
    screenW=${BENCH_SCREEN%x*} screenH=${BENCH_SCREEN#*x}
    for bareScale in 1 2 3; do ((screenW <= 800 * bareScale || screenH <= 600 * bareScale)) && break; done
fi
control_centre() {  # CAPTION: sets cx, cy to the middle of the game's menu title or open item
    ask where "$1"
    [ "$answer" != none ] || fail "no control \"$1\""
    local x y w h
    read -r x y w h <<<"$answer"
    cx=$((x + w / 2)) cy=$((y + h / 2))
}
choose() {  # MENU ITEM: opens the menu and chooses the item
    control_centre "$1"; click $cx $cy
    control_centre "$2"; click $cx $cy
    ask state
}

# start_program MUSIC SPEED: starts it and measures the way to the selection screen, without
# the logo's own wait: launch to the logo waiting, then the click that ends it to the settled
# selection screen. Sets startWall, startCpu, startX.
start_program() {
    settings_file "$1" "$2"
    open_hook_pipes "$state/hooks"
    local x0 t0 t1 t2 t3
    x0=$(cpu_ms "$xserver")
    t0=$(now_ms)
    # The classic window: 800 x 600 at the corner, drawn at 1x like the bare program beside it,
    # so table coordinates are screen coordinates.
    QUILLFEN_TEST_HOOKS=$state/hooks "$program" "${windowArgs[@]}" >"$state/log" 2>&1 7<&- 8<&- &
    pid=$!
    ask state
    geometry
    t1=$(now_ms)
    local window
    window=$(xdotool search --onlyvisible --name '^Quillfen Solitaire$' | head -n 1)
    xdotool windowfocus "$window" 2>/dev/null || true
    t2=$(now_ms)
    click 400 300
    ask state
    t3=$(now_ms)
    geometry
    startWall=$(( (t1 - t0) + (t3 - t2) ))
    startCpu=$(cpu_ms "$pid")
    startX=$(( $(cpu_ms "$xserver") - x0 ))
}
# A start from the command line straight into a deal, to the settled table (animation off).
game_start() {
    settings_file 0 2
    open_hook_pipes "$state/hooks"
    local x0 t0 t1
    x0=$(cpu_ms "$xserver")
    t0=$(now_ms)
    QUILLFEN_TEST_HOOKS=$state/hooks "$program" "${windowArgs[@]}" --game Klondike --deal 1 >"$state/log" 2>&1 7<&- 8<&- &
    pid=$!
    until_state game 12 "Klondike did not start from the command line"
    t1=$(now_ms)
    gameStartWall=$((t1 - t0)) gameStartCpu=$(cpu_ms "$pid") gameStartX=$(( $(cpu_ms "$xserver") - x0 ))
}
stop_program() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    exec 7<&- 8<&-
}
# enter_klondike: from the selection screen into a dealt Klondike table.
enter_klondike() {
    geometry
    click 671 225
    until_state game 12 "Klondike did not start"
}
# new_deal: "New Game" from the menu; sets dealWall, dealCpu, dealX for the click to the
# settled table, and dealBusy: the program's own time from taking the click to waiting again
# (the hooks' longest stretch between two waits), free of xdotool's pause after the click.
new_deal() {
    control_centre "&Game"; click $cx $cy
    control_centre "&New Game"
    local c0 x0 t0 t1
    ask busy
    c0=$(cpu_ms "$pid"); x0=$(cpu_ms "$xserver"); t0=$(now_ms)
    click $cx $cy
    ask state
    t1=$(now_ms)
    dealWall=$((t1 - t0)); dealCpu=$(( $(cpu_ms "$pid") - c0 )); dealX=$(( $(cpu_ms "$xserver") - x0 ))
    ask busy
    read -r _ dealBusy _ <<<"$answer"
}
# drag STEPS: picks up pile 0's face-up card and drags it STEPS steps of (3, 2) pixels, one
# every 10 ms from one xdotool process (each step is its own present), then puts it back.
# Sets dragWall (the last move to the settled table), dragCpu, dragX over the moves.
drag() {
    local x y moves=() c0 x0 t0 t1 step
    x=$(wx 255) y=$(wy 200)
    xdotool mousemove $x $y mousedown 1
    ask state
    for ((step = 1; step <= $1; step++)); do moves+=(mousemove $((x + 3 * step * tableW / 800)) $((y + 2 * step * tableH / 600)) sleep 0.01); done
    c0=$(cpu_ms "$pid"); x0=$(cpu_ms "$xserver")
    xdotool "${moves[@]:0:${#moves[@]}-2}"
    t0=$(now_ms)
    ask state
    t1=$(now_ms)
    dragWall=$((t1 - t0)); dragCpu=$(( $(cpu_ms "$pid") - c0 )); dragX=$(( $(cpu_ms "$xserver") - x0 ))
    xdotool mousemove $x $y mouseup 1
    ask state
}
# burst_moves X Y COUNT: the pointer moves of one burst from (X, Y), in $moves.
burst_moves() {
    local step
    moves=()
    for ((step = 1; step <= $3; step++)); do moves+=(mousemove $(($1 + step % 100 * 3 * tableW / 800)) $(($2 + step % 100 * 2 * tableH / 600))); done
}
# xdotool_bursts COUNT: the same ten bursts with no program on the screen. xdotool asks the X
# server where the pointer is between its moves, so a burst costs the server 5-30 ms of its own,
# varying from run to run, whoever receives the moves: the X figure of the queued moves is mostly
# xdotool's. Sets xdoX (per burst, microseconds).
xdotool_bursts() {
    local moves x0 burst tableW=$((800 * bareScale)) tableH=$((600 * bareScale))
    burst_moves 400 300 "$1"
    x0=$(cpu_us "$xserver")
    for burst in 1 2 3 4 5 6 7 8 9 10; do xdotool "${moves[@]}"; done
    xdoX=$(( ($(cpu_us "$xserver") - x0) / 10 ))
}
# queued_moves COUNT: with pile 0's card picked up, sends COUNT pointer moves at once from one
# xdotool process, ten times; the program takes them a display frame apart, merging those that
# wait. Sets queueWall (one xdotool start to the settled table), queueCpu and queueX (per burst,
# in microseconds, from the scheduler's count of every thread's time: a burst costs less than the
# 10 ms tick of /proc/<pid>/stat), and queueTaken: the moves the program acted on per burst.
# With a second argument, "waiting", the program is stopped while xdotool sends, so the whole
# burst waits for it at once; every other burst then ends one move short, so each burst carries
# the card away from where the last one left it (150 x 100 table pixels and more).
queued_moves() {
    local x y moves c0 x0 t0 t1 burst taken0 short
    x=$(wx 255) y=$(wy 200)
    xdotool mousemove $x $y mousedown 1
    ask state
    # The count is of live threads: the sound output, idle for three seconds, closes first.
    sleep 4
    burst_moves $x $y "$1"
    ask moves; read -r _ taken0 <<<"$answer"
    c0=$(cpu_us "$pid"); x0=$(cpu_us "$xserver"); t0=$(now_ms)
    for burst in 1 2 3 4 5 6 7 8 9 10; do
        if [ "${2:-}" = waiting ]; then
            short=$((burst % 2 * 3))
            kill -STOP "$pid"
            xdotool "${moves[@]:0:${#moves[@]}-short}"
            kill -CONT "$pid"
        else
            xdotool "${moves[@]}"
        fi
        ask state
    done
    t1=$(now_ms)
    queueWall=$(( (t1 - t0) / 10 )); queueCpu=$(( ($(cpu_us "$pid") - c0) / 10 )); queueX=$(( ($(cpu_us "$xserver") - x0) / 10 ))
    ask moves; queueTaken=$(ratio "$((${answer#moves } - taken0))" 10)
    xdotool mousemove $x $y mouseup 1
    ask state
}
# steps COUNT: with pile 0's card picked up, drags it COUNT steps of (3, 2) table pixels, each
# alone in its frame (20 ms apart, the idle table's ticks included): what one drag step costs,
# the unit a burst of queued moves is counted in. Sets stepCpu and stepX (per step, microseconds).
steps() {
    local x y moves=() c0 x0 step
    x=$(wx 255) y=$(wy 200)
    xdotool mousemove $x $y mousedown 1
    ask state
    sleep 4
    for ((step = 1; step <= $1; step++)); do moves+=(mousemove $((x + 3 * step * tableW / 800)) $((y + 2 * step * tableH / 600)) sleep 0.02); done
    c0=$(cpu_us "$pid"); x0=$(cpu_us "$xserver")
    xdotool "${moves[@]}"
    ask state
    stepCpu=$(( ($(cpu_us "$pid") - c0) / $1 )); stepX=$(( ($(cpu_us "$xserver") - x0) / $1 ))
    xdotool mousemove $x $y mouseup 1
    ask state
}
# jumps COUNT: with pile 0's card picked up, moves the pointer COUNT times between its place and
# 150 x 100 table pixels away, each move alone in its frame: what one move acted on in a burst
# costs, the card crossing about as far (the idle table's own ticks over the 30 ms waits add about
# 0.08 ms). Sets jumpCpu and jumpX (per move, in microseconds).
jumps() {
    local x y farX farY c0 x0 jump
    x=$(wx 255) y=$(wy 200) farX=$(wx 405) farY=$(wy 300)
    xdotool mousemove $x $y mousedown 1
    ask state
    sleep 4
    c0=$(cpu_us "$pid"); x0=$(cpu_us "$xserver")
    for ((jump = 0; jump < $1; jump += 2)); do xdotool mousemove $farX $farY sleep 0.03 mousemove $x $y sleep 0.03; done
    jumpCpu=$(( ($(cpu_us "$pid") - c0) / $1 )); jumpX=$(( ($(cpu_us "$xserver") - x0) / $1 ))
    xdotool mousemove $x $y mouseup 1
    ask state
}
# idle SECONDS: CPU per second of the program and the X server while nothing happens, from
# five seconds after the last input: the sound output closes after three seconds of silence.
# idle SECONDS: the program's and the X server's CPU as shares of the span (idleCpu, idleX), and
# the span and both CPU times in ms (idleMs, idleCpuMs, idleXMs).
idle() {
    local c0 x0 t0 t1
    sleep 5
    c0=$(cpu_ms "$pid"); x0=$(cpu_ms "$xserver"); t0=$(now_ms)
    sleep "$1"
    t1=$(now_ms)
    idleMs=$((t1 - t0)) idleCpuMs=$(( $(cpu_ms "$pid") - c0 )) idleXMs=$(( $(cpu_ms "$xserver") - x0 ))
    idleCpu=$(awk -v c=$idleCpuMs -v t=$idleMs 'BEGIN { printf "%.2f", 100 * c / t }')
    idleX=$(awk -v c=$idleXMs -v t=$idleMs 'BEGIN { printf "%.2f", 100 * c / t }')
}

# --- The bare program ---

bare_start() {
    coproc BARE { QUILLFEN_DATA_DIR="$build/data" exec "$bare" "$1"; }
    barePid=$BARE_PID
    local t0 t1 x0 line
    x0=$(cpu_ms "$xserver")
    t0=$(now_ms)
    read -r line <&"${BARE[0]}"
    t1=$(now_ms)
    [ "$line" = ready ] || fail "the bare program did not start"
    bareStartWall=$((t1 - t0)); bareStartCpu=$(cpu_ms "$barePid"); bareStartX=$(( $(cpu_ms "$xserver") - x0 ))
}
bare() {  # COMMAND VALUE: sets bareWall, bareCpu (its own getrusage), bareX, bareWords (the answer)
    local x0 line
    x0=$(cpu_ms "$xserver")
    echo "$1 $2" >&"${BARE[1]}"
    read -r line <&"${BARE[0]}"
    read -r -a bareWords <<<"$line"
    bareWall=${bareWords[1]%.*}; bareCpu=${bareWords[2]}; bareX=$(( $(cpu_ms "$xserver") - x0 ))
}
# bare_waiting_moves COUNT: the bursts of queued_moves COUNT waiting, for the bare program: sent
# over its window (the button held there) while it waits for its next command, then taken in as
# one. Sets bareWaitingCpu (its own CPU per burst, microseconds) and bareWaitingTaken (moves
# taken in per burst, to show they all arrived).
bare_waiting_moves() {
    local window WINDOW X Y WIDTH HEIGHT SCREEN x y burst short total=0 taken=0 tableW=$((800 * bareScale)) tableH=$((600 * bareScale))
    bareWaitingCpu=- bareWaitingTaken=-
    window=$(xdotool search --onlyvisible --name '^present$' | head -n 1)
    [ -n "$window" ] || return 0
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$((X + WIDTH / 4)) y=$((Y + HEIGHT / 4))
    xdotool mousemove $x $y mousedown 1
    bare moves 0
    burst_moves $x $y "$1"
    for burst in 1 2 3 4 5 6 7 8 9 10; do
        short=$((burst % 2 * 3))
        xdotool "${moves[@]:0:${#moves[@]}-short}"
        bare moves 0
        total=$(awk -v a="$total" -v b="$bareCpu" 'BEGIN { print a + b }')
        taken=$((taken + ${bareWords[3]:-0}))
    done
    xdotool mouseup 1
    bare moves 0
    bareWaitingCpu=$(awk -v t="$total" 'BEGIN { printf "%d", t * 100 }')
    bareWaitingTaken=$(ratio "$taken" 10)
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "-" }'; }
# wall_cpu_ratio WALL CPU X BAREWALL BARECPU BAREX: "wall r, CPU r" with CPU counting the X server.
wall_cpu_ratio() {
    echo "wall $(ratio "$1" "$4"), CPU $(ratio "$(($2 + $3))" "$(awk -v c="$5" -v x="$6" 'BEGIN { print int(c + x + 0.5) }')")"
}
rows=()
row() { rows+=("| $1 | $2 | $3 | $4 | $5 |"); }

# Bare reference first, while nothing else runs.
bare_start "$bareScale"
bare deal 0; bareDeal0=("$bareWall" "$bareCpu" "$bareX")
bare deal 1; bareDeal1=("$bareWall" "$bareCpu" "$bareX")
bare deal 2; bareDeal2=("$bareWall" "$bareCpu" "$bareX")
bare drag 100; bareDrag=("$bareWall" "$bareCpu" "$bareX")
bare idle 10000; bareIdle=$(awk -v c="$bareCpu" -v t="$bareWall" 'BEGIN { printf "%.2f", 100 * c / t }')
bareIdleX=$(awk -v c="$bareX" -v t="$bareWall" 'BEGIN { printf "%.2f", 100 * c / t }')
bareRss=$(kb "$barePid" VmRSS); bareHwm=$(kb "$barePid" VmHWM)
# Music played the plain way, after the memory readings (it loads the whole soundfont).
bare music 30000; bareMusic=-; bareMusicX=-
if [ "$bareCpu" != -1 ]; then
    bareMusic=$(awk -v c="$bareCpu" -v t="$bareWall" 'BEGIN { printf "%.2f", 100 * c / t }')
    bareMusicX=$(awk -v c="$bareX" -v t="$bareWall" 'BEGIN { printf "%.2f", 100 * c / t }')
fi
bare_waiting_moves 200
echo "quit 0" >&"${BARE[1]}"; wait "$barePid" 2>/dev/null || true; barePid=
xdotool_bursts 200

# Without music: start-up (the median of three starts by CPU; one start alone varies by half),
# the deal at each speed, idle at the table.
starts=()
for round in 1 2 3; do
    ((round == 1)) || stop_program
    start_program 0 0
    starts+=("$startCpu $startWall $startX")
done
echo "starts (CPU ms, wall ms, X ms): ${starts[*]}"
read -r startCpu startWall startX <<<"$(printf '%s\n' "${starts[@]}" | sort -n | sed -n 2p)"
row "start to selection screen (wall, logo's wait excluded; median of three)" "$startWall ms" "CPU $startCpu ms + X $startX ms" \
    "$bareStartWall ms, CPU $bareStartCpu ms + X $bareStartX ms" \
    "$(wall_cpu_ratio "$startWall" "$startCpu" "$startX" "$bareStartWall" "$bareStartCpu" "$bareStartX")"
enter_klondike
memory=$(kb "$pid" VmRSS)
row "memory at the table after start-up, no music (VmRSS)" "$((memory / 1024)) MB" "-" "-" "-"
speeds=(Normal Fast Off)
items=("Animation &Normal" "Animation Fas&t" "Animation &Off")
for speed in 0 1 2; do
    choose "&Options" "${items[speed]}"
    new_deal
    eval "b=(\"\${bareDeal$speed[@]}\")"
    # Without animation the deal is one stretch of work: its length is the program's own wall time.
    own=
    ((speed == 2)) && own=" (its own $dealBusy ms)"
    row "Klondike deal, ${speeds[speed]} (click to settled table, sound on)" "$dealWall ms$own" \
        "CPU $dealCpu ms + X $dealX ms" "${b[0]} ms, CPU ${b[1]} ms + X ${b[2]} ms" \
        "$(wall_cpu_ratio "$dealWall" "$dealCpu" "$dealX" "${b[0]}" "${b[1]}" "${b[2]}")"
done
choose "&Options" "Animation &Normal"
drag 100
row "100-step drag of one card, 10 ms apart (CPU over the moves; wall: last move to settled)" "$dragWall ms" \
    "CPU $dragCpu ms + X $dragX ms" "CPU ${bareDrag[1]} ms + X ${bareDrag[2]} ms" \
    "CPU $(ratio "$((dragCpu + dragX))" "$(awk -v c="${bareDrag[1]}" -v x="${bareDrag[2]}" 'BEGIN { print int(c + x + 0.5) }')")"
steps 100
row "one drag step of (3, 2) table pixels, alone in its frame (per step)" "-" "CPU $stepCpu us + X $stepX us" "-" "-"
queued_moves 200
row "200 queued mouse moves during a drag, per burst of ten (xdotool start to settled table; moves acted on)" \
    "$queueWall ms, $queueTaken moves" "CPU $queueCpu us + X $queueX us" "no program: X $xdoX us (xdotool's own)" \
    "$(ratio "$queueCpu" "$stepCpu") drag steps' worth"
queueCpuArriving=$queueCpu
queued_moves 200 waiting
row "200 mouse moves all waiting at once (sent while the program was stopped), per burst of ten (moves acted on; bare: taken in, one card move presented)" \
    "$queueTaken moves" "CPU $queueCpu us + X $queueX us" "CPU $bareWaitingCpu us, $bareWaitingTaken moves taken in" \
    "$(ratio "$queueCpu" "$stepCpu") drag steps' worth; CPU $(ratio "$queueCpu" "$bareWaitingCpu")"
jumps 40
row "one move carrying the card 150 x 100 table pixels, alone in its frame (per move)" "-" \
    "CPU $jumpCpu us + X $jumpX us" "-" "the bursts above: $(ratio "$queueCpuArriving" "$jumpCpu"); $(ratio "$queueCpu" "$jumpCpu") moves' worth"
idle 30
row "idle at the table, no music (CPU per second)" "-" "$idleCpu% + X $idleX%" "$bareIdle% + X $bareIdleX%" \
    "$(ratio "$idleCpu" "$bareIdle")"
stop_program

game_start
row "\`--game Klondike --deal 1\` to a dealt table (animation off)" "$gameStartWall ms" \
    "CPU $gameStartCpu ms + X $gameStartX ms" "-" "-"
stop_program

# Without a sound device (SDL's dummy driver: the program runs silent): the idle cost that is
# not the audio thread's.
SDL_AUDIODRIVER=dummy start_program 0 0
enter_klondike
idle 30
row "idle at the table, no sound device (CPU per second)" "-" "$idleCpu% + X $idleX%" "$bareIdle% + X $bareIdleX%" \
    "$(ratio "$idleCpu" "$bareIdle")"
stop_program

# With music: idle, memory, and the soak. The program picks its first song at random and the
# songs cost differently, so idle is taken over three starts, ten seconds each (about three of
# the six songs, as the bare program plays all six).
musicMs=0 musicCpuMs=0 musicXMs=0
for round in 1 2 3; do
    [ "$round" = 1 ] || stop_program
    start_program 1 0
    enter_klondike
    sleep 2
    idle 10
    musicMs=$((musicMs + idleMs)) musicCpuMs=$((musicCpuMs + idleCpuMs)) musicXMs=$((musicXMs + idleXMs))
done
idleCpu=$(awk -v c=$musicCpuMs -v t=$musicMs 'BEGIN { printf "%.2f", 100 * c / t }')
idleX=$(awk -v c=$musicXMs -v t=$musicMs 'BEGIN { printf "%.2f", 100 * c / t }')
row "idle at the table, music on (CPU per second, three starts; bare: silent, then playing the six game songs plainly)" "-" \
    "$idleCpu% + X $idleX%" "$bareIdle% + X $bareIdleX%; $bareMusic% + X $bareMusicX%" \
    "$(ratio "$idleCpu" "$bareIdle"); $(ratio "$idleCpu" "$bareMusic")"
rss=$(kb "$pid" VmRSS); hwm=$(kb "$pid" VmHWM)
glKb=$(awk '/libGLX_mesa|swrast|libgallium|mesa_dri|_dri\.so|libLLVM/ { rss = 1; next } rss && /^Rss:/ { sum += $2; rss = 0 } /^[0-9a-f]+-/ { rss = 0 } END { print sum + 0 }' "/proc/$pid/smaps")
row "memory at the table, music on: peak (VmHWM)" "$((hwm / 1024)) MB" "-" "$((bareHwm / 1024)) MB" "$(ratio "$hwm" "$bareHwm")"
row "memory at the table, music on: settled (VmRSS)" "$((rss / 1024)) MB (GL driver code $((glKb / 1024)) MB)" "-" \
    "$((bareRss / 1024)) MB" "$(ratio "$rss" "$bareRss")"
choose "&Options" "Animation &Off"
for _ in 1 2 3; do new_deal; done
before=$(kb "$pid" VmRSS)
for ((deal = 0; deal < soakDeals; deal++)); do new_deal; done
after=$(kb "$pid" VmRSS)
row "memory over $soakDeals more deals (VmRSS before -> after)" "$((before / 1024)) -> $((after / 1024)) MB" \
    "growth $((after - before)) kB" "-" "-"
stop_program

echo "Screen ${BENCH_SCREEN:-1024x768, the classic 800 x 600 window}; the table drawn at device scale $scale (the bare program at $bareScale)."
echo
echo "| measure | program | CPU (program + X server) | bare SDL program | ratio to bare |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
