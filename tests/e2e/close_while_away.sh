#!/usr/bin/env bash
# A close request while the game is in the background: another window takes the focus, the
# game waits with everything standing still, and a SIGTERM (what a logout sends) must still
# end it at once, with both files saved.
# Usage: close_while_away.sh GAME_EXECUTABLE DATA_DIR SCREEN_PROBE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb_game.sh"
game_folder "$1" "$2"
export GF_SCREEN_PROBE=$3

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
source "$2"
start_game
step "the intro" 30 ground_lit
press_until space 30 title_shown || { echo "the intro could not be skipped" >&2; exit 1; }
xmessage -geometry +0+0 'Somebody else' &
other=$!
away=$(xdotool search --sync --onlyvisible --name xmessage | head -n 1)
xdotool windowfocus --sync "$away"
if ! until_true 20 game_idle; then
    echo "the game kept running after it lost the focus ($idle_seen)" >&2
    exit 1
fi
# Answering takes one wait of the event loop; ending takes the saves and, under the
# sanitizers, a leak scan, which a busy machine can stretch to many seconds.
kill -TERM "$pid"
if ! until_true 60 game_gone; then
    echo "the game ignored SIGTERM while in the background" >&2
    kill -KILL "$pid"
    exit 1
fi
status=0
wait "$pid" || status=$?
kill "$other" 2>/dev/null || true
if [[ $status != 0 ]]; then
    echo "the game ended with status $status" >&2
    exit 1
fi
INNER
chmod +x "$work/drive.sh"

run_in_xvfb 150 "$work/drive.sh" "$work" "$here/../support/xvfb_game.sh"
expect_saves "$work/Data"
echo "closed while in the background: the game ended at once and saved both files"
