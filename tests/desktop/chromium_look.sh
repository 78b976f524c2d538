#!/usr/bin/env bash
# A look at the browser extension in Chromium: starts Chromium under Xvfb with the extension
# loaded and the host manifest pointing at AMBREL_SEND, right-clicks a picture on a page
# served from 127.0.0.1 and writes a picture of the screen to SHOT. Not run by ctest: a
# person looks at the picture.
#   tests/desktop/chromium_look.sh AMBREL_SEND SHOT [ENTRIES [MYAMBREL]]
# ENTRIES: which boxes count as ticked, a subset of "add copy custom" (default all three).
# MYAMBREL: a running copy (offscreen) to hand over to: the first entry is then chosen, and
# the list and the clipboard are printed.
set -euo pipefail
"$(dirname "$0")/../../scripts/setup" --look
send=$(realpath "$1")
shot=$(realpath "$2")
entries=${3:-add copy custom}
src=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT

# The ticked boxes, as the program's general settings leave them in the per-user store.
export XDG_CONFIG_HOME="$dir/config" HOME="$dir"
mkdir -p "$XDG_CONFIG_HOME/myambrel"
{
    printf 'Windows Registry Editor Version 5.00\r\n'
    for e in $entries; do
        case $e in
        add) name='&Add to Zovururo' page=add.htm ;;
        copy) name='&Copy to clipboard' page=add2.htm ;;
        custom) name='&Custom Copy to clipboard' page=add3.htm ;;
        esac
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\%s]\r\n' "$name"
        printf '@="/tmp/%s"\r\n"Contexts"=hex:02\r\n' "$page"
    done
} >"$XDG_CONFIG_HOME/myambrel/registry.reg"

profile="$dir/profile"
mkdir -p "$profile/NativeMessagingHosts" "$dir/www"
sed "s|@AMBREL_BINDIR@/ambrel-send|$send|" "$src/data/native-messaging/chromium.json.in" \
    >"$profile/NativeMessagingHosts/net.corvane.myambrel.json"
cp "$src/data/icons/myambrel-256.png" "$dir/www/picture.png"
printf '<!DOCTYPE html><title>Pictures</title><h1>A picture</h1><img src="picture.png" width="256">' \
    >"$dir/www/index.html"
/usr/bin/python3 -u -m http.server --bind 127.0.0.1 --directory "$dir/www" 0 >"$dir/http.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "port" "$dir/http.out" && break; sleep 0.1; done
port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$dir/http.out" | head -1)

if [ -n "${4:-}" ]; then
    mkdir -p "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    XDG_RUNTIME_DIR="$dir/run" QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
        "$4" --home "$dir/home" --report-instance >"$dir/myambrel.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 600); do grep -q "instance: first copy" "$dir/myambrel.out" && break; sleep 0.1; done
fi

Xvfb :97 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=:97
sleep 1
chromium --no-sandbox --disable-background-networking --disable-component-update --disable-sync \
    --no-first-run --user-data-dir="$profile" --disable-gpu \
    --disable-features=DisableLoadExtensionCommandLineSwitch \
    --load-extension="$src/browser/extension" --window-position=0,0 --window-size=1024,768 \
    "http://127.0.0.1:$port/index.html" >"$dir/chromium.log" 2>&1 &
pids+=($!)
timeout 120 xdotool search --sync --onlyvisible --class chromium >/dev/null ||
    { cat "$dir/chromium.log" >&2; exit 1; }
# Until the page shows its picture (the machine may be busy).
sleep "${AMBREL_LOOK_WAIT:-8}"
# The picture sits below the heading, near the page's top left corner.
xdotool mousemove 120 330 click 3
sleep 2
# Chromium gathers an extension's entries under its name, the second item from the bottom.
xdotool key Up Up Right
sleep 2
import -window root "$shot"
echo "picture of the menu: $shot"
if [ -n "${4:-}" ]; then
    xdotool key Return
    sleep 3
    echo "list: $(tr -d '\r' <"$dir/home/listing/default.fifi" 2>/dev/null)"
    echo "clipboard: $(XDG_RUNTIME_DIR="$dir/run" "$send" --print-clipboard)"
fi
