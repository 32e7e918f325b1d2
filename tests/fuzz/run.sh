#!/usr/bin/env bash
# Runs every fuzz target briefly: run.sh <fuzz build dir> <generated data dir> <seconds each>.
# Each target starts from the generated files of its kind, so it explores from real inputs.
set -euo pipefail
build=$1 data=$2 seconds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {
    local target=$1 pattern=$2
    local corpus="$work/$target"
    mkdir -p "$corpus"
    if [ -d "$data" ]; then
        find "$data" -type f -iname "$pattern" -size -512k -exec cp {} "$corpus/" \; 2>/dev/null || true
    fi
    echo "== $target ($(ls "$corpus" | wc -l) seeds, ${seconds}s)"
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=262144 \
        -print_final_stats=1 "$corpus" 2>"$work/$target.log" || { tail -n 60 "$work/$target.log"; exit 1; }
    grep -E 'stat::number_of_executed_units' "$work/$target.log" || true
}

run fuzz_bmp '*.bmp'
run fuzz_jpeg '*.jpg'
run fuzz_spr '*.spr'
run fuzz_fgf '*.fgf'
run fuzz_cur '*.cur'
run fuzz_deck '*.deck'
run fuzz_registry '*.reg'
run fuzz_wav '*.wav'
run fuzz_midi '*.mid'
run fuzz_help 'HELP.TXT'
