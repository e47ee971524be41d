#!/usr/bin/env bash
# A short session of the real game in a real X window, driven by synthetic input: skip the
# intro, start a round, steer, pause, resume, go back to the title and quit. The best score
# on disk must be the one the game started with (no gift is reached this early), written
# back as 4 bytes. Screenshots of the way land in SHOT_DIR when given.
# Usage: play_session.sh GAME_EXECUTABLE DATA_DIR [SHOT_DIR]
set -euo pipefail
game=$1
data=$2
shots=${3:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$game" "$work/glimmerfrost"
mkdir -p "$work/Data"
cp "$data"/*.ogg "$work/Data/" 2>/dev/null || true
printf '\xd2\x04\x00\x00' >"$work/Data/hiscore.dat"  # a best score of 1234
[[ -n "$shots" ]] && mkdir -p "$shots"

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
shots=$2
shot() { [[ -n "$shots" ]] && import -window root "$shots/$1.png" 2>/dev/null || true; }
alive() { kill -0 "$pid" 2>/dev/null; }
ALSOFT_DRIVERS=null "$work/glimmerfrost" >"$work/out.txt" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name 'Glimmerfrost 3D' | head -n 1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 3
shot 1-intro
xdotool key --window "$win" space   # skip the intro (it also ends by itself)
sleep 7
shot 2-title
xdotool click 1                     # the pointer starts on "Start Game"
sleep 2
xdotool keydown Up; sleep 0.6; xdotool keyup Up
xdotool keydown Down; sleep 0.6; xdotool keyup Down
shot 3-round
xdotool key --window "$win" space   # pause
sleep 1
shot 4-pause
xdotool key --window "$win" space   # resume
sleep 0.5
xdotool key --window "$win" Escape  # pause again
sleep 0.5
xdotool key --window "$win" Escape  # back to the title
sleep 1
shot 5-title-again
alive || { echo "the game ended before it was asked to quit" >&2; exit 1; }
xdotool key --window "$win" Escape  # quit
for _ in $(seq 1 100); do alive || break; sleep 0.1; done
if alive; then
    echo "the game did not quit from the title" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/drive.sh"

if ! timeout 90 xvfb-run -a -s '-screen 0 1280x1024x24' "$work/drive.sh" "$work" "$shots"; then
    cat "$work/out.txt" >&2 || true
    exit 1
fi
best=$(od -An -t d4 -N 4 "$work/Data/hiscore.dat" | tr -d ' ')
size=$(stat -c %s "$work/Data/hiscore.dat")
if [[ "$size" != 4 || "$best" != 1234 ]]; then
    echo "Data/hiscore.dat: expected 4 bytes holding 1234, got $size bytes holding $best" >&2
    exit 1
fi
echo "a session was played, paused, resumed and left; the best score 1234 was kept"
