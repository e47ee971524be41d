#!/usr/bin/env bash
# The build cache (scripts/lib/cache.sh) and the browser libraries' key: a good entry is
# used again and never rebuilt; a damaged or half-written one is rebuilt, never used; the
# key follows every version and flag. Runs in a cache folder of its own, in seconds.
# Usage: tests/web/cache.sh
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/xdg"
. "$root/scripts/lib/cache.sh"

passed=0 failed=0
check() {  # check "what" COMMAND...
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $what"
    fi
}
same() { [[ "$1" == "$2" ]] || { echo "  expected '$2', got '$1'"; return 1; }; }
fails() { ! "$@"; }
quiet() { "$@" >/dev/null 2>&1; }
differ() { [[ "$1" != "$2" ]] || { echo "  both are '$1'"; return 1; }; }

# A stand-in for a library build: a library, a pkg-config file that names the folder it
# was installed in (as real ones do), a link, and a count of the builds made.
builds=0
make_libs() {
    local dir=$1
    mkdir -p "$dir/lib/pkgconfig" "$dir/include" || return 1
    printf 'archive %s\n' "$2" > "$dir/lib/libdemo.a"
    printf 'prefix=%s\nLibs: -L${prefix}/lib -ldemo\n' "$dir" > "$dir/lib/pkgconfig/demo.pc"
    ln -s libdemo.a "$dir/lib/libdemo-1.a"
    echo '#define DEMO 1' > "$dir/include/demo.h"
    builds=$((builds + 1))
}
# What a build script does: use the entry, or build and keep it.
libs_for() {  # libs_for KEY -> sets $libs
    local key=$1 dir
    if libs=$(gf_cache_find demo "$key"); then return 0; fi
    dir=$(gf_cache_begin demo "$key") || return 1
    make_libs "$dir" "$key" || { gf_cache_abandon "$dir"; return 1; }
    libs=$(gf_cache_commit demo "$key" "$dir" lib/libdemo.a include/demo.h)
}

# --- where the cache lives
check "the cache is under XDG_CACHE_HOME" same "$(gf_cache_root)" "$work/xdg/glimmerfrost"
check "an empty XDG_CACHE_HOME means ~/.cache" \
    same "$(XDG_CACHE_HOME='' HOME=/home/p gf_cache_root)" "/home/p/.cache/glimmerfrost"
check "an unset XDG_CACHE_HOME means ~/.cache" \
    same "$(unset XDG_CACHE_HOME; HOME=/home/p gf_cache_root)" "/home/p/.cache/glimmerfrost"

# --- keys
k=$(gf_cache_key "zlib 1:1.2.13" "emcc 3.1.6" "flags 1234")
check "a key is the same for the same parts" same "$(gf_cache_key "zlib 1:1.2.13" "emcc 3.1.6" "flags 1234")" "$k"
check "a key changes with a source version" differ "$(gf_cache_key "zlib 1:1.2.13.1" "emcc 3.1.6" "flags 1234")" "$k"
check "a key changes with the toolchain" differ "$(gf_cache_key "zlib 1:1.2.13" "emcc 3.1.7" "flags 1234")" "$k"
check "a key tells its parts apart" differ "$(gf_cache_key "zlib 1:1.2.13emcc 3.1.6" "flags 1234")" "$k"
echo "-O2" > "$work/flags"
h=$(gf_cache_hash_files "$work/flags")
echo "-O3" > "$work/flags"
check "a file hash changes with the file" differ "$(gf_cache_hash_files "$work/flags")" "$h"
check "a file hash of a missing file fails" fails quiet gf_cache_hash_files "$work/no-such-file"

# --- a miss builds, a hit uses the entry as it is
libs_for k1
check "a miss builds once" same "$builds" 1
check "the entry is in the cache" same "$libs" "$(gf_cache_root)/demo-k1/payload"
check "the built files are there" same "$(cat "$libs/lib/libdemo.a" 2>&1)" "archive k1"
check "links are kept" same "$(readlink "$libs/lib/libdemo-1.a")" "libdemo.a"
check "text files name the entry, not the folder it was built in" \
    same "$(head -n1 "$libs/lib/pkgconfig/demo.pc")" "prefix=$libs"
check "nothing is left of the build" same "$(ls -A "$(gf_cache_root)" | tr '\n' ' ')" "demo-k1 "
libs_for k1
check "a good entry is used again, not rebuilt" same "$builds" 1
libs_for k2
check "another key is another entry" same "$builds/$(cat "$libs/lib/libdemo.a")" "2/archive k2"

