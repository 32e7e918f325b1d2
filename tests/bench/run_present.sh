#!/usr/bin/env bash
# Runs the present benchmark under a virtual X server: run_present.sh <build dir>.
set -euo pipefail
build=$1
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    "$build/tests/bench/bench_present" --benchmark_report_aggregates_only=true
