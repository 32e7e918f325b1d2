# The client side of the program's test hooks (shell/test_hooks.h), sourced by the scripts that
# drive the real program. The caller has opened the reply pipe as fd 7 and the request pipe as
# fd 8, keeps the program's process id in $pid and defines fail MESSAGE.
# HOOK_ANSWER_SECONDS and HOOK_STATE_SECONDS bound the waits (default 15 and 10).

tag=0
answer=
# ask COMMAND...: sends a request and sets $answer to the reply with the same tag.
ask() {
    tag=$((tag + 1))
    echo "$tag $*" >&8
    local line deadline=$((SECONDS + ${HOOK_ANSWER_SECONDS:-15}))
    while ((SECONDS < deadline)); do
        if read -r -t 1 -u 7 line; then
            if [[ $line == "$tag "* ]]; then
                answer=${line#"$tag "}
                return 0
            fi
        fi
        kill -0 "$pid" 2>/dev/null || fail "the program ended while asked: $*"
    done
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
# until_state NAME VALUE WHAT: polls the program's state until NAME has VALUE.
until_state() {
    local deadline=$((SECONDS + ${HOOK_STATE_SECONDS:-10}))
    while ((SECONDS < deadline)); do
        ask state
        [ "$(field "$1")" = "$2" ] && return 0
        sleep 0.05
    done
    fail "$3 (state: $answer)"
}
click() { xdotool mousemove "$1" "$2" click 1; }
