#!/usr/bin/env bash
# The built host survives a module that dereferences null in Re_OnCycle:
# it logs the crash, runs on without the module and quits normally.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
enter_tree "$build"
cp "$build/tests/modules/zok_test_module.so" modules/

ZOK_TEST_RECORD_FILE="$tree/record.txt" ZOK_TEST_CRASH_AT=Re_OnCycle ZOK_TEST_CRASH_KIND=null \
  ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Module zok_test_module.so crashed while handling Re_OnCycle."
wait_for_log LOG "Entering the main loop"
sleep 0.5
kill -0 $host || fail "the host died with its module"
log_has LOG "Segmentation fault (SIGSEGV) in the module" || fail "the fault is not described"
grep -q "crash null" record.txt || fail "the module never got to crash"

kill -TERM $host
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a contained crash"
if grep -q "Re_OnDestroy" record.txt; then fail "a crashed module got Re_OnDestroy"; fi
echo "module crash: ok"
