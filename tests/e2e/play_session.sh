#!/usr/bin/env bash
# A short session of the real game in a real X window, driven by synthetic input: skip the
# intro, start a round, steer, pause, resume, go back to the title and quit. Each step waits
# for the screen it leads to. The best score on disk must be the one the game started with
# (no gift is reached this early), written back as 4 bytes. Screenshots of the way land in
# SHOT_DIR when given.
# Usage: play_session.sh GAME_EXECUTABLE DATA_DIR SCREEN_PROBE [SHOT_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb_game.sh"
game_folder "$1" "$2"
export GF_SCREEN_PROBE=$3
shots=${4:-}
printf '\xd2\x04\x00\x00' >"$work/Data/hiscore.dat"  # a best score of 1234
[[ -n "$shots" ]] && mkdir -p "$shots"

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
shots=$3
source "$2"
shot() { [[ -z "$shots" ]] || xwd -root -silent >"$shots/$1.xwd"; }
start_game
step "the intro" 30 ground_lit
shot 1-intro
press_until space 30 title_shown || { echo "the intro could not be skipped" >&2; exit 1; }
shot 2-title
xdotool click 1  # the pointer starts on "Start Game"
step "a round" 10 ground_lit
# Held keys steer: the sleigh climbs while Up is down and dives while Down is down. The
# presents and warpers it meets are far to the right this early.
sleigh_y() { figure red_centre_y 2 40 40 240 330; }
above() { local y; y=$(sleigh_y); [[ -n "$y" ]] && ((y >= 0 && y < $1)); }
step "the sleigh in view" 20 above 480
start_y=$(sleigh_y)
below() { local y; y=$(sleigh_y); [[ -n "$y" ]] && ((y > $1)); }
xdotool keydown Up
step "a climb on Up" 20 above $((start_y - 20))
xdotool keyup Up
high_y=$(sleigh_y)
xdotool keydown Down
step "a dive on Down" 20 below $((high_y + 20))
xdotool keyup Down
shot 3-round
xdotool key --window "$win" space
step "the pause menu" 10 pause_menu_shown
shot 4-pause
xdotool key --window "$win" space
step "the round again" 10 ground_lit
xdotool key --window "$win" Escape
step "the pause menu on Escape" 10 pause_menu_shown
xdotool key --window "$win" Escape
step "the title from the pause menu" 10 title_shown
shot 5-title-again
game_alive || { echo "the game ended before it was asked to quit" >&2; exit 1; }
xdotool key --window "$win" Escape
if ! until_true 10 game_gone; then
    echo "the game did not quit from the title" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/drive.sh"

run_in_xvfb 180 "$work/drive.sh" "$work" "$here/../support/xvfb_game.sh" "$shots"
best=$(od -An -t d4 -N 4 "$work/Data/hiscore.dat" | tr -d ' ')
size=$(stat -c %s "$work/Data/hiscore.dat")
if [[ "$size" != 4 || "$best" != 1234 ]]; then
    echo "Data/hiscore.dat: expected 4 bytes holding 1234, got $size bytes holding $best" >&2
    exit 1
fi
echo "a session was played, paused, resumed and left; the best score 1234 was kept"
