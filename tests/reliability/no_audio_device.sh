#!/usr/bin/env bash
# The real game in a real X window with an audio driver that cannot open: it says so in
# one line, plays silent through the intro and the title, quits on Escape and saves.
# Usage: no_audio_device.sh GAME_EXECUTABLE DATA_DIR
set -euo pipefail
game=$1
data=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$game" "$work/glimmerfrost"
mkdir -p "$work/Data"
cp "$data"/*.ogg "$work/Data/"

cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
ALSOFT_DRIVERS=nonexistent "$work/glimmerfrost" >"$work/out.txt" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name 'Glimmerfrost 3D' | head -n 1)
xdotool windowfocus --sync "$win" 2>/dev/null || true
# The first Escape skips the intro, a later one quits from the title.
for _ in $(seq 1 60); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key --window "$win" Escape 2>/dev/null || true
    sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the game did not quit on Escape" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
INNER
chmod +x "$work/drive.sh"

if ! timeout 60 xvfb-run -a -s '-screen 0 1024x768x24' "$work/drive.sh" "$work"; then
    echo "the game failed without an audio device:" >&2
    cat "$work/out.txt" >&2 || true
    exit 1
fi
audio_lines=$(grep -c 'audio' "$work/out.txt" || true)
if [[ $audio_lines -ne 1 ]]; then
    echo "expected one line about the audio device, got $audio_lines:" >&2
    cat "$work/out.txt" >&2
    exit 1
fi
for f in hiscore.dat anaglyph3d.dat; do
    size=$(stat -c %s "$work/Data/$f" 2>/dev/null || echo missing)
    if [[ "$size" != 4 ]]; then
        echo "Data/$f: expected 4 bytes, got $size" >&2
        exit 1
    fi
done
echo "no audio device: '$(grep audio "$work/out.txt")'; played silent, quit and saved"
