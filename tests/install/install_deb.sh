#!/usr/bin/env bash
# The .deb holds the same files as an install, and dpkg-shlibdeps found the libraries the
# game links against.
# Usage: install_deb.sh BUILD_DIR EXPECTED_FILES
set -euo pipefail
build=$1
manifest=$2

for tool in dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing (Debian package dpkg-dev)"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work") \
    >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=$(ls "$work"/glimmerfrost_*.deb)

got=$(dpkg-deb -c "$deb" | awk '$1 ~ /^[-l]/ {print $6}' | sed 's#^\.##' | LC_ALL=C sort)
if ! diff -u <(LC_ALL=C sort "$manifest") <(echo "$got") >&2; then
    echo "$(basename "$deb") holds other files than expected (- expected, + packed)" >&2
    exit 1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libopenal; do
    if ! grep -qE "(^|, )$lib" <<<"$depends"; then
        echo "Depends should name $lib, got: $depends" >&2
        exit 1
    fi
done
echo "$(basename "$deb") holds every file; Depends: $depends"
