# Sourced (`. scripts/windows/env.sh [BUILD_WIN_DIR]`, default build-win in the repository)
# by the Windows build scripts: sets the variables that find the mingw-w64 toolchain and the
# libraries that scripts/windows/build-libs builds (into the build cache outside the clone,
# linked at BUILD_WIN_DIR/prefix). It is sourced, not run, so it leaves the caller's shell
# options alone.
#
# A game build with these variables set needs only
#   cmake -DCMAKE_TOOLCHAIN_FILE="$GF_WIN_TOOLCHAIN" ...
# The toolchain file reads GF_WIN_PREFIX; find_package finds SDL2 (SDL2::SDL2-static),
# OpenAL (OpenAL::OpenAL), PNG, ZLIB, Freetype, Ogg, Vorbis (Vorbis::vorbisfile) and GTest
# there, and pkg-config only the prefix's files (epoxy; --static for the private libraries).

gf_win_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
GF_WIN_DIR=${1:-${GF_WIN_DIR:-$gf_win_root/build-win}}
mkdir -p "$GF_WIN_DIR"
GF_WIN_DIR=$(cd "$GF_WIN_DIR" && pwd)
export GF_WIN_DIR
export GF_WIN_PREFIX="$GF_WIN_DIR/prefix"
export GF_WIN_HOST=x86_64-w64-mingw32
export GF_WIN_TOOLCHAIN="$gf_win_root/cmake/mingw-w64.cmake"
# LIBDIR, not PATH: the build machine's own .pc files must not be found.
export PKG_CONFIG_LIBDIR="$GF_WIN_PREFIX/lib/pkgconfig"
export PKG_CONFIG_PATH=
unset gf_win_root

# The toolchain's versions, for keys: the compiler's own says only "12-posix".
gf_win_toolchain() {
    printf 'toolchain %s\n' "$(dpkg-query -W -f='${Package} ${Version}; ' \
        gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
        binutils-mingw-w64-x86-64 meson cmake 2>/dev/null)"
}

# Debian's Wine has no wine64 or wineserver on PATH: wine runs 64-bit programs (with no
# wine32, WINEDEBUG=-all hides its hint about it) and the server is wineserver-stable.
GF_WIN_WINE=$(command -v wine64 || command -v wine || echo wine)
GF_WIN_WINESERVER=$(command -v wineserver || command -v wineserver-stable || echo wineserver)
export GF_WIN_WINE GF_WIN_WINESERVER

# Runs COMMAND ("$GF_WIN_WINE" PROGRAM.exe, or timeout N "$GF_WIN_WINE" ...) with Wine quiet and in the Wine
# prefix WINEPREFIX_DIR, made on first use (about 12 s). Without the overrides Wine offers to
# install Mono and Gecko. Give each run a prefix of its own, and end its wineserver after
# (`WINEPREFIX=... "$GF_WIN_WINESERVER" -k`): one left from a run without DISPLAY breaks the next.
#   gf_win_wine WINEPREFIX_DIR COMMAND...
gf_win_wine() {
    local wineprefix=$1
    shift
    WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$wineprefix" "$@"
}
