"""ambrel-send started as the browser extension's host, the way Chromium and Firefox start
it, fed real messages through its standard input: answers, hand-overs reaching a running
copy, a start of the program when none runs, and broken framing refused with a clear error.
"""
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SEND, MYAMBREL = sys.argv[1:3]
CHROMIUM = ["chrome-extension://fdjbacipnbjikeanbpaeekejjbgbbnih/"]
FIREFOX = ["/usr/lib/mozilla/native-messaging-hosts/net.corvane.myambrel.json",
           "myambrel@corvane.net"]


def frame(message):
    body = message if isinstance(message, bytes) else json.dumps(message).encode()
    return struct.pack("=I", len(body)) + body


def answers(raw):
    out = []
    while len(raw) >= 4:
        (length,) = struct.unpack("=I", raw[:4])
        assert len(raw) >= 4 + length, "an answer cut short"
        out.append(json.loads(raw[4:4 + length]))
        raw = raw[4 + length:]
    assert not raw, "bytes after the last answer"
    return out


def host(args, data, env):
    """The host's answers, exit code and standard error for the bytes given on its input."""
    run = subprocess.run([SEND] + args, input=data, capture_output=True, env=env, timeout=30)
    return answers(run.stdout), run.returncode, run.stderr.decode()


def wait_for(predicate, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not predicate():
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


def list_lines(home):
    try:
        with open(os.path.join(home, "listing", "default.fifi"), "rb") as f:
            return f.read().decode().replace("\r", "").splitlines()
    except FileNotFoundError:
        return []


def started_copies(tmp):
    """Our own programs started by the host: their command line names our executable and
    their environment our private folder."""
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmdline = f.read().split(b"\0")
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read()
        except OSError:
            continue
        if cmdline[0] == os.path.realpath(MYAMBREL).encode() and tmp.encode() in environ:
            pids.append(int(pid))
    return pids


def main():
    tmp = tempfile.mkdtemp()
    home = os.path.join(tmp, "home")
    os.makedirs(home)
    os.makedirs(os.path.join(tmp, "run"), mode=0o700)
    env = dict(os.environ, HOME=tmp, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
               XDG_RUNTIME_DIR=os.path.join(tmp, "run"), AMBREL_HOME=home,
               QT_QPA_PLATFORM="offscreen", QTWEBENGINE_DISABLE_SANDBOX="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
    children = []
    try:
        out = open(os.path.join(tmp, "first.out"), "w+")
        first = subprocess.Popen([MYAMBREL, "--report-instance"], stdout=out,
                                 stderr=subprocess.DEVNULL, env=env)
        children.append(first.pid)
        wait_for(lambda: "instance: first copy" in open(out.name).read(), "the first copy")

        # Chromium's way: one connection, several messages, the browser closes it.
        got, code, err = host(CHROMIUM, frame({"request": "entries"}) +
                              frame({"request": "handover", "text": "http://host/a/sent.jpg"}) +
                              frame({"request": "handover", "text": "@http://host/b/copied.jpg"}),
                              env)
        assert code == 0, err
        assert got == [{"entries": []}, {"ok": True}, {"ok": True}], got
        # The running copy answers a hand-over as soon as it has it and runs it on its next turn.
        wait_for(lambda: "sent||http://host/a/sent.jpg" in list_lines(home), "the sent address")
        clip = lambda: subprocess.run([SEND, "--print-clipboard"], capture_output=True, env=env,
                                      timeout=30).stdout.decode().strip()
        wait_for(lambda: clip() == "http://host/b/copied.jpg", "the copied address", 10)

        # Firefox's way; broken messages get an error answer and the stream goes on, until a
        # length no extension sends ends it.
        got, code, err = host(FIREFOX, frame(b"{not json") +
                              frame({"request": "handover", "text": "http://h/a.jpg\r\nx"}) +
                              struct.pack("=I", 1 << 20) + b"{}", env)
        assert got == [{"error": "malformed message: not JSON"},
                       {"error": "a hand-over text is one line"},
                       {"error": "message of 1048576 bytes refused (at most 65536)"}], got
        assert code == 1 and "ambrel-send: message of 1048576 bytes refused" in err, (code, err)

        got, code, err = host(["--native-host"], frame({"request": "entries"})[:7], env)
        assert got == [] and code == 1, (got, code)
        assert "ambrel-send: message cut short: 3 of 22 bytes" in err, err

        # With no copy running, the host starts the program with the text, as the browser's
        # context-menu entries do, and answers at once.
        os.kill(first.pid, signal.SIGKILL)
        first.wait()
        got, code, err = host(CHROMIUM, frame({"request": "handover",
                                               "text": "http://host/c/started.jpg"}), env)
        assert code == 0 and got == [{"ok": True}], (got, code, err)
        wait_for(lambda: "started||http://host/c/started.jpg" in list_lines(home),
                 "the started program to add the address")
        wait_for(lambda: started_copies(tmp), "the started program")
        children.extend(started_copies(tmp))

        # So does an ambrel: link that a browser page opens.
        for pid in started_copies(tmp):
            os.kill(pid, signal.SIGKILL)
        wait_for(lambda: not started_copies(tmp), "the started program to end")
        run = subprocess.run([SEND, "ambrel:http%3A%2F%2Fhost%2Fd%2Flinked.jpg"],
                             capture_output=True, env=env, timeout=30)
        assert run.returncode == 0, run.stderr
        wait_for(lambda: "linked||http://host/d/linked.jpg" in list_lines(home),
                 "the program started by a link to add the address")
        children.extend(started_copies(tmp))
    finally:
        for pid in children:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        shutil.rmtree(tmp, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
