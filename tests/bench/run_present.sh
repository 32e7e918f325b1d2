#!/usr/bin/env bash
# Runs the present benchmark on a virtual X server of 3840 x 2160: run_present.sh <build dir>.
# Windows of 1, 2 and 3 times 800 x 600 with the frame drawn at 1x, then a 3x window with the
# frame drawn at 3x. The X server's pid is passed on so its CPU is counted beside ours.
set -euo pipefail
build=$1
data=${QUILLFEN_DATA_DIR:-$build/data}
work=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 3840x2160x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(cat "$work/display") SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy QUILLFEN_X_SERVER_PID=$server
export QUILLFEN_DATA_DIR=$data
for run in "1 1" "2 1" "3 1" "3 3"; do
    read -r scale device <<<"$run"
    echo "=== window ${scale}x, frame drawn at ${device}x"
    QUILLFEN_BENCH_SCALE=$scale QUILLFEN_BENCH_DEVICE_SCALE=$device "$build/tests/bench/bench_present" \
        --benchmark_report_aggregates_only=true "${@:2}"
done
