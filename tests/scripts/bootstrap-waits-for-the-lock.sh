#!/usr/bin/env bash
# scripts/bootstrap against a stand-in apt-get: it waits while another package manager holds a lock, gives
# up at its timeout, and fails at once on any other error. Nothing is installed: apt-get, dpkg-query and
# sudo are fakes on PATH.
set -u
bootstrap="$1"
fakes="$(mktemp -d)"
trap 'rm -rf "$fakes"' EXIT
failed=0

# dpkg-query: every package is missing. sudo: runs its command.
printf '#!/bin/sh\nexit 1\n' > "$fakes/dpkg-query"
printf '#!/bin/sh\nexec "$@"\n' > "$fakes/sudo"
# apt-get: answers from $fakes/plan, one word per call ("lock", "broken" or "ok"); logs its arguments.
cat > "$fakes/apt-get" <<'FAKE'
#!/bin/sh
echo "$*" >> "$FAKES/calls"
answer=$(head -n 1 "$FAKES/plan"); sed -i 1d "$FAKES/plan"
case "$answer" in
  lock) echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 1 (apt-get)" >&2; exit 100 ;;
  broken) echo "E: Unable to locate package" >&2; exit 100 ;;
  *) exit 0 ;;
esac
FAKE
chmod +x "$fakes"/*

# run <name> <timeout> <expected status> <plan...>: runs bootstrap with that plan of answers.
run() {
  local name="$1" timeout="$2" expected="$3"
  shift 3
  printf '%s\n' "$@" > "$fakes/plan"
  : > "$fakes/calls"
  FAKES="$fakes" PATH="$fakes:$PATH" BOOTSTRAP_LOCK_TIMEOUT="$timeout" bash "$bootstrap" > "$fakes/out" 2>&1
  local status=$?
  if { [ "$expected" -eq 0 ] && [ "$status" -ne 0 ]; } || { [ "$expected" -ne 0 ] && [ "$status" -eq 0 ]; }; then
    echo "FAIL $name: exit status $status"
    cat "$fakes/out"
    failed=1
  fi
}

# A lock held during the update, then free: the update runs again and the install follows.
run "waits for the lists lock" 60 0 lock ok ok
if [ "$(grep -c '^-o DPkg::Lock::Timeout=[0-9]* update$' "$fakes/calls")" -ne 2 ] ||
   ! grep -q '^-o DPkg::Lock::Timeout=[0-9]* install -y --no-install-recommends' "$fakes/calls"; then
  echo "FAIL waits for the lists lock: calls were"; cat "$fakes/calls"; failed=1
fi
grep -q "waiting" "$fakes/out" || { echo "FAIL waits for the lists lock: no word of waiting"; failed=1; }

# The dpkg lock's wait is apt-get's own, bounded by what is left of the timeout.
run "hands the timeout to apt-get" 60 0 ok ok
grep -q '^-o DPkg::Lock::Timeout=[1-9][0-9]* install' "$fakes/calls" ||
  { echo "FAIL hands the timeout to apt-get: calls were"; cat "$fakes/calls"; failed=1; }

# A lock that stays held: bootstrap gives up after its timeout, with apt-get's error.
run "gives up at the timeout" 1 1 lock lock lock lock lock
grep -q "Could not get lock" "$fakes/out" || { echo "FAIL gives up at the timeout: apt-get's error not shown"; failed=1; }
[ "$(wc -l < "$fakes/calls")" -le 2 ] || { echo "FAIL gives up at the timeout: tried $(wc -l < "$fakes/calls") times"; failed=1; }

# Any other failure ends bootstrap at once.
run "fails at once on other errors" 60 1 broken ok ok
[ "$(wc -l < "$fakes/calls")" -eq 1 ] || { echo "FAIL fails at once on other errors: tried again"; failed=1; }

exit $failed
