# Requests to the program's test hooks (tests/hooks/test_hooks.h), sourced by the end-to-end scripts.
# Expects the request pipe open on fd 8 and the reply pipe on fd 7, the program's pid in $pid
# and a fail function that reports and exits. HOOK_ANSWER_SECONDS and HOOK_STATE_SECONDS bound
# the waits (default 30 and 10). An unanswered request prints the program's stacks (with gdb).

# open_hook_pipes DIR: makes the request and reply pipes in DIR and keeps both open read-write on
# fds 8 and 7 for the whole session, so neither side ever blocks in open(). The program is started
# with 7<&- 8<&-.
open_hook_pipes() {
    mkdir -p "$1"
    rm -f "$1/request" "$1/reply"
    mkfifo "$1/request" "$1/reply"
    exec 7<>"$1/reply" 8<>"$1/request"
}
# start_window_manager [LOG]: openbox on $DISPLAY, its pid in $wm, once it has taken the screen;
# false when it has not within 30 s. A window mapped before it has taken the screen stays
# unmanaged: undecorated, and never made full screen whatever its program asks. An openbox that
# ends at once (a server still settling) is started again, twice at most, and says why it ended.
start_window_manager() {
    local log=${1:-/dev/null} attempt
    for attempt in 1 2 3; do
        openbox --sm-disable >"$log" 2>&1 &
        wm=$!
        for _ in $(seq 1 600); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
            kill -0 "$wm" 2>/dev/null || break
            sleep 0.05
        done
        if kill -0 "$wm" 2>/dev/null; then
            echo "openbox did not take the screen within 30 s"
            kill "$wm" 2>/dev/null || true
            return 1
        fi
        echo "openbox ended (attempt $attempt):"
        [ "$log" = /dev/null ] || tail -n 5 "$log" | sed 's/^/    /'
        sleep 1
    done
    return 1
}

# ask COMMAND...: sends a request and sets $answer to the reply with the same tag.
tag=0
answer=
ask() {
    tag=$((tag + 1))
    echo "$tag $*" >&8
    local line deadline=$((SECONDS + ${HOOK_ANSWER_SECONDS:-30}))
    while ((SECONDS < deadline)); do
        if read -r -t 1 -u 7 line; then
            if [[ $line == "$tag "* ]]; then
                answer=${line#"$tag "}
                return 0
            fi
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            if declare -F ended >/dev/null; then ended "while asked: $*"; fi
            fail "the program ended while asked: $*"
        fi
    done
    # What the program was doing instead of answering, for the report.
    if command -v gdb >/dev/null; then
        gdb -p "$pid" -batch -ex "thread apply all bt 12" 2>/dev/null | grep -E '^(Thread|#)' | head -60 || true
    fi
    fail "no answer to: $*"
}
# field NAME: the word after NAME in $answer.
field() {
    local -a words
    read -r -a words <<<"$answer"
    for ((i = 0; i < ${#words[@]} - 1; i++)); do
        if [ "${words[i]}" = "$1" ]; then echo "${words[i + 1]}"; return; fi
    done
}
# until_answer REQUEST CHECK WHAT: asks REQUEST until CHECK (a command that looks at $answer)
# holds. Input sent with xdotool passes through the X server and may reach the program after a
# request written to the pipe just behind it, so what input changes is polled, never asked once.
until_answer() {
    local deadline=$((SECONDS + ${HOOK_STATE_SECONDS:-10}))
    while ((SECONDS < deadline)); do
        ask $1
        eval "$2" && return 0
        sleep 0.05
    done
    fail "$3 (answer: $answer)"
}
# settle_piles: waits until the cards lie still (two answers 0.2 s apart agree): the program
# answers between the frames of a deal's animation too, when the cards are still on their way.
settle_piles() {
    local last=
    for _ in $(seq 1 50); do
        ask piles
        [ "$answer" = "$last" ] && return 0
        last=$answer
        sleep 0.2
    done
}
# until_state NAME VALUE WHAT: polls the program's state until NAME has VALUE.
until_state() {
    local name=$1 value=$2
    until_answer state '[ "$(field "$name")" = "$value" ]' "$3"
}
click() { xdotool mousemove "$1" "$2" click 1; }
