# shellcheck shell=bash disable=SC2034,SC2154  # names shared with game_window.sh
# The Wine and Xvfb session of game_window.sh: source it and call set_up_session, which
# makes $work, starts an X server and makes a Wine prefix for the player; the trap ends both.
# The player is the user running the test, or nobody (uid 65534) when that is root, since
# root may write any folder and Wine wants a prefix of the user's own.

screen_w=1024
screen_h=768
# The game's 640 x 480 picture, centred unscaled on the 1024 x 768 screen.
left=$(((screen_w - 640) / 2))
top=$(((screen_h - 480) / 2))

# OpenAL Soft's output: none, or an unknown one to have the game play silent and log it.
audio_drivers=null

ok() { echo "ok: $*"; }

fail() {
    echo "FAILED: $*" >&2
    if [[ -n "${pid:-}" ]] && kill -0 "$pid" 2>/dev/null; then
        echo "(the game was still running)" >&2
        if xwd -root -silent >"$work/screen.xwd" 2>/dev/null; then
            echo "the screen then: $(python3 "$here/game_screen.py" 0 0 640 480 <"$work/screen.xwd" | tr '\n' ' ')" >&2
            [[ -z "${shots:-}" ]] || python3 "$here/game_screen.py" png "$shots/failed.png" <"$work/screen.xwd"
        fi
    fi
    if [[ -n "${game_log:-}" ]]; then
        echo "--- ${game_log#"$work"/}:" >&2
        if [[ -s "$game_log" ]]; then
            cat "$game_log" >&2
        else
            echo "(empty or missing)" >&2
        fi
    fi
    if [[ -s "$work/wine.txt" ]]; then
        echo "--- Wine's output:" >&2
        cat "$work/wine.txt" >&2
    fi
    exit 1
}

