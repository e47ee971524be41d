# The build cache, outside the clone: what takes minutes to build and comes out the same
# on every clone of the same versions (the browser's libraries, Emscripten's system
# libraries; the Windows libraries next). It lives in $XDG_CACHE_HOME/glimmerfrost, or
# ~/.cache/glimmerfrost when XDG_CACHE_HOME is unset or empty. `make clean` leaves it
# alone; `make clean-cache` empties it.
#
# Sourced by the build scripts (`. scripts/lib/cache.sh`); it leaves the caller's shell
# options alone. An entry is a folder NAME-KEY holding `payload/` and `MANIFEST` (a
# checksum of every payload file and the target of every link). It is filled in a
# temporary folder beside it, given its manifest last and renamed into place, so it is
# whole or absent. Every use checks the payload against the manifest: a damaged entry, or
# a half-written one, is removed and built again, never used.
#
#   gf_cache_root                 prints the cache folder
#   gf_cache_key PART...          prints a key, a hash of the parts (versions, flags)
#   gf_cache_hash_files FILE...   prints a hash of the files' contents, for a key part
#   gf_cache_find NAME KEY        prints the payload folder of a whole entry; status 1
#                                 when there is none (a bad one is removed on the way)
#   gf_cache_begin NAME KEY       prints a new, empty folder to build the payload in
#   gf_cache_commit [--replace] NAME KEY DIR [FILE...]
#                                 makes the entry from DIR, which gf_cache_begin gave,
#                                 and prints its payload folder. Each FILE (relative to
#                                 DIR) must be there and not empty, or the build is
#                                 refused (status 1, DIR removed). Text files that name DIR
#                                 (pkg-config files, CMake packages) are rewritten to name
#                                 the payload folder instead. A whole entry already there
#                                 is kept, and DIR dropped, unless --replace.
#   gf_cache_abandon DIR          removes a folder gf_cache_begin gave, after a failure
#   gf_cache_clear                empties the cache
#
# A builder that died leaves its temporary folder behind; the next gf_cache_begin for the
# same entry removes it. Messages go to stderr, prefixed "cache:".

gf_cache_root() {
    local base=${XDG_CACHE_HOME:-}
    [[ -n "$base" ]] || base="$HOME/.cache"
    printf '%s\n' "$base/glimmerfrost"
}

gf_cache_clear() {
    local root
    root=$(gf_cache_root)
    [[ -e "$root" ]] || return 0
    echo "cache: emptying $root" >&2
    rm -rf -- "$root"
}

gf_cache_key() {
    printf '%s\n' "$@" | sha256sum | cut -c1-16
}

gf_cache_hash_files() {
    cat -- "$@" | sha256sum | cut -c1-16
    return "${PIPESTATUS[0]}"
}

# The manifest of a payload folder: "sha256  ./path" for each file, "link ./path -> target"
# for each link, in one fixed order. Anything else in the folder (a device, a pipe) makes
# it fail.
gf_cache__manifest() {
    local dir=$1
    (
        cd "$dir" || exit 1
        if [[ -n "$(find . ! -type f ! -type l ! -type d -print -quit)" ]]; then
            echo "cache: $dir holds something that is neither a file nor a link" >&2
            exit 1
        fi
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum -- || exit 1
        find . -type l -print0 | LC_ALL=C sort -z |
            while IFS= read -r -d '' link; do
                printf 'link %s -> %s\n' "$link" "$(readlink -- "$link")"
            done
    )
}

# Status 0 when ENTRY is whole: a manifest, and a payload that matches it exactly.
gf_cache_check() {
    local entry=$1 now
    [[ -f "$entry/MANIFEST" && -d "$entry/payload" ]] || return 1
    now=$(gf_cache__manifest "$entry/payload") || return 1
    [[ "$now" == "$(cat "$entry/MANIFEST")" ]]
}

