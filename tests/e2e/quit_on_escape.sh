#!/usr/bin/env bash
# The real game in a real X window: it starts, skips the intro and quits on Escape, and
# leaves both saved files.
# Usage: quit_on_escape.sh GAME_EXECUTABLE DATA_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb_game.sh"
game_folder "$1" "$2"

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
source "$2"
start_game
# The first Escape skips the logo intro, a later one quits from the title menu. Keys
# pressed before the intro looks are taken together, so keep pressing until it is gone.
if ! press_until Escape 60 game_gone; then
    echo "the game did not quit on Escape" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/drive.sh"

run_in_xvfb 90 "$work/drive.sh" "$work" "$here/../support/xvfb_game.sh"
expect_saves "$work/Data"
echo "the game started, quit on Escape and saved both files"
