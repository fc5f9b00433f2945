#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs the package built from a build tree into a fresh, minimal Debian 12 and runs its
# programs there. Only what the package declares comes in with it, so a missing dependency
# (a shared library, a Qt plugin) makes a program fail here rather than on a user's machine.
#
#   install-in-clean-root.sh BUILD_DIR
#
# Needs root (debootstrap, chroot, mounts) and the Debian mirror this machine's apt uses. The
# bootstrapped system is kept as a tarball, and the downloaded packages in a folder, under
# BUILD_DIR/package-test, so a second run neither bootstraps nor downloads again.
set -euo pipefail

if [ "${1:-}" = --in-namespace ]; then
    in_namespace=1
    shift
fi
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
work="$build/package-test"
root="$work/root"
cache="$work/cache"
logs="$work/logs"
user=veyrath-user

say() { printf '== %s\n' "$*"; }
fail() {
    printf 'FAILED: %s\n' "$*" >&2
    exit 1
}

in_root() { chroot "$root" "$@"; }

# apt in the root, its long output kept in a log and shown only when it fails. Unsafe I/O: the
# root is thrown away anyway, and syncing every file costs minutes.
apt_in_root() {
    local log="$logs/apt.log"
    if ! DEBIAN_FRONTEND=noninteractive nice chroot "$root" apt-get -q -y -o Dpkg::Use-Pty=0 \
        -o Dpkg::Options::=--force-unsafe-io "$@" >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        fail "apt-get $*"
    fi
}

# A user's session, as far as the programs need one. More NAME=VALUE may follow. A command
# started so keeps its process id through chroot, env and sh, so it can be watched and ended.
session=(chroot --userspec="$user:$user" "$root" env -i HOME="/home/$user" USER="$user"
    LANG=C.UTF-8 PATH=/usr/bin:/bin XDG_RUNTIME_DIR="/tmp/runtime-$user")
as_user() { "${session[@]}" "$@"; }
# shellcheck disable=SC2016 # expanded by the sh it is given to
in_folder='cd "$1" && shift && exec "$@"'
# What the loader and Qt say when a library or plugin is missing.
missing_library='cannot open shared object|cannot load library|could not load|not loaded'
missing_library+='|undefined symbol'

# Starts a program as the user and watches it from outside: it must stay running until every
# named library is in its memory, and a moment after. The program's own loader errors, a
# platform plugin that fails, a driver or voice plugin that never loads all end up here.
watch() {
    local name=$1 dir=$2
    shift 2
    local needed=()
    while [ "$1" != -- ]; do
        needed+=("$1")
        shift
    done
    shift
    local log="$logs/$name.log"
    "${session[@]}" sh -c "$in_folder" sh "$dir" "$@" >"$log" 2>&1 &
    local pid=$! waited=0 missing
    while :; do
        if ! kill -0 "$pid" 2>/dev/null; then
            cat "$log" >&2
            fail "$name ended on its own"
        fi
        missing=""
        for library in "${needed[@]}"; do
            grep -qF "$library" "/proc/$pid/maps" 2>/dev/null || missing="$missing $library"
        done
        [ -z "$missing" ] && break
        if [ "$waited" -ge 120 ]; then
            kill "$pid"
            cat "$log" >&2
            fail "$name did not load:$missing"
        fi
        sleep 0.5
        waited=$((waited + 1))
    done
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        cat "$log" >&2
        fail "$name ended on its own"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    if grep -iE "$missing_library" "$log" >&2; then
        fail "$name reported a missing library or plugin"
    fi
    say "$name came up and loaded ${needed[*]}"
}

# Waits until a window whose title matches is shown on the root's X display.
window_shown() {
    local name=$1 title=$2 dir=$3
    shift 3
    local log="$logs/$name-x11.log"
    "${session[@]}" DISPLAY=:7 QT_QPA_PLATFORM=xcb sh -c "$in_folder" sh "$dir" "$@" \
        >"$log" 2>&1 &
    local pid=$!
    if ! as_user env DISPLAY=:7 timeout 60 xdotool search --sync --onlyvisible --name "$title" \
        >/dev/null; then
        kill "$pid" 2>/dev/null || true
        cat "$log" >&2
        fail "$name showed no window titled '$title'"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    say "$name showed its window '$title'"
}

