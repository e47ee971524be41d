#!/usr/bin/env bash
# Every way of having no display: nothing set, a display with no server behind it, and a
# driver named that cannot open. Each stops at once with one clear line and a non-zero
# status, and leaves the saved files as they were. A game that ran on unseen counts as a
# hang: the player would get no window and no word. Last, the error box on a display that
# cannot host the game must give way to SIGTERM and SIGINT.
# Usage: no_display.sh GAME_EXECUTABLE
set -uo pipefail
game=$1
here=$(cd "$(dirname "$0")" && pwd)

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
    out=$(cd "$work" && timeout 60 env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ALSOFT_DRIVERS=null \
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
# A display number no server holds: neither a lock file nor a socket.
free_display=99
while [[ -e /tmp/.X$free_display-lock || -e /tmp/.X11-unix/X$free_display ]]; do
    ((++free_display))
done
try "a display with no server" env DISPLAY=:$free_display
try "a named driver that cannot open" env -u DISPLAY SDL_VIDEODRIVER=x11

# With a display but a driver that cannot open, the error box comes up, and a stop signal
# must still end the game (status 1) and take the box with it: scripts have no one to click
# it away. SDL draws the box itself when the X server has a plain 12-point font, and hands it
# to zenity otherwise; both ways are tried, the first with a font made here, the second with
# a stand-in zenity that waits for ever.
mkdir -p "$work/bin" "$work/fonts"
font_name=-misc-boxtest-medium-r-normal--12-120-75-75-c-60-iso8859-1
{
    printf 'STARTFONT 2.1\nFONT %s\nSIZE 12 75 75\nFONTBOUNDINGBOX 6 12 0 -2\n' "$font_name"
    printf 'STARTPROPERTIES 4\nFONT_ASCENT 10\nFONT_DESCENT 2\n'
    printf 'CHARSET_REGISTRY "ISO8859"\nCHARSET_ENCODING "1"\nENDPROPERTIES\nCHARS 224\n'
    for code in $(seq 32 255); do
        printf 'STARTCHAR c%d\nENCODING %d\nSWIDTH 500 0\nDWIDTH 6 0\nBBX 6 12 0 -2\nBITMAP\n' \
            "$code" "$code"
        printf 'FC\n%.0s' 1
        printf '84\n%.0s' $(seq 1 10)
        printf 'FC\nENDCHAR\n'
    done
    printf 'ENDFONT\n'
} >"$work/fonts/boxtest.bdf"
printf '1\nboxtest.bdf %s\n' "$font_name" >"$work/fonts/fonts.dir"
cat >"$work/bin/zenity" <<'INNER'
#!/bin/sh
echo $$ >"$BOX_PID_FILE"
exec sleep 1000
INNER
cat >"$work/box.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
work=$1
sig=$2
what=$3
rm -f "$work/box.pid"
(cd "$work" && exec env -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" BOX_PID_FILE="$work/box.pid" \
    SDL_VIDEODRIVER=bogus ALSOFT_DRIVERS=null ./glimmerfrost >"$work/box.txt" 2>&1) &
pid=$!
box_window() {
    xwininfo -root -tree 2>/dev/null | grep -q '"Glimmerfrost 3D"'
}
# Up while its window is there or zenity's stand-in lives (its processes may take a moment
# to be reaped once killed).
box_up() {
    box_window || { [[ -s "$work/box.pid" ]] && ps -o stat= -p "$(cat "$work/box.pid")" | grep -qv Z; }
}
source "$4"  # until_true, game_alive and game_gone
box_or_end() { box_up || game_gone; }
until_true 60 box_or_end
# Both ways of showing the box are laid on here, so a game that ended without one failed.
if game_gone; then
    wait "$pid"
    echo "$what, SIG$sig: the game ended (status $?) before its error box came up" >&2
    exit 1
fi
if ! box_up; then
    echo "$what, SIG$sig: the game neither showed its box nor ended" >&2
    kill -KILL "$pid"
    exit 1
fi
kill -"$sig" "$pid"
if ! until_true 60 game_gone; then
    echo "$what, SIG$sig: the game kept its error box up" >&2
    kill -KILL "$pid"
    exit 1
fi
wait "$pid"
status=$?
box_gone() { ! box_up; }
left=0
until_true 20 box_gone || left=1
[[ $left -eq 1 && -s "$work/box.pid" ]] && kill "$(cat "$work/box.pid")" 2>/dev/null
if [[ $status -ne 1 || $left -ne 0 ]]; then
    echo "$what, SIG$sig: expected status 1 and no box left, got status $status, box left: $left" >&2
    exit 1
fi
echo "$what, SIG$sig: the game ended with status 1 and took its box along"
INNER
chmod +x "$work/bin/zenity" "$work/box.sh"
for sig in TERM INT; do
    for fonts in "$work/fonts/,built-ins" built-ins; do
        what="error box by SDL"
        [[ $fonts == built-ins ]] && what="error box by zenity"
        if ! timeout 150 xvfb-run -a -s "-screen 0 1024x768x24 -fp $fonts" \
            "$work/box.sh" "$work" "$sig" "$what" "$here/../support/xvfb_game.sh"; then
            cat "$work/box.txt" >&2 2>/dev/null
            failed=1
        fi
    done
done
exit $failed
