#!/usr/bin/env bash
# The real game in a real X window with an audio driver that cannot open: it says so in
# one line, plays silent through the intro and the title, quits on Escape and saves.
# Usage: no_audio_device.sh GAME_EXECUTABLE DATA_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/xvfb_game.sh"
game_folder "$1" "$2"

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
source "$2"
ALSOFT_DRIVERS=nonexistent start_game
# The first Escape skips the intro, a later one quits from the title.
if ! press_until Escape 60 game_gone; then
    echo "the game did not quit on Escape" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/drive.sh"

if ! run_in_xvfb 60 "$work/drive.sh" "$work" "$here/../support/xvfb_game.sh"; then
    echo "the game failed without an audio device" >&2
    exit 1
fi
audio_lines=$(grep -c 'audio' "$work/out.txt" || true)
if [[ $audio_lines -ne 1 ]]; then
    echo "expected one line about the audio device, got $audio_lines:" >&2
    cat "$work/out.txt" >&2
    exit 1
fi
expect_saves "$work/Data"
echo "no audio device: '$(grep audio "$work/out.txt")'; played silent, quit and saved"
