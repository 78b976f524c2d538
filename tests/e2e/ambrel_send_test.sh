#!/usr/bin/env bash
# ambrel-send against a running copy: plain addresses are added, "@" addresses copied (and
# added, add-when-copying being on at a first run), long texts cut, texts holding a line
# break refused; nobody running is an error.
source "$(dirname "$0")/common.sh"

start_first first
timeout 10 "$ambrel_send" http://host/a/sent.jpg || fail "plain hand-over refused"
wait_listed 'sent||http://host/a/sent.jpg' 10

timeout 10 "$ambrel_send" '@http://host/b/copied.jpg' || fail "copy hand-over refused"
wait_clipboard http://host/b/copied.jpg 10
wait_listed 'copied||http://host/b/copied.jpg' 10

long="http://host/c/long.jpg?$(printf 'x%.0s' $(seq 1 300))"
timeout 10 "$ambrel_send" "$long" || fail "long hand-over refused"
wait_listed "long||${long:0:254}" 10

timeout 10 "$ambrel_send" "ambrel:%24http%3A%2F%2Fhost%2Fd%2Fwrapped.jpg" || fail "link refused"
wait_clipboard http://host/d/wrapped.jpg 10

# A text holding a line break or a NUL would write a second line of the sender's choosing
# into the list: refused before sending, whichever way it is written.
before=$(list_lines)
for text in $'http://h/a\r\nevil||/home/user/secret.jpg' $'@http://h/a\nevil||/x.jpg' \
    'ambrel:http%3A%2F%2Fh%2Fa%0D%0Aevil%7C%7C%2Fhome%2Fuser%2Fsecret.jpg' 'ambrel:http://h/a%00b.jpg'; do
    if timeout 10 "$ambrel_send" "$text" 2>"$dir/refused.err"; then
        fail "ambrel-send took a text holding a line break: $text"
    fi
    grep -qF "line break" "$dir/refused.err" || fail "unclear refusal: $(cat "$dir/refused.err")"
done
[ "$(list_lines)" = "$before" ] || fail "a refused text changed the list: $(list_lines)"

kill -9 "$first"
wait "$first" 2>/dev/null || true
if timeout 10 "$ambrel_send" http://host/e/none.jpg 2>"$dir/send.err"; then
    fail "ambrel-send reported success with no copy running"
fi
grep -qF "is not running" "$dir/send.err" || fail "unclear error: $(cat "$dir/send.err")"
echo "1 passed, 0 failed"
