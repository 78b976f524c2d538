#!/usr/bin/env bash
# A running copy ended by SIGTERM (logout, kill) or SIGINT (Ctrl+C) ends as closing its
# window does: it exits well and leaves no socket, lock file or handle key behind, so the
# hand-over tool says at once that nothing runs.
source "$(dirname "$0")/common.sh"
# With job control on, a program started in the background does not have SIGINT ignored.
set -m

for signal in TERM INT; do
    start_first "$signal"
    channel=$(sed -n 's/^instance: first copy, channel //p' "$dir/$signal.out")
    [ -S "$channel" ] || fail "SIG$signal: no socket at $channel"
    lock="$(dirname "$channel")/DuDid2myambrel"
    [ -f "$lock" ] || fail "SIG$signal: no lock file at $lock"

    kill -s "$signal" "$first"
    status=0
    for _ in $(seq 300); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$first" 2>/dev/null && fail "SIG$signal: still running after 30 s"
    wait "$first" || status=$?
    [ "$status" -eq 0 ] || fail "SIG$signal: ended with status $status"
    [ ! -e "$channel" ] || fail "SIG$signal: the socket $channel stayed behind"
    [ ! -e "$lock" ] || fail "SIG$signal: the lock file $lock stayed behind"
    ! grep -rqF "$channel" "$XDG_CONFIG_HOME" || fail "SIG$signal: the handle key stayed behind"
    timeout 10 "$ambrel_send" http://host/a/late.jpg 2>"$dir/send.err" &&
        fail "SIG$signal: ambrel-send reported success with no copy running"
    grep -qF "is not running" "$dir/send.err" || fail "SIG$signal: $(cat "$dir/send.err")"
done
echo "1 passed, 0 failed"
