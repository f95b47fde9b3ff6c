#!/usr/bin/env bash
# Builds the Debian package with cpack, checks it with lintian, installs it
# with dpkg, starts the installed tool from its menu entry with the installed
# service, and removes the package again, leaving none of its files behind.
#
# Needs root for dpkg; exits 77 (skipped) otherwise, and also when the
# package is already installed, which this test never takes away. Files an
# earlier `cmake --install` put under /usr are taken over by dpkg -i and are
# gone after dpkg -r; the test does not put them back (`cmake --install
# build` does).
source "$(dirname "$0")/lib.sh"

PACKAGE=kaiwoimebs-configtool
[ "$(id -u)" -eq 0 ] || { echo "SKIP: dpkg needs root"; exit 77; }
status=$(dpkg-query -W -f='${Status}' "$PACKAGE" 2>/dev/null || true)
if [[ $status == *" installed" ]]; then
    echo "SKIP: $PACKAGE is installed already; this test would remove it"
    exit 77
fi

# dpkg runs ldconfig and start-stop-daemon from the sbin directories.
export PATH="$PATH:/usr/sbin:/sbin"
# Whatever happens, the package does not stay installed.
installed=""
trap 'kill $(jobs -p) 2>/dev/null || true; [ -z "$installed" ] || dpkg --purge "$PACKAGE" >/dev/null 2>&1 || true' EXIT

cpack --config "$KAIWO_BUILD_DIR/CPackConfig.cmake" -B "$KAIWO_SCRATCH/pkg" >"$KAIWO_SCRATCH/cpack.log" 2>&1 ||
    { cat "$KAIWO_SCRATCH/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$KAIWO_SCRATCH"/pkg/"$PACKAGE"_*.deb)

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt5widgets5 libfcitx-utils0 psmisc file xdg-utils qml-module-qtquick2 qml-module-qtquick-window2; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

lintian --fail-on error "$deb" || fail "lintian found errors"

installed=1
dpkg -i "$deb" >"$KAIWO_SCRATCH/dpkg.log" 2>&1 || { cat "$KAIWO_SCRATCH/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg -L "$PACKAGE" >"$KAIWO_SCRATCH/files.txt"

desktop=/usr/share/applications/com.kaiwoime.configtool.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net /usr/share/metainfo/com.kaiwoime.configtool.metainfo.xml >/dev/null
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128; do
    [ -s "/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" ] || fail "no ${size}px icon $icon"
done
man -w kaiwoIme-configtool >/dev/null || fail "no man page"
[ -s /usr/share/kaiwoimebs/KaiwoShell/dict/PCPYDict/env.ini ] || fail "the data root is not installed"
[ -s /usr/share/fcitx/addon/fcitx-kaiwo.conf ] && [ -s /usr/share/fcitx/addon/fcitx-kaiwo-service.conf ] && [ -s "$(pkg-config --variable=libdir fcitx)/fcitx/fcitx-kaiwo.so" ] ||
    fail "the input method is not where fcitx looks for addons"

# As a user's session would: the system data root, no build tree on PATH, no
# library path.
unset KAIWOIMEBS_DATA_ROOT LD_LIBRARY_PATH
SERVICE=/usr/bin/kaiwoimebs-service
start_service

# The menu entry's command line, with field codes dropped.
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ %[fFuU]//g')
PATH=/usr/bin:/bin $exec_line &
tool=$!
wait_for "the installed tool's window" tool_window
[ "$(readlink "/proc/$tool/exe")" = /usr/bin/kaiwoIme-configtool ] || fail "the menu entry ran $(readlink "/proc/$tool/exe")"
for shell in libKaiwoShell.so libKaiwoWbShell.so; do
    grep -q " /usr/lib/.*/$shell\$" "/proc/$tool/maps" || fail "$shell was not loaded from /usr/lib"
done
kill "$tool" "$SERVICE_PID"
wait "$tool" "$SERVICE_PID" 2>/dev/null || true

dpkg -r "$PACKAGE" >"$KAIWO_SCRATCH/dpkg.log" 2>&1 || { cat "$KAIWO_SCRATCH/dpkg.log" >&2; fail "dpkg -r failed"; }
dpkg --purge "$PACKAGE" >/dev/null
installed=""
! dpkg-query -W "$PACKAGE" >/dev/null 2>&1 || fail "dpkg still knows $PACKAGE"

# Files must be gone; a directory may stay only when something else still
# lives in it (shared ones like /usr/share/icons).
left=()
while read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        [ -n "$(ls -A "$path")" ] || left+=("$path (empty directory)")
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left+=("$path")
    fi
done <"$KAIWO_SCRATCH/files.txt"
[ ${#left[@]} -eq 0 ] || fail "left behind: ${left[*]}"
echo "PASS: installed, started and removed $(basename "$deb")"
