# Shared by the end-to-end tests: a private temporary world for real copies of the program,
# bounded waits, and every started process killed on the way out.
set -euo pipefail
myambrel=$1
ambrel_send=$2
dir=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
export XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config" HOME="$dir"
mkdir -m 700 "$dir/run"
home="$dir/home"
mkdir -p "$home"

fail() {
    echo "FAIL: $*" >&2
    for f in "$dir"/*.out "$dir"/*.err; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; } >&2; done
    exit 1
}

# wait_for FILE TEXT SECONDS: until FILE holds TEXT.
wait_for() {
    local deadline=$((SECONDS + $3))
    until grep -qF -- "$2" "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "no \"$2\" in $1 after $3 s"
        sleep 0.1
    done
}

# start_first NAME: a copy that becomes the running one; its pid in $first.
start_first() {
    "$myambrel" --home "$home" --report-instance >"$dir/$1.out" 2>"$dir/$1.err" &
    first=$!
    pids+=("$first")
    wait_for "$dir/$1.out" "instance: first copy" 60
}

# The list file as text lines, without their CR.
list_lines() { tr -d '\r' <"$home/listing/default.fifi" 2>/dev/null || true; }

# wait_listed LINE SECONDS: until the list file holds LINE. The running copy answers a
# hand-over as soon as it has it, and adds it on its next turn.
wait_listed() {
    local deadline=$((SECONDS + $2))
    until list_lines | grep -qxF -- "$1"; do
        [ $SECONDS -lt $deadline ] || fail "no \"$1\" in the list after $2 s: $(list_lines)"
        sleep 0.1
    done
}

# wait_clipboard TEXT SECONDS: until the running copy's clipboard holds TEXT.
wait_clipboard() {
    local deadline=$((SECONDS + $2))
    until [ "$(timeout 10 "$ambrel_send" --print-clipboard)" = "$1" ]; do
        [ $SECONDS -lt $deadline ] || fail "the clipboard does not hold \"$1\" after $2 s"
        sleep 0.1
    done
}
