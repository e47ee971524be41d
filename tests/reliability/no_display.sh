#!/usr/bin/env bash
# Every way of having no display: nothing set, a display with no server behind it, and a
# driver named that cannot open. Each stops at once with one clear line and a non-zero
# status, and leaves the saved files as they were. A game that ran on unseen counts as a
# hang: the player would get no window and no word.
# Usage: no_display.sh GAME_EXECUTABLE
set -uo pipefail
game=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$game" "$work/glimmerfrost"
mkdir -p "$work/Data"
printf '\x39\x30\x00\x00' >"$work/Data/hiscore.dat"
printf '\x02\x00\x00\x00' >"$work/Data/anaglyph3d.dat"
cp "$work/Data/hiscore.dat" "$work/best.before"

failed=0
try() {
    local what=$1
    shift
    local out status
    out=$(cd "$work" && timeout 15 env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ALSOFT_DRIVERS=null \
        "$@" ./glimmerfrost 2>&1)
    status=$?
    if [[ $status -eq 0 || $status -ge 124 ]]; then
        echo "$what: expected a clean failure, got status $status: $out" >&2
        failed=1
    elif ! grep -q 'display' <<<"$out"; then
        echo "$what: expected a line about the display, got: $out" >&2
        failed=1
    elif ! cmp -s "$work/Data/hiscore.dat" "$work/best.before"; then
        echo "$what: the best score was touched" >&2
        failed=1
    else
        echo "$what: $(grep 'display' <<<"$out") (status $status)"
    fi
}

try "no display set" env -u DISPLAY
try "a display with no server" env DISPLAY=:97
try "a named driver that cannot open" env -u DISPLAY SDL_VIDEODRIVER=x11
exit $failed
