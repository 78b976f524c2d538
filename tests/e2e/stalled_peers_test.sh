#!/usr/bin/env bash
# The running copy never waits on its channel: peers that connect and stall (silent, or half
# a message) hold up no sender, and a hand-over is answered before it runs, so a command
# that waits for the person (an error message) keeps no sender waiting either.
source "$(dirname "$0")/common.sh"

start_first first
channel=$(sed -n 's/^instance: first copy, channel //p' "$dir/first.out")

/usr/bin/python3 - "$channel" >"$dir/stalled.out" <<'PY' &
import socket, sys, time
peers = []
for partial in [b""] * 5 + [b"\x02\x0a", b"\x02\x0a\x00\x00\x00abc"] * 2:
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.connect(sys.argv[1])
    s.sendall(partial)
    peers.append(s)
print("stalled", flush=True)
time.sleep(60)
PY
pids+=($!)
wait_for "$dir/stalled.out" stalled 10
timeout 10 "$ambrel_send" http://host/a/first.jpg 2>"$dir/first-send.err" ||
    fail "a sender behind stalled peers: $(cat "$dir/first-send.err")"
wait_listed 'first||http://host/a/first.jpg' 10

# The list file cannot be read now: the next hand-over ends on an error message, which
# waits for a click that never comes.
rm "$home/listing/default.fifi"
mkdir "$home/listing/default.fifi"
timeout 10 "$ambrel_send" http://host/b/blocked.jpg 2>"$dir/blocked.err" ||
    fail "a hand-over whose command waits was not answered: $(cat "$dir/blocked.err")"
timeout 10 "$ambrel_send" '@http://host/c/copied.jpg' 2>"$dir/copied.err" ||
    fail "a hand-over while an error message waits: $(cat "$dir/copied.err")"
# The copy runs hand-overs on while its message waits.
wait_clipboard http://host/c/copied.jpg 10
kill -0 "$first" 2>/dev/null || fail "the running copy ended"
echo "1 passed, 0 failed"
