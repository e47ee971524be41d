# Emscripten's own cache (EM_CACHE, which env.sh points at BUILD_WEB_DIR/emcache): the
# headers and system libraries emcc links (libc, libc++, libGL, ...). Debian ships one,
# frozen and read-only, that holds most of them; emcc builds any other into a writable
# copy the first time a link needs it. The working copy is Debian's, with what emcc built
# before on this machine laid over it from the build cache (entry web-emcache, keyed by
# the toolchain); after a build, what emcc added goes back there.
# Sourced by build-libs and build-game, after env.sh and scripts/lib/cache.sh.

gf_web_emcache_seed=/usr/share/emscripten/cache

# The toolchain's version, for keys: emcc's own, and Debian's package of it. --version
# alone would make emcc create its cache folder, so it runs on Debian's.
gf_web_toolchain() {
    local emcc package
    emcc=$(unset EM_CACHE; emcc --version | head -n1)
    package=$(dpkg-query -W -f='${Version}' emscripten 2>/dev/null || true)
    printf 'toolchain %s; package %s\n' "$emcc" "$package"
}

gf_web_emcache_key() {
    gf_cache_key "$(gf_web_toolchain)"
}

# Makes BUILD_WEB_DIR/emcache, once. A copy cut short (no ready mark) is made again.
gf_web_emcache_restore() {
    [[ -f "$EM_CACHE/.gf-ready" ]] && return 0
    local tmp="$EM_CACHE.tmp.$$" built
    rm -rf "$EM_CACHE" "$tmp"
    cp -a "$gf_web_emcache_seed" "$tmp"
    if built=$(gf_cache_find web-emcache "$(gf_web_emcache_key)"); then
        cp -a "$built/." "$tmp/"
        echo "emcache: the system libraries emcc built before come from the cache ($built)"
    fi
    touch "$tmp/.gf-ready"
    mv -T "$tmp" "$EM_CACHE"
}

# Keeps what emcc added to the working copy, if the cache lacks any of it. A failure here
# costs only a later rebuild, so it never fails the build.
gf_web_emcache_keep() {
    local key added have built dir
    key=$(gf_web_emcache_key)
    added=$(cd "$EM_CACHE" && find . -type f ! -name cache.lock ! -name .gf-ready -print |
        LC_ALL=C sort | while IFS= read -r f; do [[ -e "$gf_web_emcache_seed/$f" ]] || echo "$f"; done)
    [[ -n "$added" ]] || return 0
    if built=$(gf_cache_find web-emcache "$key"); then
        have=$(cd "$built" && find . -type f -print | LC_ALL=C sort)
        [[ -z "$(comm -23 <(echo "$added") <(echo "$have"))" ]] && return 0
    fi
    dir=$(gf_cache_begin web-emcache "$key") || return 0
    if (cd "$EM_CACHE" && echo "$added" | tr '\n' '\0' | xargs -0 cp -a --parents -t "$dir"); then
        built=$(gf_cache_commit --replace web-emcache "$key" "$dir") &&
            echo "emcache: kept $(echo "$added" | wc -l) files emcc made in the cache ($built)"
    else
        gf_cache_abandon "$dir"
    fi
    return 0
}
