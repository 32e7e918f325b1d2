#!/usr/bin/env bash
# Runs fuzz targets: run.sh <fuzz build dir> <generated data dir> <seconds each> [target ...].
# QUILLFEN_FUZZ_MAX_LEN caps the input size (default 256 KiB).
# Without targets every one runs in turn. Each target starts from the generated files of its kind
# (and from real records and settings files the target writes itself, for the kinds the data
# folder has none of), so it explores from real inputs. Prints the executions each survived.
set -euo pipefail
build=$1 data=$2 seconds=${3:-5}
shift $(( $# < 3 ? $# : 3 ))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The undo target deals with the real card pictures.
export QUILLFEN_DATA_DIR=$(cd "$data" 2>/dev/null && pwd || echo "$data")

declare -A patterns=(
    [fuzz_bmp]='*.bmp' [fuzz_jpeg]='*.jpg' [fuzz_spr]='*.spr' [fuzz_fgf]='*.fgf' [fuzz_scaled]='*@[23]x.*' [fuzz_cur]='*.cur'
    [fuzz_deck]='' [fuzz_settings_file]='' [fuzz_wav]='*.wav' [fuzz_midi]='*.mid' [fuzz_help]='HELP.TXT'
    [fuzz_undo]='' [fuzz_saved_game]=''
)
order=(fuzz_bmp fuzz_jpeg fuzz_spr fuzz_fgf fuzz_scaled fuzz_cur fuzz_deck fuzz_settings_file fuzz_wav fuzz_midi fuzz_help
       fuzz_undo fuzz_saved_game)

run() {
    local target=$1 pattern=${patterns[$1]:-}
    local corpus="$work/$target"
    mkdir -p "$corpus"
    if [ -n "$pattern" ] && [ -d "$data" ]; then
        find "$data" -type f -iname "$pattern" -size -512k -exec cp {} "$corpus/" \; 2>/dev/null || true
    fi
    echo "== $target ($(ls "$corpus" | wc -l) seed files, ${seconds}s)"
    # Targets that can make their own seeds write them into the corpus before reading it.
    QUILLFEN_FUZZ_SEEDS="$corpus" "$build/tests/fuzz/$target" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -max_len="${QUILLFEN_FUZZ_MAX_LEN:-262144}" \
        -timeout=10 -print_final_stats=1 "$corpus" 2>"$work/$target.log" || {
        tail -n 60 "$work/$target.log"
        exit 1
    }
    grep -E 'stat::number_of_executed_units' "$work/$target.log" || true
}

if [ $# -eq 0 ]; then set -- "${order[@]}"; fi
for target in "$@"; do run "$target"; done