inside() {
    # Everything mounted here vanishes with this mount namespace, however the test ends.
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mkdir -p "$cache/archives/partial"
    mount --bind "$cache/archives" "$root/var/cache/apt/archives"

    say "installing $(basename "$deb") with its dependencies only"
    apt_in_root update
    apt_in_root install --no-install-recommends "/tmp/$(basename "$deb")"

    in_root useradd --create-home "$user"
    as_user mkdir -m 700 "/tmp/runtime-$user"
    local sample="/home/$user/sample"

    say "veyrath-script"
    as_user veyrath-script sample "$sample"
    as_user veyrath-script check "$sample"

    # Each program reports the version of the package it came in (less Debian's revision).
    local version program reported
    version=$(dpkg-deb --field "$deb" Version)
    for program in veyrath-script veyrath veyrath-editor; do
        reported=$(as_user env QT_QPA_PLATFORM=offscreen "$program" --version)
        [ "$reported" = "$program ${version%-*}" ] ||
            fail "$program --version says '$reported', the package is $version"
        say "$reported"
    done

    watch veyrath "$sample" platforms/libqoffscreen.so sqldrivers/libqsqlite.so \
        voice/veyrath-speech.so libflite.so libespeak-ng.so -- env QT_QPA_PLATFORM=offscreen veyrath
    watch veyrath-editor "$sample" platforms/libqoffscreen.so sqldrivers/libqsqlite.so \
        -- env QT_QPA_PLATFORM=offscreen veyrath-editor
    # The menu entries go through the launcher, which gives each user a script of their own.
    watch "menu entry of veyrath" "/home/$user" platforms/libqoffscreen.so \
        sqldrivers/libqsqlite.so -- env QT_QPA_PLATFORM=offscreen /usr/lib/veyrath/launch veyrath
    as_user test -f "/home/$user/.local/share/veyrath/script/special.mdb" ||
        fail "the menu entry did not set up the user's script"

    # The package has proven its dependencies; only now may more come in, to see the windows
    # on an X server as a desktop shows them.
    say "installing an X server to look at the windows"
    apt_in_root install --no-install-recommends xvfb xdotool
    in_root sh -c 'mkdir -p -m 1777 /tmp/.X11-unix'
    chroot "$root" Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
    local xvfb=$!
    as_user env DISPLAY=:7 timeout 30 \
        sh -c 'until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.5; done' ||
        fail "the X server did not start"
    window_shown veyrath "The Lumbrel Veyrath" "$sample" veyrath
    window_shown veyrath-editor "Edit the Veyrath" "$sample" veyrath-editor
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
}

if [ -n "${in_namespace:-}" ]; then
    deb=$(ls "$work"/deb/*.deb)
    inside
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi

# A tree with something mounted in it (another run's, say) is never removed: that could
# reach into the machine's own /dev.
remove_tree() {
    if grep -qF " $1/" /proc/mounts; then
        fail "$1 has file systems mounted in it; is another run going on?"
    fi
    rm -rf "$1"
}

remove_tree "$root"
remove_tree "$work/bootstrap"
rm -rf "$work/deb" "$logs"
mkdir -p "$cache" "$logs" "$work/deb"

say "building the package"
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$logs/cpack.log" 2>&1 ||
    { cat "$logs/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/*.deb)

# The Debian 12 repositories this machine's apt uses: the release, its updates, its security.
# shellcheck disable=SC2016 # apt's own placeholders
mapfile -t repos < <(apt-get indextargets 'Identifier: Packages' --format '$(REPO_URI) $(RELEASE)' |
    awk '$2 ~ /^bookworm(-updates|-security)?$/' | sort -u)
mirror=$(printf '%s\n' "${repos[@]}" | awk '$2 == "bookworm" { print $1; exit }')
[ -n "$mirror" ] || fail "this machine's apt has no Debian 12 (bookworm) repository"

tarball="$cache/bookworm-minbase.tar.gz"
if [ ! -f "$tarball" ]; then
    say "bootstrapping a minimal Debian 12 from $mirror (once; kept in $tarball)"
    # In a mount namespace of its own, so nothing it mounts outlives it.
    if ! nice unshare --mount --propagation private \
        debootstrap --variant=minbase bookworm "$work/bootstrap" "$mirror" \
        >"$logs/debootstrap.log" 2>&1; then
        tail -n 30 "$logs/debootstrap.log"
        fail "debootstrap"
    fi
    tar --numeric-owner -C "$work/bootstrap" -czf "$tarball.part" .
    mv "$tarball.part" "$tarball"
    remove_tree "$work/bootstrap"
fi

say "unpacking a fresh root"
mkdir "$root"
tar --numeric-owner -C "$root" -xzf "$tarball"
printf '%s\n' "${repos[@]}" | awk '{ print "deb " $1 " " $2 " main" }' >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

unshare --mount --propagation private "$0" --in-namespace "$build" ||
    fail "see above; the root is left in $root and the logs in $logs"
remove_tree "$root"
say "the package installs and runs in a clean Debian 12"
