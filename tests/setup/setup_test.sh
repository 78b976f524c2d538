#!/usr/bin/env bash
# The install script on a machine where packages are missing, run by root, by a user with
# sudo and by a user without it: stand-ins for id, dpkg-query, sudo and apt-get record what
# it would run.
set -euo pipefail
setup=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

# A PATH of the few real tools the script needs, and the stand-ins.
mkdir "$dir/bin"
for tool in grep env; do ln -s "$(command -v "$tool")" "$dir/bin/$tool"; done
cat >"$dir/bin/id" <<'STUB'
#!/bin/bash
echo "$FAKE_UID"
STUB
cat >"$dir/bin/dpkg-query" <<'STUB'
#!/bin/bash
for p in $FAKE_MISSING; do [ "${!#}" = "$p" ] && exit 1; done
printf 'install ok installed'
STUB
cat >"$dir/bin/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $* (DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-})" >>"$FAKE_LOG"
STUB
cat >"$dir/sudo" <<'STUB'
#!/bin/bash
echo "sudo" >>"$FAKE_LOG"
exec "$@"
STUB
chmod +x "$dir/bin"/* "$dir/sudo"

# case: uid, whether sudo exists, missing packages, expected status, expected log, expected
# text on standard error
cases=(
  "root|0|no|libgif-dev clang-tidy|0|apt-get update -qq (DEBIAN_FRONTEND=noninteractive)
apt-get install -y -qq --no-install-recommends libgif-dev clang-tidy (DEBIAN_FRONTEND=noninteractive)|"
  "user with sudo|1000|yes|libgif-dev|0|sudo
apt-get update -qq (DEBIAN_FRONTEND=noninteractive)
sudo
apt-get install -y -qq --no-install-recommends libgif-dev (DEBIAN_FRONTEND=noninteractive)|"
  "user without sudo|1000|no|libgif-dev clang-tidy|1||These Debian packages are missing: libgif-dev clang-tidy
sudo is not installed; install them as root, for example with:
  su -c 'apt-get update && apt-get install -y --no-install-recommends libgif-dev clang-tidy'"
  "nothing missing, no sudo|1000|no||0||"
)
for row in "${cases[@]}"; do
  IFS='|' read -r -d '' name uid sudo missing status log err <<<"$row" || true
  err=${err%$'\n'}
  rm -f "$dir/bin/sudo" "$dir/log"
  : >"$dir/log"
  [ "$sudo" = yes ] && ln -s "$dir/sudo" "$dir/bin/sudo"
  set +e
  PATH="$dir/bin" FAKE_UID=$uid FAKE_MISSING=$missing FAKE_LOG="$dir/log" \
    /bin/bash "$setup" >"$dir/out" 2>"$dir/err"
  got=$?
  set -e
  problems=()
  [ "$got" = "$status" ] || problems+=("status $got, not $status")
  [ "$(cat "$dir/log")" = "$log" ] || problems+=("ran: $(cat "$dir/log")")
  [ "$(cat "$dir/err")" = "$err" ] || problems+=("said: $(cat "$dir/err")")
  if ((${#problems[@]})); then
    echo "FAIL $name: ${problems[*]}" >&2
    failures=$((failures + 1))
  fi
done
echo "$((${#cases[@]} - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
