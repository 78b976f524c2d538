#!/usr/bin/env bash
# Starts the real program twice on a fresh data folder: the first run must write its
# picture and the first-run options, the second must hand its argument over to the list;
# then six starts at once must all land their links in the one list.
set -euo pipefail
exe=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config"
mkdir -m 700 "$dir/run"
fail() { echo "FAIL: $*" >&2; exit 1; }

# As root the program must turn the engine's sandbox off by itself, and say so once.
(unset QTWEBENGINE_DISABLE_SANDBOX; timeout 60 "$exe" --home "$dir/home" --screenshot "$dir/out.png") 2>"$dir/err1" || fail "first start: $(cat "$dir/err1")"
if [ "$(id -u)" -eq 0 ]; then
  [ "$(grep -c "sandbox is off" "$dir/err1")" = 1 ] || fail "no word of the sandbox on standard error"
fi
[ "$(head -c 8 "$dir/out.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "out.png is not a PNG"
keys=$(grep -o '<[a-z0-9]*>' "$dir/home/options.ini" | tr -d '<>' | tr '\n' ' ')
expected="downdir convdir thumbext excextensions ifcopyaddlist usetheextfeature webexcextensions webusetheextfeature useupset resizetoscreen timebetweenpictures defaultwebpage "
[ "$keys" = "$expected" ] || fail "options.ini keys: $keys"
for sub in listing upfiles temp wall down conv; do [ -d "$dir/home/$sub" ] || fail "no $sub/"; done

timeout 60 "$exe" --home "$dir/home" --screenshot "$dir/out2.png" http://host/a/pic.jpg 2>"$dir/err2" || fail "second start: $(cat "$dir/err2")"
[ "$(cat "$dir/home/listing/default.fifi")" = $'pic||http://host/a/pic.jpg\r' ] || fail "default.fifi: $(od -c "$dir/home/listing/default.fifi")"
echo "1 passed, 0 failed"
