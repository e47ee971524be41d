#!/usr/bin/env bash
# scripts/windows/package on a fake Windows build: a tiny real PE with the game's
# resources, a DLL, a desktop Data folder with saves in it and a library prefix. The zip
# must hold exactly the game's files under one folder, the same bytes on every run, and a
# failed run must leave the last good zip alone.
# Usage: package.sh SOURCE_DIR ICON_FILE   (77: the mingw-w64 toolchain is not installed)
set -euo pipefail
root=$1 icon=$2
host=x86_64-w64-mingw32
for tool in "$host-gcc" "$host-g++" "$host-windres" zip unzip; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool" >&2; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check MESSAGE COMMAND...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}
fails() { ! "$@"; }

version=$(sed -n 's/^project(glimmerfrost VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
top=glimmerfrost-$version
sounds=(LogoHit.ogg Present.ogg Warper.ogg WarpIn.ogg WarpOut.ogg Bomb.ogg Loose.ogg Chime.ogg
        intro.ogg play.ogg Win.ogg)
libraries=(SDL2:LICENSE.txt openal-soft:COPYING openal-soft:BSD-3Clause freetype:LICENSE.TXT
           freetype:FTL.TXT libpng:LICENSE zlib:LICENSE libogg:COPYING libvorbis:COPYING
           libepoxy:COPYING googletest:LICENSE mingw-w64:copyright)

# The Windows build: a program with the game's resources, and symbols to strip.
win=$work/win
mkdir -p "$win"
sed -e "s|@PROJECT_VERSION@|$version|" -e 's|@PROJECT_VERSION_[A-Z]*@|0|g' \
    -e "s|@GF_ICON_FILE@|$icon|" -e "s|@GF_MANIFEST_FILE@|$root/windows/glimmerfrost.manifest|" \
    "$root/windows/glimmerfrost.rc.in" >"$work/game.rc"
"$host-windres" "$work/game.rc" -O coff -o "$work/game.res"
echo 'int main(void) { return 0; }' >"$work/main.c"
"$host-gcc" -g -o "$win/glimmerfrost.exe" "$work/main.c" "$work/game.res"
exe_sum=$(sha256sum <"$win/glimmerfrost.exe")

# The desktop build's Data, as a player leaves it: saves, a log and a stray sound.
native=$work/native
mkdir -p "$native/Data"
for s in "${sounds[@]}"; do echo "$s" >"$native/Data/$s"; done
touch "$native/Data/"{hiscore.dat,anaglyph3d.dat,glimmerfrost.log,old-take.ogg}

prefix=$work/prefix
mkdir -p "$prefix/bin" "$prefix/share/glimmerfrost"
echo 'int alGetError(void) { return 0; }' >"$work/al.c"
"$host-gcc" -shared -o "$prefix/bin/OpenAL32.dll" "$work/al.c"
echo "OpenAL Soft from somewhere" >"$prefix/share/glimmerfrost/openal-source.txt"
for entry in "${libraries[@]}"; do
    mkdir -p "$prefix/share/licenses/${entry%%:*}"
    printf 'licence of %s\nsecond line\n' "$entry" >"$prefix/share/licenses/${entry/://}"
done

expected=$(
    for s in "${sounds[@]}"; do echo "$top/Data/$s"; done
    printf "$top/%s\n" OpenAL32.dll README.txt glimmerfrost.exe \
        licences/glimmerfrost/LICENSE.txt licences/lobster-font/copyright.txt \
        licences/SDL2/LICENSE.txt licences/openal-soft/COPYING.txt \
        licences/openal-soft/BSD-3Clause.txt licences/openal-soft/source.txt \
        licences/freetype/LICENSE.TXT licences/freetype/FTL.TXT licences/libpng/LICENSE.txt \
        licences/zlib/LICENSE.txt licences/libogg/COPYING.txt licences/libvorbis/COPYING.txt \
        licences/libepoxy/COPYING.txt licences/mingw-w64/copyright.txt
)
package() {
    SOURCE_DATE_EPOCH=1700000000 "$root/scripts/windows/package" "$win" "$native" "$prefix" \
        "$1" >"$work/out.txt" 2>&1
}

out=$work/dist/game.zip
package "$out" || { cat "$work/out.txt" >&2; exit 1; }
listing=$(unzip -Z1 "$out")
check "the zip holds other files than expected (- expected, + zipped)" \
    diff -u <(LC_ALL=C sort <<<"$expected") <(LC_ALL=C sort <<<"$listing")
check "the entries are not sorted" diff <(LC_ALL=C sort <<<"$listing") <(echo "$listing")
check "the time stamps are not SOURCE_DATE_EPOCH's" \
    test "$(TZ=UTC zipinfo -T "$out" "$top/README.txt" | awk '{print $7}')" = 20231114.221320

crlf_only() { ! unzip -p "$out" "$1" | grep -qv $'\r$'; }
check "README.txt has bare LFs" crlf_only "$top/README.txt"
check "a licence has bare LFs" crlf_only "$top/licences/libogg/COPYING.txt"
check "README.txt is not windows/README.txt" \
    cmp -s <(unzip -p "$out" "$top/README.txt" | tr -d '\r') <(tr -d '\r' <"$root/windows/README.txt")

unzip -q "$out" "$top/glimmerfrost.exe" -d "$work/unzipped"
check "the game in the zip keeps its symbols" \
    grep -q 'no symbols' <("$host-objdump" -t "$work/unzipped/$top/glimmerfrost.exe")
check "the build's own glimmerfrost.exe was changed" test "$(sha256sum <"$win/glimmerfrost.exe")" = "$exe_sum"

# Other mtimes, time zone and umask: the same bytes.
touch -d '2001-02-03 04:05:06' "$win/glimmerfrost.exe" "$native/Data/"*.ogg "$prefix/bin/"*
(umask 077 && TZ=America/New_York package "$work/again.zip") || { cat "$work/out.txt" >&2; exit 1; }
check "a second run gives another zip" cmp -s "$out" "$work/again.zip"

# A failed run: a clear message, the last good zip intact, nothing left beside it.
cp "$out" "$work/good.zip"
mv "$prefix/share/glimmerfrost/openal-source.txt" "$work/"
check "a missing openal-source.txt did not fail the package" fails package "$out"
check "the failure does not name openal-source.txt" grep -q 'openal-source.txt' "$work/out.txt"
mv "$work/openal-source.txt" "$prefix/share/glimmerfrost/"
check "the failed run changed the last zip" cmp -s "$out" "$work/good.zip"
check "the failed run left files beside the zip" test "$(ls -A "$work/dist")" = game.zip

# A game linked against the MinGW C++ runtime DLL would not start on a clean Windows.
echo '#include <string>
int main(int argc, char**) { return int(std::to_string(argc).size()); }' >"$work/dyn.cpp"
"$host-g++" -o "$win/glimmerfrost.exe" "$work/dyn.cpp" "$work/game.res"
check "a game that needs libstdc++-6.dll was packaged" fails package "$work/dyn.zip"
check "the refusal does not name the DLL" grep -q 'libstdc++-6.dll' "$work/out.txt"

if ((failures)); then
    echo "$failures checks failed" >&2
    exit 1
fi
echo "package: all checks passed"
