# Sourced (`. scripts/web/env.sh [BUILD_WEB_DIR]`, default build-web in the repository) by
# the browser build scripts: sets the variables that emcc and emcmake need to find our
# unfrozen Emscripten cache and the libraries that scripts/web/build-libs builds (into the
# build cache outside the clone, linked at BUILD_WEB_DIR/prefix).
# It is sourced, not run, so it leaves the caller's shell options alone (callers use
# `set -euo pipefail` themselves).
#
# A game build with these variables set needs, besides `emcmake cmake`:
#   -DCMAKE_FIND_ROOT_PATH="$GF_WEB_PREFIX" so that find_package(SDL2/PNG/Freetype/...) and
#     find_library look in the prefix: Emscripten's toolchain file only searches under
#     CMAKE_FIND_ROOT_PATH (its own sysroot otherwise);
#   -DCMAKE_CROSSCOMPILING_EMULATOR="$GF_WEB_EMULATOR" for try_run checks (emcmake's
#     default passes node a flag that node 20 rejects);
#   -sUSE_SDL=0 when compiling and linking, and -I"$GF_WEB_PREFIX/include/SDL2" first on
#     the include path: by default emcc puts its own SDL 1 headers on the path (where
#     <SDL.h> would find them) and links its SDL 1 JavaScript library;
#   -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 and -lopenal at link time (OpenAL is
#     Emscripten's own, over WebAudio; it is not built here). No -pthread: the libraries
#     are built without threads.
# The prefix has CMake packages (SDL2::SDL2, Vorbis::vorbisfile, which brings Ogg::ogg) and
# pkg-config files; the libraries are static, so pkg-config needs --static (vorbisfile
# lists vorbis and ogg as private). pkg-config under emconfigure/emmake reads
# EM_PKG_CONFIG_PATH (they overwrite PKG_CONFIG_PATH), so both are set.

gf_web_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
GF_WEB_DIR=${1:-${GF_WEB_DIR:-$gf_web_root/build-web}}
mkdir -p "$GF_WEB_DIR"
GF_WEB_DIR=$(cd "$GF_WEB_DIR" && pwd)
export GF_WEB_DIR
export GF_WEB_PREFIX="$GF_WEB_DIR/prefix"
# A writable copy of /usr/share/emscripten/cache (made by build-libs, see emcache.sh); an
# empty EM_FROZEN_CACHE unfreezes it ("0" would count as true).
export EM_CACHE="$GF_WEB_DIR/emcache"
export EM_FROZEN_CACHE=
# emcc's JavaScript tools need Debian's acorn when node is not Debian's own.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
export GF_WEB_EMULATOR="$(command -v node);--no-experimental-fetch"
export CMAKE_PREFIX_PATH="$GF_WEB_PREFIX${CMAKE_PREFIX_PATH:+:$CMAKE_PREFIX_PATH}"
export PKG_CONFIG_PATH="$GF_WEB_PREFIX/lib/pkgconfig"
export EM_PKG_CONFIG_PATH="$PKG_CONFIG_PATH"
unset gf_web_root