# --- damaged entries are rebuilt, never used
damage() {  # damage WHAT COMMAND...: damages entry k1, which must then be rebuilt
    local what=$1 before=$builds
    shift
    libs_for k1
    "$@"
    if gf_cache_find demo k1 >/dev/null 2>&1; then
        check "$what: the damage is found" false
        return
    fi
    check "$what: the entry is removed" test ! -e "$(gf_cache_root)/demo-k1"
    libs_for k1
    check "$what: it is rebuilt" same "$builds" $((before + 1))
    check "$what: the rebuilt entry is good" gf_cache_check "$(gf_cache_root)/demo-k1"
}
e="$(gf_cache_root)/demo-k1"
damage "a changed byte" sed -i 's/archive/archivE/' "$e/payload/lib/libdemo.a"
damage "a file cut short" truncate -s 3 "$e/payload/include/demo.h"
damage "a missing file" rm "$e/payload/include/demo.h"
damage "a stray file" touch "$e/payload/lib/stray.o"
damage "a link that points elsewhere" ln -sfn ../include/demo.h "$e/payload/lib/libdemo-1.a"
damage "a damaged manifest" sed -i '1d' "$e/MANIFEST"

# --- half-written entries are rebuilt, never used
damage "an entry without its manifest" rm "$e/MANIFEST"
damage "an entry without its payload" rm -r "$e/payload"
# A builder killed before its rename leaves only its temporary folder: it is never found,
# and the next build clears it.
rm -rf "$e"
mkdir -p "$(gf_cache_root)/.tmp-demo-k1.999999999-dead/payload/lib"
echo half > "$(gf_cache_root)/.tmp-demo-k1.999999999-dead/payload/lib/libdemo.a"
before=$builds
libs_for k1
check "a dead builder's folder is not used" same "$builds/$(cat "$libs/lib/libdemo.a")" "$((before + 1))/archive k1"
check "a dead builder's folder is cleared" test ! -e "$(gf_cache_root)/.tmp-demo-k1.999999999-dead"
# A live builder's folder is left alone.
mkdir -p "$(gf_cache_root)/.tmp-demo-k3.$$-live/payload"
dir=$(gf_cache_begin demo k3)
check "a live builder's folder is left alone" test -d "$(gf_cache_root)/.tmp-demo-k3.$$-live"
gf_cache_abandon "$dir"
check "an abandoned build leaves nothing" test ! -e "$(dirname "$dir")"
rm -rf "$(gf_cache_root)/.tmp-demo-k3.$$-live"

# A build that lacks a file it promised is refused, and nothing is kept.
dir=$(gf_cache_begin demo k4)
make_libs "$dir" k4
rm "$dir/include/demo.h"
check "a build without a promised file is refused" fails quiet gf_cache_commit demo k4 "$dir" include/demo.h
check "a refused build leaves nothing" same "$(ls -A "$(gf_cache_root)" | grep -c k4)" 0

# Two builders of one entry: the second finds the first's in place and uses it.
a=$(gf_cache_begin demo k5)
b=$(gf_cache_begin demo k5)
make_libs "$a" first
make_libs "$b" second
ra=$(gf_cache_commit demo k5 "$a")
rb=$(gf_cache_commit demo k5 "$b")
check "the second builder uses the first one's entry" same "$rb/$(cat "$rb/lib/libdemo.a")" "$ra/archive first"
check "the second builder leaves nothing behind" same "$(ls -A "$(gf_cache_root)" | grep -c '^\.')" 0

# --- the browser libraries' key follows each version and flag (stand-ins for the
# sources and emcc; a copy of the scripts for the flags)
mkdir -p "$work/bin" "$work/web/src"
for p in libsdl2 zlib libpng1.6 libogg libvorbis freetype; do
    mkdir -p "$work/web/src/$p/debian"
    printf '%s (1.0-1) bookworm; urgency=medium\n' "$p" > "$work/web/src/$p/debian/changelog"
done
printf '#!/bin/sh\necho "emcc (Emscripten) 3.1.6 ()"\n' > "$work/bin/emcc"
chmod +x "$work/bin/emcc"
cp -r "$root/scripts" "$work/scripts"
web_key() { PATH="$work/bin:$PATH" "$work/scripts/web/build-libs" --key "$work/web" 2>&1 | tail -n1; }
k=$(web_key)
check "the libraries' key is a key" test "${#k}" -eq 16
check "the libraries' key is steady" same "$(web_key)" "$k"
sed -i '1s/(1.0-1)/(1.0-1+deb12u1)/' "$work/web/src/libpng1.6/debian/changelog"
k2=$(web_key)
check "the libraries' key changes with a source version" differ "$k2" "$k"
sed -i 's/3\.1\.6/3.1.7/' "$work/bin/emcc"
k3=$(web_key)
check "the libraries' key changes with emcc" differ "$k3" "$k2"
sed -i 's/-O2 -DNDEBUG/-O3 -DNDEBUG/' "$work/scripts/web/build-libs"
k4=$(web_key)
check "the libraries' key changes with the flags" differ "$k4" "$k3"
echo '# a note' >> "$work/scripts/web/env.sh"
check "the libraries' key changes with the build set-up" differ "$(web_key)" "$k4"

# --- emptying it
mkdir -p "$XDG_CACHE_HOME/other"
gf_cache_clear 2>/dev/null
check "clearing empties the cache" test ! -e "$(gf_cache_root)"
check "clearing leaves the rest of XDG_CACHE_HOME" test -d "$XDG_CACHE_HOME/other"

echo "cache: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
