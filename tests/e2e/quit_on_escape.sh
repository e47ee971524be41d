#!/usr/bin/env bash
# The real game in a real X window: it starts, skips the intro and quits on Escape, and
# leaves both saved files.
# Usage: quit_on_escape.sh GAME_EXECUTABLE DATA_DIR
set -euo pipefail
game=$1
data=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The game's folder is the one that holds it: give it a folder of its own.
cp "$game" "$work/glimmerfrost"
mkdir -p "$work/Data"
cp "$data"/*.ogg "$work/Data/" 2>/dev/null || true

cat > "$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
ALSOFT_DRIVERS=null "$work/glimmerfrost" >"$work/out.txt" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name 'Glimmerfrost 3D' | head -n 1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
# The first Escape skips the logo intro, a later one quits from the title menu. Keys
# pressed before the intro looks are taken together, so keep pressing until it is gone.
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

if ! timeout 60 xvfb-run -a -s '-screen 0 1280x1024x24' "$work/drive.sh" "$work"; then
    cat "$work/out.txt" >&2 || true
    exit 1
fi
for f in hiscore.dat anaglyph3d.dat; do
    size=$(stat -c %s "$work/Data/$f" 2>/dev/null || echo missing)
    if [[ "$size" != 4 ]]; then
        echo "Data/$f: expected 4 bytes, got $size" >&2
        exit 1
    fi
done
echo "the game started, quit on Escape and saved both files"
