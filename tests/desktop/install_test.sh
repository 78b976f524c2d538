#!/usr/bin/env bash
# cmake --install into a home folder's ~/.local, as a person without root installs it, and
# into a prefix of no known kind: the installed tree as desktops and browsers read it.
set -euo pipefail
build=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME="$dir/home"
unset XDG_CONFIG_HOME
prefix="$HOME/.local"
cmake --install "$build" --prefix "$prefix" >"$dir/install.log" || fail "install: $(cat "$dir/install.log")"

for exe in myambrel ambrel-send; do
    [ -x "$prefix/bin/$exe" ] || fail "no $exe in bin/"
done
"$prefix/bin/myambrel" --help | grep -q "usage: myambrel" || fail "installed myambrel does not run"

apps="$prefix/share/applications"
main="$apps/net.corvane.MyAmbrel.desktop"
handler="$apps/net.corvane.MyAmbrel.Send.desktop"
for entry in "$main" "$handler"; do
    [ -f "$entry" ] || fail "no $entry"
    desktop-file-validate "$entry" >"$dir/validate.out" 2>&1 || fail "$(cat "$dir/validate.out")"
    ! grep -q "error:" "$dir/validate.out" || fail "$(cat "$dir/validate.out")"
done
# key=value lines each entry must hold exactly
expect_lines() {
    local file=$1
    shift
    for line in "$@"; do grep -qxF -- "$line" "$file" || fail "$file lacks \"$line\""; done
}
expect_lines "$main" "Name=My Ambrel" "Categories=Graphics;Network;" "Icon=net.corvane.MyAmbrel" \
    "Exec=$prefix/bin/myambrel %u" "Type=Application"
grep -q "^Comment=." "$main" || fail "no comment in $main"
expect_lines "$handler" "Exec=$prefix/bin/ambrel-send %u" "NoDisplay=true" \
    "MimeType=x-scheme-handler/ambrel;"
grep -qxF "x-scheme-handler/ambrel=net.corvane.MyAmbrel.Send.desktop;" "$apps/mimeinfo.cache" ||
    fail "the ambrel: handler is not in the desktop's cache"

appstreamcli validate --no-net "$prefix/share/metainfo/net.corvane.MyAmbrel.metainfo.xml" \
    >"$dir/appstream.out" 2>&1 || fail "$(cat "$dir/appstream.out")"

icons="$prefix/share/icons/hicolor"
grep -q "<svg" "$icons/scalable/apps/net.corvane.MyAmbrel.svg" || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    png="$icons/${size}x${size}/apps/net.corvane.MyAmbrel.png"
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png: $(file "$png")"
done

# The host manifests in the user's folders name the installed tool and the extension that is
# installed beside the program: Chromium by the id its key gives, Firefox by its own id.
/usr/bin/python3 - "$prefix" "$HOME/.config/chromium/NativeMessagingHosts" \
    "$HOME/.mozilla/native-messaging-hosts" <<'PY' || fail "host manifests"
import base64, hashlib, json, sys
prefix, chromium, firefox = sys.argv[1:4]
ext = json.load(open(prefix + "/share/myambrel/browser-extension/manifest.json"))
assert ext["manifest_version"] == 3, ext["manifest_version"]
digest = hashlib.sha256(base64.b64decode(ext["key"])).hexdigest()[:32]
chromium_id = "".join(chr(ord("a") + int(c, 16)) for c in digest)
for folder, allowed, value in [
        (chromium, "allowed_origins", "chrome-extension://%s/" % chromium_id),
        (firefox, "allowed_extensions", ext["browser_specific_settings"]["gecko"]["id"])]:
    host = json.load(open(folder + "/net.corvane.myambrel.json"))
    assert host["name"] == "net.corvane.myambrel", host
    assert host["path"] == prefix + "/bin/ambrel-send", host
    assert host["type"] == "stdio", host
    assert host[allowed] == [value], (host, value)
for name in ["background.js", "menu.js", "icon-48.png"]:
    open(prefix + "/share/myambrel/browser-extension/" + name, "rb").close()
PY

# A prefix that is neither the home folder nor the system's keeps the manifests beside the
# program, where no browser looks without being told.
other="$dir/opt"
cmake --install "$build" --prefix "$other" >"$dir/install2.log" || fail "$(cat "$dir/install2.log")"
for f in etc/chromium/native-messaging-hosts lib/mozilla/native-messaging-hosts; do
    grep -qF "\"path\": \"$other/bin/ambrel-send\"" "$other/$f/net.corvane.myambrel.json" ||
        fail "no manifest in $other/$f"
done
grep -qF "Browser host manifests: link" "$dir/install2.log" || fail "no word on the manifests"
echo "1 passed, 0 failed"
