#!/usr/bin/env bash
# The Debian package made from the normal build (cpack -G DEB, no rebuild): what it holds,
# where the files name the programs, and Depends from dpkg-shlibdeps naming the libraries
# the programs are linked with.
set -euo pipefail
build=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$dir" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$dir/out") >"$dir/cpack.log" 2>&1 ||
    fail "cpack: $(tail -20 "$dir/cpack.log")"
debs=("$dir"/out/myambrel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package: ${debs[*]}"
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' >"$dir/files"
for f in /usr/bin/myambrel /usr/bin/ambrel-send \
    /usr/share/applications/net.corvane.MyAmbrel.desktop \
    /usr/share/applications/net.corvane.MyAmbrel.Send.desktop \
    /usr/share/metainfo/net.corvane.MyAmbrel.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/net.corvane.MyAmbrel.svg \
    /usr/share/icons/hicolor/48x48/apps/net.corvane.MyAmbrel.png \
    /usr/share/icons/hicolor/256x256/apps/net.corvane.MyAmbrel.png \
    /usr/share/myambrel/browser-extension/manifest.json \
    /etc/chromium/native-messaging-hosts/net.corvane.myambrel.json \
    /usr/lib/mozilla/native-messaging-hosts/net.corvane.myambrel.json; do
    grep -qxF "$f" "$dir/files" || fail "the package lacks $f"
done
# Nothing of the build machine: no build folder, no home, no cache of the desktop database
# (dpkg's triggers make that on the machine it is installed on).
bad=$(grep -vE '^/(usr|etc)(/|$)|^/?$' "$dir/files" || true)
[ -z "$bad" ] || fail "files outside /usr and /etc: $bad"
! grep -q "mimeinfo.cache" "$dir/files" || fail "the package carries a desktop cache"

dpkg-deb -x "$deb" "$dir/root"
grep -qxF "Exec=/usr/bin/myambrel %u" "$dir/root/usr/share/applications/net.corvane.MyAmbrel.desktop" ||
    fail "the desktop entry does not start /usr/bin/myambrel"
for f in etc/chromium/native-messaging-hosts usr/lib/mozilla/native-messaging-hosts; do
    grep -qF '"path": "/usr/bin/ambrel-send"' "$dir/root/$f/net.corvane.myambrel.json" ||
        fail "$f: the host is not /usr/bin/ambrel-send"
done
file "$dir/root/usr/bin/myambrel" | grep -q ", stripped" || fail "the program is not stripped"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Each library the programs load names its package in Depends: Qt always, the transfer and
# picture libraries as soon as the programs are linked with them.
needed=$(objdump -p "$dir/root/usr/bin/myambrel" "$dir/root/usr/bin/ambrel-send" |
    awk '/NEEDED/ {print $2}' | sort -u)
check() {  # check LIBRARY-SONAME-PREFIX PACKAGE
    if grep -q "^$1" <<<"$needed"; then
        grep -qE "(^|, )$2( |,|$)" <<<"$depends" || fail "Depends lacks $2 for $1"
        echo "links $1: Depends names $2"
    fi
}
grep -q "^libQt6WebEngineWidgets" <<<"$needed" || fail "the program does not load Qt WebEngine"
check libQt6Widgets libqt6widgets6
check libQt6WebEngineWidgets libqt6webenginewidgets6
check libQt6Core libqt6core6
check libcurl libcurl4
check libjpeg libjpeg62-turbo
check libpng16 libpng16-16
check libgif libgif7
check libimagequant libimagequant0
check libavformat libavformat59
grep -qE "(^|, )qt6-qpa-plugins" <<<"$depends" || fail "Depends lacks qt6-qpa-plugins"
echo "1 passed, 0 failed"
