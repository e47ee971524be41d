#!/usr/bin/env bash
# The Windows zip's game under Wine in its own Xvfb, driven as a player would with xdotool.
# From a folder the player may write: the intro draws, Escape shows the title, "Start Game"
# starts a round that steers, Escape pauses, "Quit This Game" leads back to the title and
# Escape there quits; the game ends by itself with both saves and its log in Data. From a
# folder the player may not write: the saves land in the roaming application-data folder,
# and a second start reads the 3D mode back from there. Alt+F4, and a session that ends
# (logging off) under the game, save both files first. A start without OpenGL 3.3 says so
# in a message box.
# Usage: game_window.sh ZIP   (GF_GAME_SHOTS=DIR keeps a PNG of each screen reached)
set -Eeuo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zip=$(realpath "$1")
shots=${GF_GAME_SHOTS:-}
source "$here/game_wine.sh"

for tool in wine wineboot wineserver Xvfb xdotool xwd python3 unzip; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: no $tool" >&2
        exit 77
    fi
done
if [[ $(id -u) -eq 0 ]] && ! command -v setpriv >/dev/null; then
    echo "skipped: root needs setpriv to play as a player who may not write every folder" >&2
    exit 77
fi

set_up_session
[[ -z "$shots" ]] || mkdir -p "$shots"

# unpack NAME: the zip in a fresh folder; $game_dir is its one top folder, with the exe.
unpack() {
    mkdir "$work/$1"
    unzip -q "$zip" -d "$work/$1"
    game_dir=$(find "$work/$1" -mindepth 2 -maxdepth 2 -name glimmerfrost.exe -printf '%h\n')
    [[ $(wc -l <<<"$game_dir") == 1 && -n "$game_dir" ]] ||
        fail "the zip holds no single top folder with glimmerfrost.exe"
}

# --- A folder the player may write ---------------------------------------------------------
unpack normal
give_to_player "$game_dir"
data=$game_dir/Data
start_game "$game_dir" "$data/glimmerfrost.log"
first_frame Escape
ok "first frame after $first_frame_s s: the intro"
step "the title on Escape in the intro" 60 title_shown
shot 1-title
ok "Escape in the intro showed the title menu"

click_entry 0
step "a round after a click on Start Game" 60 ground_lit
shot 2-round
step "the sleigh in view" 60 sleigh_above 480
start_y=$sleigh_y
xdotool keydown Up
step "a climb while Up is held (from y $start_y)" 60 sleigh_above $((start_y - 20))
xdotool keyup Up
high_y=$sleigh_y
xdotool keydown Down
step "a dive while Down is held (from y $high_y)" 60 sleigh_below $((high_y + 20))
xdotool keyup Down
ok "Start Game began a round that steers: the sleigh went from y $start_y up to $high_y and down to $sleigh_y"

press Escape
step "the pause menu on Escape in the round" 60 pause_shown
shot 3-pause
ok "Escape in the round opened the pause menu"
click_entry 5
step "the title after a click on Quit This Game" 60 title_shown
ok "Quit This Game in the pause menu led back to the title"

press Escape
game_ends 60
ok "Escape on the title quit: the game ended by itself with status 0"
expect_saves "$data"
expect_no_temps "$data"
[[ ! -e "$(app_data_dir)" ]] || fail "the game folder was writable, yet the game made $(app_data_dir)"
ok "both saves (4 bytes each, best score $(saved_int "$data/hiscore.dat")) and glimmerfrost.log are in the game's Data"
show_log "$data/glimmerfrost.log"

# --- A folder the player may not write -----------------------------------------------------
# No sound output the game can open: it plays silent and says so in its log.
audio_drivers=none
unpack locked
lock_for_player "$game_dir"
saves=$(app_data_dir)
before=$(ls -lA --time-style=+%s.%N "$game_dir/Data")
start_game "$game_dir" "$saves/glimmerfrost.log"
first_frame Escape
ok "first frame after $first_frame_s s from the locked folder"
step "the title from the locked folder" 60 title_shown
# Four clicks step the 3D mode from Off through M\G, R\G and R\C to R\B, waiting for each.
logo=$(logo_colour)
off=$logo
for mode in 1 2 3 4; do
    click_entry 1
    step "3D mode $mode after a click on 3D Graphics" 60 logo_moved
