#!/usr/bin/env bash
# Two real starts: the second hands its command line over, adds its address itself, has the
# running copy hold its clipboard text, and ends; a crashed copy does not block the next one.
source "$(dirname "$0")/common.sh"

printf '<ifcopyaddlist>no</ifcopyaddlist>' >"$home/options.ini"
start_first first

timeout 60 "$myambrel" --home "$home" --report-instance http://host/a/pic.jpg \
    >"$dir/second.out" 2>"$dir/second.err" || fail "second start did not end well ($?)"
grep -qF "instance: handed over to the running copy" "$dir/second.out" || fail "no hand-over"
wait_for "$dir/first.out" "instance: came to the front for a second start" 10
list_lines | grep -qx 'pic||http://host/a/pic.jpg' || fail "address not in the list: $(list_lines)"

timeout 60 "$myambrel" --home "$home" --report-instance @http://host/b/copy.jpg \
    >"$dir/third.out" 2>"$dir/third.err" || fail "third start did not end well ($?)"
[ "$(timeout 10 "$ambrel_send" --print-clipboard)" = "http://host/b/copy.jpg" ] ||
    fail "clipboard not held by the running copy"
! list_lines | grep -qF copy.jpg || fail "a copied address was added with ifcopyaddlist no"
kill -0 "$first" 2>/dev/null || fail "the running copy ended"

# A crash leaves the handle key, the lock file and the socket behind.
kill -9 "$first"
wait "$first" 2>/dev/null || true
start_first after_crash
timeout 10 "$ambrel_send" http://host/c/after.jpg || fail "the new copy is not reachable"
wait_listed 'after||http://host/c/after.jpg' 10
echo "1 passed, 0 failed"
