#!/usr/bin/env bash
# The short soak: two rounds by the random player, then its recorded input through the
# runner, whose trace must match the soak's frame for frame (so a soak failure can be
# replayed and looked at like any bug report).
# Usage: soak_short.sh SOAK RUNNER DATA_DIR
set -euo pipefail
soak=$1
replay=$2
data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$soak" --rounds 2 --seed 7 --clock-start 2500 --data "$data" \
    --trace "$work/soak.jsonl" --script-out "$work/input.txt"

mkdir -p "$work/game/Data"
cp "$data"/*.ogg "$work/game/Data/"
"$replay" --game-dir "$work/game" --clock-start 2500 --script "$work/input.txt" \
    --trace "$work/replay.jsonl" 2>"$work/replay.err"
if ! cmp -s "$work/soak.jsonl" "$work/replay.jsonl"; then
    echo "the runner's replay of the soak's input differs from the soak:" >&2
    diff "$work/soak.jsonl" "$work/replay.jsonl" | head -n 6 >&2
    exit 1
fi
echo "the runner replays the soak's $(wc -l <"$work/input.txt") input lines frame for frame" \
    "($(wc -l <"$work/soak.jsonl") frames)"