clean_up() {
    stop_wine
    if [[ -n "${xvfb_pid:-}" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    chmod -R u+w "$work" 2>/dev/null || true  # the locked game folder
    rm -rf "$work" || true
}

# as_player COMMAND...: runs a command as the player, in the player's Wine prefix and X.
as_player() {
    "${drop[@]}" env HOME="$player_home" USER="$player_name" LOGNAME="$player_name" \
        WINEPREFIX="$player_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        ALSOFT_DRIVERS="$audio_drivers" DISPLAY="$DISPLAY" "$@"
}

# Ends every Wine process of the prefix, the game's included.
stop_wine() {
    [[ -d "${player_prefix:-}" ]] || return 0
    as_player wineserver -k >/dev/null 2>&1 || true
    if [[ -n "${pid:-}" ]]; then
        wait "$pid" 2>/dev/null || true
        pid=
    fi
}

# until_true SECONDS COMMAND...: polls the command; false if it never held in time.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# step WHAT SECONDS PREDICATE...: fails the test when the screen or state never comes, or
# at once when the game ends on the way.
step() {
    local what=$1 seconds=$2
    shift 2
    until_true "$seconds" still_playing "$what" "$@" || fail "never reached within $seconds s: $what"
}

still_playing() {
    local what=$1 status=0
    shift
    if game_gone; then
        wait "$pid" || status=$?
        pid=
        fail "the game ended (status $status) before $what"
    fi
    "$@"
}

set_up_session() {
    work=$(mktemp -d)
    trap clean_up EXIT
    trap 'exit 1' INT TERM HUP
    trap 'fail "a command failed at line $LINENO"' ERR
    chmod 755 "$work"
    player_home=$work/player
    player_prefix=$player_home/prefix
    mkdir "$player_home"
    drop=()
    player_name=$(id -un)
    if [[ $(id -u) -eq 0 ]]; then
        drop=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        player_name=$(getent passwd 65534 | cut -d: -f1)
        chown 65534:65534 "$player_home"
    fi

    Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp -br \
        3>"$work/display" >"$work/xvfb.txt" 2>&1 &
    xvfb_pid=$!
    until_true 60 test -s "$work/display" || { cat "$work/xvfb.txt" >&2; fail "Xvfb did not start"; }
    DISPLAY=:$(head -n 1 "$work/display")
    export DISPLAY

    local made=$SECONDS
    if ! as_player timeout 600 sh -c 'wineboot -i && wineserver -w' >"$work/wine.txt" 2>&1; then
        fail "Wine could not make its prefix"
    fi
    ok "a Wine prefix for $player_name made in $((SECONDS - made)) s, on display $DISPLAY"
    : >"$work/wine.txt"
    xwd -root -silent >"$work/black.xwd"
}

# give_to_player DIR: a folder the player may write.
give_to_player() {
    [[ -z "${drop[*]}" ]] || chown -R 65534:65534 "$1"
}

# lock_for_player DIR: the game's folder and its Data, readable but not writable.
lock_for_player() {
    chmod -R go-w "$1"
    [[ -n "${drop[*]}" ]] || chmod a-w "$1" "$1/Data"
}

# The roaming application-data folder the game saves in when its own folder is locked.
app_data_dir() {
    echo "$player_prefix/drive_c/users/$player_name/AppData/Roaming/Glimmerfrost 3D"
}

# start_game DIR LOG: starts DIR's exe from another folder, as a desktop would, and finds
# its window; LOG is where its log should appear. Sets $pid, $win and $started.
start_game() {
    game_log=$2
    started=$(date +%s.%N)
    (cd / && as_player wine "$1/glimmerfrost.exe") >"$work/wine.txt" 2>&1 &
    pid=$!
    step "the game's window" 120 find_window
    xdotool windowfocus "$win" 2>/dev/null || true
}

find_window() {
    win=$(xdotool search --onlyvisible --name '^Glimmerfrost 3D$' 2>/dev/null | head -n 1)
    [[ -n "$win" ]]
}

game_alive() { kill -0 "$pid" 2>/dev/null; }
game_gone() { ! game_alive; }

# game_ends SECONDS: the game ends by itself in time, with status 0.
game_ends() {
    local status=0
    until_true "$1" game_gone || fail "the game did not end within $1 s of being asked to quit"
    wait "$pid" || status=$?
    pid=
    ((status == 0)) || fail "the game ended with status $status"
    # Wine's own processes linger a while after a game ends; the next start wants none.
    as_player wineserver -w
}

# Presses a key in the game's window, which has the focus.
press() {
    xdotool key "$1"
}

# click_entry N: clicks entry N (0 to 5) of the title or pause menu, 40 pixels apart from
# y 220 down.
click_entry() {
    xdotool mousemove $((left + 320)) $((top + 220 + 40 * $1))
    xdotool click 1
}

# look: takes the X screen, for the readings that follow.
look() {
    xwd -root -silent >"$work/look.xwd" 2>/dev/null
}

# reading NAME X0 Y0 X1 Y1: game_screen.py's line NAME, less the name, for that part of the
# game's screen in the last look; empty when the screen could not be read.
reading() {
    local name=$1
    shift
    python3 "$here/game_screen.py" "$@" <"$work/look.xwd" 2>/dev/null |
        awk -v n="$name" '$1 == n {$1 = ""; print substr($0, 2)}'
}

shot() {
    [[ -z "$shots" ]] || xwd -root -silent | python3 "$here/game_screen.py" png "$shots/$1.png"
}

# first_frame KEY: waits for the first frame that is not black, presses KEY at once (the
# intro is short), then checks that frame was the intro's. A screen byte for byte the last
# black one seen is skipped without reading it. Sets $first_frame_s.
first_frame() {
    local deadline=$((SECONDS + 180)) now lit ground
    cp "$work/black.xwd" "$work/dark.xwd"
    while :; do
        still_playing "its first frame" true
        ((SECONDS < deadline)) || fail "no frame drawn within 180 s of the start"
        now=$(date +%s.%N)
        look
        if ! cmp -s "$work/look.xwd" "$work/dark.xwd"; then
            lit=$(reading lit 0 0 640 480)
            [[ -n "$lit" ]] && ((lit > 0)) && break
            cp "$work/look.xwd" "$work/dark.xwd"
        fi
        sleep 0.1
    done
    press "$1"
    first_frame_s=$(awk -v a="$started" -v b="$now" 'BEGIN {printf "%.1f", b - a}')
    # The whole picture drawn, with the lit snow of the intro's ground below.
    ground=$(ground_blue)
    ((lit > 500 && ground > 115)) ||
        fail "the first frame was not the intro's ($lit per thousand lit, ground blue $ground)"
}

# The screens, told apart by what they show: the lit snow of the intro and of a round; the
# dimmed title and pause menus; and the pause menu's "Quit This Game", longer than the
# title's "Exit Game", reaching into x 385..400.
ground_blue() { reading mean 0 400 640 480 | cut -d' ' -f3; }
reaches_400() { reading most_red_over_blue 385 410 400 432; }
ground_lit() {
    local b
    look
    b=$(ground_blue)
    [[ -n "$b" ]] && ((b > 115))
}
pause_shown() {
    local m
    look
    m=$(reaches_400)
    [[ -n "$m" ]] && ((m > 30))
}
title_shown() {
    local b m
    look
    b=$(ground_blue)
    m=$(reaches_400)
    [[ -n "$b" && -n "$m" ]] && ((b > 40 && b <= 115 && m <= 30))
}

# The 3D mode R\B (one eye red, the other blue) all but takes the green out of the title's
# logo, which every other mode keeps; the dimmed ground tells the title from the intro.
# (Its snow is red, so the pause menu's test above does not hold in it.)
logo_colour() { look && reading mean 160 60 480 180; }
red_blue_title() {
    local r g b ground
    read -r r g b < <(logo_colour) || return 1
    ground=$(ground_blue)
    [[ -n "$ground" ]] && ((2 * g < r && 2 * g < b && ground <= 115))
}
# Each 3D mode tints the logo its own way: a click was taken once the tint moved away from
# $logo, which then holds the new tint.
logo_moved() {
    local now r g b r0 g0 b0
    now=$(logo_colour)
    read -r r0 g0 b0 <<<"$logo"
    read -r r g b <<<"$now" || return 1
    (((r - r0) ** 2 + (g - g0) ** 2 + (b - b0) ** 2 > 100)) || return 1
    logo=$now
}

# The sleigh's height, in $sleigh_y: the centre row of the strongly red pixels at the left.
sleigh_above() {
    look
    sleigh_y=$(reading red_centre_y 40 40 240 330)
    [[ -n "$sleigh_y" ]] && ((sleigh_y >= 0 && sleigh_y < $1))
}
sleigh_below() {
    look
    sleigh_y=$(reading red_centre_y 40 40 240 330)
    [[ -n "$sleigh_y" ]] && ((sleigh_y > $1))
}

# expect_saves DIR: both saved files are there, 4 bytes each, with the log beside them.
expect_saves() {
    local f size
    for f in hiscore.dat anaglyph3d.dat; do
        size=$(stat -c %s "$1/$f" 2>/dev/null || echo missing)
        [[ "$size" == 4 ]] || fail "${1#"$work"/}/$f: expected 4 bytes, got $size"
    done
    [[ -f "$1/glimmerfrost.log" ]] || fail "no glimmerfrost.log in ${1#"$work"/}"
}

# expect_no_temps DIR: no half-made save was left behind.
expect_no_temps() {
    local left
    left=$(find "$1" -name '.*.tmp-*')
    [[ -z "$left" ]] || fail "temporary files left behind: $left"
}

# A saved number: 4 bytes, little-endian.
saved_int() { od -An -t d4 -N 4 "$1" | tr -d ' '; }

# expect_saved_int FILE VALUE
expect_saved_int() {
    local got
    got=$(saved_int "$1")
    [[ "$got" == "$2" ]] || fail "${1#"$work"/}: expected $2, got $got"
}

show_log() {
    echo "--- ${1#"$work"/} ($(stat -c %s "$1") bytes):"
    cat "$1"
    echo "---"
}
