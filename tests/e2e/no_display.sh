#!/usr/bin/env bash
# With no display the game stops with one clear line and a non-zero status.
set -uo pipefail
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$1" 2>&1)
status=$?
if [[ $status -eq 0 || $status -eq 124 || $status -ge 128 ]]; then
    echo "expected a clean failure, got status $status: $out" >&2
    exit 1
fi
if ! grep -q 'display' <<<"$out"; then
    echo "expected a message about the display, got: $out" >&2
    exit 1
fi
echo "no display: '$out' (status $status)"
