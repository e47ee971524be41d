# Fetches Debian source packages and unpacks each into DIR/src/PACKAGE, for the builds that
# cross-compile our libraries (scripts/web/, scripts/windows/). apt runs on a private source
# list, lists and cache under DIR/apt: the system's apt set-up is never touched. apt checks
# every file it downloads against the archive's signed Sources index.
#
# Sourced (`. scripts/lib/debian-sources.sh`); it leaves the caller's shell options alone.
#
#   gf_debsrc_fetch [--fallback SUITE] DIR PACKAGE...
#       Unpacks each PACKAGE not yet in DIR/src, and writes DIR/src/PACKAGE.source: where it
#       came from (suite, version, file names, URLs, sha256) and whether Debian's patches
#       are in. The mirror lacks some files, so for each package it takes the first of:
#         1. the newest version (security updates included), whole, with Debian's patches;
#         2. the release's own version, whole;
#         3. the upstream (orig) tarball alone, unpatched, of either, when only the .dsc or
#            the patches are missing (checked against the sha256 the signed index gave);
#         4. with --fallback, the same from SUITE (a second private list, say trixie), for
#            a package whose files this release's mirror lacks altogether.
#   gf_debsrc_field DIR PACKAGE FIELD
#       prints a field ("version", "patched", ...) of DIR/src/PACKAGE.source.
#
# Messages go to stderr, prefixed "fetch-sources:".

# The deb-src stanzas of the system's own archives, or of SUITE alone on the same mirror.
gf_debsrc__list() {
    local suite=$1 system=/etc/apt/sources.list.d/debian.sources uri
    if [[ -z "$suite" && -f "$system" ]]; then
        sed 's/^Types:.*/Types: deb-src/' "$system"
        return
    fi
    uri=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' "$system" 2>/dev/null | head -n1)
    [[ -n "$suite" ]] || suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    printf '%s\n' 'Types: deb-src' "URIs: ${uri:-http://deb.debian.org/debian}" "Suites: $suite" \
        'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
}

