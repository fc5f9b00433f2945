#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a build tree, then checks that it holds every file the
# tree's programs need (listed at configure time), that its menu entries and AppStream
# metadata are valid, and that lintian finds neither an error nor a warning in it.
set -eu
build=$(cd "$1" && pwd)
out="$build/package-check"
rm -rf "$out"
mkdir -p "$out"

if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$(ls "$out"/*.deb)
dpkg-deb -I "$deb"

# Sixth column is the path; a symbolic link adds "-> target" after it.
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$out/contents.txt"
status=0
while read -r path; do
    if ! grep -qxF "$path" "$out/contents.txt"; then
        echo "missing from the package: $path"
        status=1
    fi
done <"$build/packaging/expected-files.txt"

# The files as installed, so the checks see what a desktop would.
dpkg-deb -x "$deb" "$out/root"
for entry in "$out"/root/usr/share/applications/*.desktop; do
    [ -e "$entry" ] || continue
    # It passes entries with warnings and hints; this package's have none.
    if ! findings=$(desktop-file-validate "$entry" 2>&1) || [ -n "$findings" ]; then
        echo "$findings"
        status=1
    fi
done
for metainfo in "$out"/root/usr/share/metainfo/*.metainfo.xml; do
    [ -e "$metainfo" ] || continue
    appstreamcli validate --no-net --explain "$metainfo" || status=1
done
if [ -d "$out/root/usr/share/metainfo" ]; then
    # Also checks that each component's menu entry and icon are where it says.
    appstreamcli validate-tree --no-net "$out/root" || status=1
fi

lintian --fail-on error,warning --tag-display-limit 0 "$deb" || status=1
exit $status
