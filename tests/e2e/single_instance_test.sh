#!/usr/bin/env bash
# A second zokhost refuses to run and leaves the first one's files alone;
# a lock left by a killed host does not block the next start.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tree=$(make_tree "$1")
start_xvfb
trap 'stop_xvfb; kill -KILL ${first:-} ${third:-} 2>/dev/null || true; rm -rf "$tree"' EXIT
cd "$tree"

./zokhost 2>first.err &
first=$!
wait_for_log LOG "Entering the main loop"
before=$(md5sum LOG)

./zokhost 2>second.err &
second=$!
wait_exit $second 20
[ "$EXIT_CODE" = 1 ] || fail "second instance exited with $EXIT_CODE, expected 1"
[ "$(md5sum LOG)" = "$before" ] || fail "second instance changed the first one's LOG"
grep -q "Zokwerk is already running" second.err || fail "second instance showed no final report: $(cat second.err)"
kill -0 $first || fail "first instance died"

kill -KILL $first
wait $first 2>/dev/null || true
mv LOG first.LOG  # so the wait below sees the new host's log

./zokhost 2>third.err &
third=$!
wait_for_log LOG "Entering the main loop"
kill -TERM $third
wait_exit $third 20
[ "$EXIT_CODE" = 0 ] || fail "restart after a killed host exited with $EXIT_CODE"
echo "single instance: ok"