done
step "the title in red and blue (3D mode R\\B)" 60 red_blue_title
shot 4-red-blue
ok "four clicks on 3D Graphics made the title red and blue: logo RGB $off became $logo"
press Escape
game_ends 60
expect_saves "$saves"
expect_saved_int "$saves/anaglyph3d.dat" 4
[[ "$(ls -lA --time-style=+%s.%N "$game_dir/Data")" == "$before" ]] ||
    fail "the game changed the locked Data folder"
grep -q 'playing silent' "$saves/glimmerfrost.log" ||
    fail "the log in $saves does not say the game played silent"
ok "the saves (3D mode 4) and the log went to ${saves#"$player_prefix"/}; the locked Data was left alone"
show_log "$saves/glimmerfrost.log"

start_game "$game_dir" "$saves/glimmerfrost.log"
first_frame Escape
ok "first frame after $first_frame_s s on the second start"
step "the title in red and blue on the second start" 60 red_blue_title
shot 5-red-blue-again
press Escape
game_ends 60
expect_saved_int "$saves/anaglyph3d.dat" 4
ok "the second start read the 3D mode back: its title was red and blue, and the save still holds 4"

# --- Alt+F4 ------------------------------------------------------------------------------
# Windows' own close: the game ends as after a click on its close button, saving first.
audio_drivers=null
unpack alt-f4
give_to_player "$game_dir"
start_game "$game_dir" "$game_dir/Data/glimmerfrost.log"
first_frame Escape
step "the title before Alt+F4" 60 title_shown
logo=$(logo_colour)
click_entry 1
step "3D mode 1 after a click on 3D Graphics" 60 logo_moved
xdotool key alt+F4
game_ends 60
expect_saves "$game_dir/Data"
expect_saved_int "$game_dir/Data/anaglyph3d.dat" 1
ok "Alt+F4 closed the game with status 0, and it saved the 3D mode it was given (1)"

# --- The session ends under the game -------------------------------------------------------
# Logging off or shutting down: Windows may end the game as soon as it has been told, so the
# saves must be written then, whatever screen it is on.
audio_drivers=null
unpack ending
give_to_player "$game_dir"
start_game "$game_dir" "$game_dir/Data/glimmerfrost.log"
first_frame Escape
step "the title before the session ends" 60 title_shown
as_player wineboot --end-session >>"$work/wine.txt" 2>&1 || true
until_true 60 game_gone || fail "the game outlived the end of the session by 60 s"
wait "$pid" || true
pid=
as_player wineserver -w
expect_saves "$game_dir/Data"
ok "the end of the session saved both files before the game was ended"
# --- A start that cannot go on -------------------------------------------------------------
# Mesa told to offer OpenGL 3.0 only: the game says why in a box of its own, logs it, and
# ends with status 1 once the player has closed the box.
audio_drivers=null
unpack no-gl
give_to_player "$game_dir"
(cd / && MESA_GL_VERSION_OVERRIDE=3.0 as_player wine "$game_dir/glimmerfrost.exe") \
    >"$work/wine.txt" 2>&1 &
pid=$!
box_size=
box_up() {
    find_window || return 1
    box_size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
    ((${box_size%x*} < 640))  # not the game's own window
}
step "a message box on a start without OpenGL 3.3" 120 box_up
grep -q 'no OpenGL 3.3' "$game_dir/Data/glimmerfrost.log" ||
    fail "the log does not say that OpenGL 3.3 is missing"
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key --window "$win" Return
until_true 60 game_gone || fail "the game outlived its closed message box by 60 s"
status=0
wait "$pid" || status=$?
pid=
((status == 1)) || fail "the game ended with status $status after its message box"
as_player wineserver -w
ok "without OpenGL 3.3 a message box ($box_size) said so, the log too, and the game ended with status 1 when it was closed"

echo "all checks passed in $SECONDS s"
