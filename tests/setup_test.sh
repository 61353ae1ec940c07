#!/bin/sh
# scripts/setup against a fake apt-get: it writes nothing to standard output,
# waits while another install holds the lock, and reports a failed install;
# scripts/test-windows skips the Windows part when its packages cannot be
# installed, except under CI=true.  Usage: setup_test.sh SOURCE_DIR
set -eu
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work/bin" "$work/repo/scripts"

# Nothing is installed; we are root; the first apt-get finds the lock held;
# apt-get prints progress on standard output; sleep only counts.
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
exit 1
FAKE
cat >"$work/bin/id" <<'FAKE'
#!/bin/sh
echo 0
FAKE
cat >"$work/bin/sleep" <<'FAKE'
#!/bin/sh
echo slept >>"$FAKE_LOG"
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_LOG"
echo "Reading package lists... Done"
if [ ! -f "$FAKE_LOG.locked" ]; then
  touch "$FAKE_LOG.locked"
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend" >&2
  exit 100
fi
exit "${FAKE_APT_STATUS:-0}"
FAKE
chmod +x "$work"/bin/*
export FAKE_LOG="$work/log"
run_setup() { PATH="$work/bin:$PATH" "$source/scripts/setup" "$@" >"$work/out" 2>"$work/err"; }

# --windows: the package part only (no npm packages).
run_setup --windows || fail "setup failed: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "setup wrote to standard output: $(cat "$work/out")"
grep -q "Reading package lists" "$work/err" || fail "apt-get's progress is not on standard error"
grep -q slept "$work/log" || fail "setup did not wait for the lock"
grep -q "apt-get .*install .*wine64" "$work/log" || fail "setup did not install: $(cat "$work/log")"
echo "ok: setup waits for the lock and writes nothing to standard output"

status=0
FAKE_APT_STATUS=100 run_setup --windows || status=$?
[ "$status" = 1 ] || fail "a failed install: exit $status"
echo "ok: a failed install fails setup"

# test-windows with a setup that cannot install: skipped, or failed under CI.
cp "$source/scripts/test-windows" "$work/repo/scripts/"
printf '#!/bin/sh\nexit 1\n' >"$work/repo/scripts/setup"
chmod +x "$work/repo/scripts/setup"
status=0
CI= "$work/repo/scripts/test-windows" >"$work/out" 2>&1 || status=$?
[ "$status" = 0 ] && grep -q SKIPPED "$work/out" || fail "test-windows outside CI: exit $status"
status=0
CI=true "$work/repo/scripts/test-windows" >"$work/out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "test-windows under CI=true: exit $status, expected 1"
echo "ok: test-windows fails under CI=true when it cannot install its packages"
