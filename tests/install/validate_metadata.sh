#!/usr/bin/env bash
# The desktop file and the AppStream metainfo pass their validators where those are
# installed, the menu entry shows the installed icon, and the newest release is this one.
# Usage: validate_metadata.sh PACKAGING_DIR APP_ID VERSION
set -uo pipefail
desktop=$1/$2.desktop
metainfo=$1/$2.metainfo.xml
fail=0

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail=1
else
    echo "appstreamcli is missing (Debian package appstream): metainfo not validated"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail=1
else
    echo "desktop-file-validate is missing (desktop-file-utils): desktop file not validated"
fi
if ! grep -qx "Icon=$2" "$desktop"; then
    echo "$desktop: expected Icon=$2, the name the icons are installed under" >&2
    fail=1
fi
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
if [[ "$newest" != "$3" ]]; then
    echo "$metainfo: the newest release is '$newest', the game is $3: add a <release>" >&2
    fail=1
fi
exit $fail