# Sets gf_debsrc__opts to a private apt under DIR/apt (the system's suites) or
# DIR/apt-SUITE, and updates its lists once a run.
gf_debsrc__apt() {
    local dir=$1 suite=$2 apt
    apt="$dir/apt${suite:+-$suite}"
    gf_debsrc__opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources"
                     -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
    [[ -f "$apt/.updated.$$" ]] && return 0
    mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/dl"
    gf_debsrc__list "$suite" > "$apt/sources/gf.sources"
    # As root, apt downloads as the _apt user, who needs write access to our folders.
    [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1 && chown -R _apt "$apt/lists" "$apt/dl"
    apt-get "${gf_debsrc__opts[@]}" -qq update || return 1
    rm -f "$apt"/.updated.*
    touch "$apt/.updated.$$"
}

# Downloads WANTED (PACKAGE or PACKAGE/RELEASE) into a fresh folder DL, with the list of its
# files' URLs and hashes in DL/uris. Status 0 when every file arrived.
gf_debsrc__download() {
    local wanted=$1 dl=$2
    rm -rf "$dl"
    mkdir -p "$dl"
    [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1 && chown _apt "$dl"
    # Printed before downloading: apt leaves out files already there.
    apt-get "${gf_debsrc__opts[@]}" -qq source --print-uris "$wanted" 2>/dev/null |
        grep "^'" > "$dl/uris" || return 1
    (cd "$dl" && apt-get "${gf_debsrc__opts[@]}" -qq source --download-only "$wanted" \
        >/dev/null 2>&1)
}

# The orig tarball in DL whose sha256 matches the one the signed index gave; none, status 1.
gf_debsrc__orig() {
    local dl=$1 url file size sum
    while read -r url file size sum; do
        [[ "$file" =~ \.orig\.tar\.[a-z0-9]+$ && -f "$dl/$file" ]] || continue
        if [[ "$(sha256sum < "$dl/$file" | cut -d' ' -f1)" != "${sum#SHA256:}" ]]; then
            echo "fetch-sources: $file does not match the archive's sha256; not using it" >&2
            return 1
        fi
        printf '%s\n' "$file"
        return 0
    done < "$dl/uris"
    return 1
}

# Writes PACKAGE.source from DL's list of files.
gf_debsrc__note() {
    local dl=$1 package=$2 suite=$3 version=$4 patched=$5 url file size sum
    printf 'package: %s\nversion: %s\nsuite: %s\npatched: %s\n' \
        "$package" "$version" "$suite" "$patched"
    # Unpatched, the version is upstream's: the Debian one it was part of says which.
    [[ "$patched" == yes ]] ||
        sed -n "s/^'[^']*' ${package}_\(.*\)\.dsc .*/debian-version: \1/p" "$dl/uris"
    while read -r url file size sum; do
        [[ "$patched" == yes || "$file" =~ \.orig\.tar\.[a-z0-9]+$ ]] || continue
        printf 'file: %s %s sha256 %s\n' "${url//\'/}" "$file" "${sum#SHA256:}"
    done < "$dl/uris"
}

# Unpacks what DL holds into SRC/PACKAGE: the whole package, or with "orig" its orig
# tarball alone. Status 1 when DL has nothing usable.
gf_debsrc__unpack() {
    local dl=$1 src=$2 package=$3 suite=$4 how=$5 dsc orig version top
    local tmp="$src/$package.tmp"
    rm -rf "$tmp"
    if [[ "$how" == whole ]]; then
        dsc=$(cd "$dl" && ls -- *.dsc) || return 1
        # apt checked the files' hashes against the signed archive index; dpkg-source
        # would only warn that it has no keyring for the uploader's signature.
        dpkg-source --no-check -x "$dl/$dsc" "$tmp" >/dev/null || return 1
        rm -f "$src/${package}"_*   # the orig tarballs dpkg-source links beside the tree
        version=$(sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p' "$tmp/debian/changelog")
        gf_debsrc__note "$dl" "$package" "$suite" "$version" yes > "$src/$package.source"
        echo "fetch-sources: $package from $dsc ($suite)" >&2
    else
        orig=$(gf_debsrc__orig "$dl") || return 1
        mkdir -p "$tmp"
        tar -xf "$dl/$orig" -C "$tmp" || return 1
        # Most tarballs hold one folder, NAME-VERSION; the tree is what is inside it.
        top=$(find "$tmp" -mindepth 1 -maxdepth 1)
        if [[ $(printf '%s\n' "$top" | wc -l) -eq 1 && -d "$top" ]]; then
            mv -T "$top" "$tmp.inner" && rmdir "$tmp" && mv -T "$tmp.inner" "$tmp"
        fi
        version=${orig#"${package}_"}
        version=${version%.orig.tar.*}
        gf_debsrc__note "$dl" "$package" "$suite" "$version" no > "$src/$package.source"
        echo "fetch-sources: $package from $orig alone, without Debian's patches:" \
            "the mirror lacks the rest ($suite)" >&2
    fi
    mv -T "$tmp" "$src/$package"
}

gf_debsrc_fetch() {
    local fallback=
    [[ "${1:-}" == --fallback ]] && { fallback=$2; shift 2; }
    local dir=$1 release p wanted dl
    shift
    local src="$dir/src" todo=()
    for p in "$@"; do [[ -d "$src/$p" ]] || todo+=("$p"); done
    [[ ${#todo[@]} -eq 0 ]] && return 0
    mkdir -p "$src"
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    for p in "${todo[@]}"; do
        gf_debsrc__apt "$dir" "" || return 1
        for wanted in "$p" "$p/$release"; do
            dl="$dir/apt/dl/$wanted"
            gf_debsrc__download "$wanted" "$dl" &&
                gf_debsrc__unpack "$dl" "$src" "$p" "$release" whole && continue 2
        done
        # The release's own upstream code, unpatched, is nearer the system's libraries
        # than another release's.
        for wanted in "$p" "$p/$release"; do
            gf_debsrc__unpack "$dir/apt/dl/$wanted" "$src" "$p" "$release" orig && continue 2
        done
        if [[ -n "$fallback" ]]; then
            echo "fetch-sources: $release's mirror lacks $p's files; trying $fallback's" >&2
            gf_debsrc__apt "$dir" "$fallback" || return 1
            dl="$dir/apt-$fallback/dl/$p"
            gf_debsrc__download "$p" "$dl" && gf_debsrc__unpack "$dl" "$src" "$p" "$fallback" whole &&
                continue
            gf_debsrc__unpack "$dl" "$src" "$p" "$fallback" orig && continue
        fi
        echo "fetch-sources: no sources of $p could be had" >&2
        return 1
    done
}

gf_debsrc_field() {
    sed -n "s/^$3: //p" "$1/src/$2.source" 2>/dev/null | head -n1
}