# Moves ENTRY out of the way, then deletes it: a reader never finds half of one.
gf_cache__drop() {
    local entry=$1 trash
    [[ -e "$entry" || -L "$entry" ]] || return 0
    trash="$(dirname "$entry")/.trash-$(basename "$entry").$$-$RANDOM"
    mv -T -- "$entry" "$trash" 2>/dev/null || return 0  # someone else dropped it
    rm -rf -- "$trash"
}

gf_cache_find() {
    local name=$1 key=$2 entry
    entry="$(gf_cache_root)/$name-$key"
    [[ -e "$entry" || -L "$entry" ]] || return 1
    if gf_cache_check "$entry"; then
        printf '%s\n' "$entry/payload"
        return 0
    fi
    echo "cache: $name-$key is damaged or half-written; building it again" >&2
    gf_cache__drop "$entry"
    return 1
}

gf_cache_begin() {
    local name=$1 key=$2 root old pid
    root=$(gf_cache_root)
    mkdir -p -- "$root" || return 1
    # Folders of builders that died. Ours carry our process id; a live one is left alone.
    for old in "$root/.tmp-$name-$key".* "$root/.trash-$name-$key".*; do
        [[ -e "$old" ]] || continue
        pid=${old##*.}
        pid=${pid%%-*}
        if [[ "$pid" =~ ^[0-9]+$ ]] && { kill -0 "$pid" 2>/dev/null || [[ -d /proc/$pid ]]; }; then
            continue
        fi
        rm -rf -- "$old"
    done
    old=$(mktemp -d "$root/.tmp-$name-$key.$$-XXXXXX") || return 1
    mkdir -- "$old/payload" || return 1
    printf '%s\n' "$old/payload"
}

gf_cache_abandon() {
    local dir=$1
    [[ "$(basename "$dir")" == payload && "$(basename "$(dirname "$dir")")" == .tmp-* ]] ||
        { echo "cache: $dir is not a folder gf_cache_begin gave" >&2; return 1; }
    rm -rf -- "$(dirname "$dir")"
}

gf_cache_commit() {
    local replace=0
    [[ "$1" == --replace ]] && { replace=1; shift; }
    local name=$1 key=$2 dir=$3
    shift 3
    local tmp entry final file manifest
    tmp=$(dirname "$dir")
    entry="$(gf_cache_root)/$name-$key"
    final="$entry/payload"
    for file in "$@"; do
        if [[ ! -s "$dir/$file" ]]; then
            echo "cache: $name-$key lacks $file; not keeping it" >&2
            gf_cache_abandon "$dir"
            return 1
        fi
    done
    # Tools that write their install folder into text files wrote DIR; the entry lives at
    # FINAL. Binary files are left alone: a path there is only a debugging note.
    local from to
    from=$(printf '%s' "$dir" | sed 's/[][\\.*^$|]/\\&/g')
    to=$(printf '%s' "$final" | sed 's/[\\&|]/\\&/g')
    { grep -rlIZF -- "$dir" "$dir" 2>/dev/null || true; } | xargs -0 -r sed -i "s|$from|$to|g" || {
        gf_cache_abandon "$dir"
        return 1
    }
    manifest=$(gf_cache__manifest "$dir") || { gf_cache_abandon "$dir"; return 1; }
    printf '%s\n' "$manifest" > "$tmp/MANIFEST.new" && mv -- "$tmp/MANIFEST.new" "$tmp/MANIFEST" ||
        { gf_cache_abandon "$dir"; return 1; }
    # A bad entry in the way goes first. If another builder got there meanwhile, theirs is
    # as good as ours.
    if [[ -e "$entry" || -L "$entry" ]] && { [[ $replace -eq 1 ]] || ! gf_cache_check "$entry"; }; then
        gf_cache__drop "$entry"
    fi
    if ! mv -T -- "$tmp" "$entry" 2>/dev/null; then
        rm -rf -- "$tmp"
        gf_cache_check "$entry" || { echo "cache: could not put $name-$key in place" >&2; return 1; }
    fi
    printf '%s\n' "$final"
}
