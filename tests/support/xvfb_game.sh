# Shared by the shell tests that run the real game in a real X window under Xvfb. Source it,
# call game_folder, then run_in_xvfb with a drive script that sources it too.

# game_folder GAME DATA_DIR: a fresh folder in $work holding the game and its sounds. The
# game treats the folder that holds it as its own, so its saves land in $work/Data.
game_folder() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$1" "$work/glimmerfrost"
    mkdir -p "$work/Data"
    cp "$2"/*.ogg "$work/Data/" 2>/dev/null || true
}

# run_in_xvfb SECONDS SCRIPT ARGS...: the script on a fresh X server, ended after SECONDS;
# on failure the game's own output is shown.
run_in_xvfb() {
    local seconds=$1
    shift
    if ! timeout "$seconds" xvfb-run -a -s '-screen 0 1280x1024x24' "$@"; then
        cat "$work/out.txt" >&2 2>/dev/null || true
        return 1
    fi
}

# Inside the X server: starts the game and finds its window, in $pid and $win.
start_game() {
    ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null} "$work/glimmerfrost" >"$work/out.txt" 2>&1 &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name 'Glimmerfrost 3D' | head -n 1)
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
}

game_alive() { kill -0 "$pid" 2>/dev/null; }
game_gone() { ! game_alive; }

# until_true SECONDS COMMAND...: polls the command every 0.1 s; false if it never held.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
    return 0
}

# step WHAT SECONDS PREDICATE: ends the drive script when the screen never comes.
step() {
    local what=$1
    shift
    until_true "$@" || { echo "never reached: $what" >&2; exit 1; }
}

# CPU ticks the game has used so far.
game_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

# A fingerprint of everything on the X screen.
screen_print() { xwd -root -silent | md5sum; }

# True once the game has gone a whole second drawing nothing and using at most a tenth of a
# core: it is waiting. On a busy machine a game that still ran could be starved of CPU, but
# it would still have drawn a frame in that second, and snow moves in every frame; the
# sanitizer build's idle loop, on the other hand, can take a few ticks a second.
# The last look is kept in $idle_seen, for the message when the game never went idle.
game_idle() {
    local a s ticks still=no
    a=$(game_ticks)
    s=$(screen_print)
    sleep 1
    ticks=$(($(game_ticks) - a))
    [[ "$(screen_print)" == "$s" ]] && still=yes
    idle_seen="$ticks ticks in a second, screen still: $still"
    ((ticks <= $(getconf CLK_TCK) / 10)) && [[ $still == yes ]]
}

# expect_saves DIR: both saved files are there, 4 bytes each.
expect_saves() {
    local f size
    for f in hiscore.dat anaglyph3d.dat; do
        size=$(stat -c %s "$1/$f" 2>/dev/null || echo missing)
        if [[ "$size" != 4 ]]; then
            echo "$f: expected 4 bytes, got $size" >&2
            return 1
        fi
    done
}

# screen X0 Y0 X1 Y1: the probe's reading of that part of the game's 640 x 480 screen
# ("mean R G B", "most_red_over_blue N"); GF_SCREEN_PROBE names the probe program.
screen() { xwd -root -silent 2>>"$work/probe.txt" | "$GF_SCREEN_PROBE" "$@" 2>>"$work/probe.txt"; }

# One figure of the probe's reading (field FIELD of the line starting with NAME): empty when
# the screen could not be read.
figure() {
    local name=$1 field=$2
    shift 2
    screen "$@" | awk -v n="$name" -v f="$field" '$1 == n {print $f}'
}

# The screens told apart by what they show: the lit snow of the intro and of a round; the
# dimmed title and pause menus; and the pause menu's "Quit This Game", longer than the
# title's "Exit Game", reaching into x 385..400.
ground_lit() {
    local b
    b=$(figure mean 4 0 400 640 480)
    [[ -n "$b" ]] && ((b > 115))
}
pause_menu_shown() {
    local m
    m=$(figure most_red_over_blue 2 385 410 400 432)
    [[ -n "$m" ]] && ((m > 30))
}
title_shown() {
    local b m
    b=$(figure mean 4 0 400 640 480)
    m=$(figure most_red_over_blue 2 385 410 400 432)
    [[ -n "$b" && -n "$m" ]] && ((b <= 115 && m <= 30))
}

# press_until KEY SECONDS PREDICATE: presses KEY in the game's window until PREDICATE holds.
press_until() {
    local key=$1 deadline=$((SECONDS + $2))
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        xdotool key --window "$win" "$key"
        until_true 1 "$@" && return 0
    done
    return 0  # an until loop ends with its body's last status, not its condition's
}
