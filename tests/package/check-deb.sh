#!/bin/sh
# Builds the Debian package from a build tree, then checks that it holds every file the
# tree's programs need (listed at configure time) and that lintian finds no error in it.
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

lintian --fail-on error --tag-display-limit 0 "$deb" || status=1
exit $status
