#!/usr/bin/env bash
# An install into a staging root holds exactly the expected files, and the staged game,
# started from another working folder, finds its sounds and, as a player who may not
# write the installed Data, saves in ~/.local/share/glimmerfrost.
# Usage: install_layout.sh BUILD_DIR EXPECTED_FILES
set -euo pipefail
manifest=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root
DESTDIR=$root cmake --install "$1" --prefix /usr >"$work/install.log"
got=$(cd "$root" && find . \( -type f -o -type l \) | sed 's#^\.##' | LC_ALL=C sort)
if ! diff -u <(LC_ALL=C sort "$manifest") <(echo "$got") >&2; then
    echo "the install holds other files than expected (- expected, + installed)" >&2
    exit 1
fi

game=$root$(grep '/glimmerfrost$' "$manifest")
data=$(dirname "$root$(grep -m1 '/Data/.*\.ogg$' "$manifest")")
home=$work/home
mkdir -p "$home"
# Root may write anything, so root plays as nobody.
as_player=()
if [[ $(id -u) -ne 0 ]]; then
    chmod a-w "$data"
elif command -v setpriv >/dev/null; then
    chown 65534:65534 "$home"
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# Plays from / for a few seconds, then asks the game to close as a desktop would.
play() {
    local status=0
    (cd / && env -u XDG_DATA_HOME HOME="$home" SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null \
        timeout -k 10 5 "${as_player[@]}" "$1") >"$2" 2>&1 || status=$?
    if [[ $status -ne 124 ]]; then
        echo "$1 stopped by itself (status $status) instead of playing:" >&2
        cat "$2" >&2
        exit 1
    fi
}
# The staging root is not where the game was built to live: it finds Data by itself.
play "$game" "$work/staged.log"
if grep -q 'cannot read' "$work/staged.log"; then
    cat "$work/staged.log" >&2
    exit 1
fi
# That check can fail: alone in a folder, the game misses its sounds and says so.
mkdir "$work/alone"
cp "$game" "$work/alone/"
play "$work/alone/glimmerfrost" "$work/alone.log"
grep -q 'cannot read Data' "$work/alone.log" || { cat "$work/alone.log" >&2; exit 1; }

if [[ $(id -u) -eq 0 && ${#as_player[@]} -eq 0 ]]; then
    echo "file list and sounds checked; saves not: no setpriv to play as a player"
    exit 77
fi
for f in hiscore.dat anaglyph3d.dat; do
    size=$(stat -c %s "$home/.local/share/glimmerfrost/$f" 2>/dev/null || echo missing)
    if [[ "$size" != 4 ]]; then
        echo "~/.local/share/glimmerfrost/$f: expected 4 bytes, got $size" >&2
        exit 1
    fi
done
echo "every file installed; the staged game found its sounds and saved in ~/.local/share"
