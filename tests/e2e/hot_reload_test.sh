#!/usr/bin/env bash
# Hot reload on the built host: a module driven into a state by key presses
# is rebuilt three ways (unchanged, a field swapped for another, an
# enumeration value renamed, the last by the real build) and keeps its
# state by the conversion rules, without running FirstRun again; the copy
# directory keeps the previous copy as .back. A build that writes an empty
# file first is retried until complete; a broken library fails once, is
# not retried until it changes, Space retries it, and the next good build
# brings the state back.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
variants=$build/tests/modules/state
enter_tree "$build"
sed -i 's/^CheckIfModulesAreRecompiledPeriod=.*/CheckIfModulesAreRecompiledPeriod=100/' zokhost.ini
watched=modules/zok_state_module.so
copy=modules/copies/zok_state_module.so
record=$tree/record.txt
touch "$record"

# What a build does: the new library appears under the watched name at once.
rebuild_with() {
  cp "$1" "$watched.tmp"
  mv -f "$watched.tmp" "$watched"
}
lines() { wc -l <"$record"; }
# expect_state_after LINE TEXT: the first state recorded after line LINE
# of the record (a reloaded module records its state at its first frame).
expect_state_after() {
  local from=$1 want=$2 got=""
  for _ in $(seq 150); do
    got=$(tail -n +"$((from + 1))" "$record" | grep -m1 '^state ' || true)
    [ -n "$got" ] && break
    sleep 0.1
  done
  [ "$got" = "$want" ] || fail "state: \"$got\", expected \"$want\""
}
last_state() { grep '^state ' "$record" | tail -1; }
expect_state() {
  for _ in $(seq 50); do
    [ "$(last_state)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "state: \"$(last_state)\", expected \"$1\""
}
# The reader's report of a load that needed conversions.
conversion_report() { log_text LOG | sed -n '/does not quite match the module/,/^$/p'; }
expect_reported() {
  conversion_report | grep -qF -- "$1" || {
    log_text LOG >&2
    fail "not reported: $1"
  }
}

cp "$variants/zok_state_module.so" "$watched"
ZOK_TEST_RECORD_FILE="$record" ./zokhost "$watched" 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
xdotool windowfocus --sync "$window"
sleep 0.3
xdotool key --delay 80 a a a i i c c b b
expect_state "state counter=3 items=2:item1,item2 colour=Blue bonus=2"

# (a) The same source rebuilt: everything carries over, nothing reported.
from=$(lines)
rebuild_with "$variants/zok_state_module.so"
expect_state_after "$from" "state counter=3 items=2:item1,item2 colour=Blue bonus=2"
[ "$(conversion_report)" = "" ] || fail "an unchanged module reported conversions"
cmp -s "$copy" "$variants/zok_state_module.so" || fail "the copy is not the new library"
cmp -s "${copy%.so}.back" "$variants/zok_state_module.so" || fail "no .back of the old copy"

# (b) f_bonus removed, f_extra added: the counter, items and colour stay,
# the added field starts at 0.
from=$(lines)
rebuild_with "$variants/zok_state_module_field_changed.so"
expect_state_after "$from" "state counter=3 items=2:item1,item2 colour=Blue extra=0"
expect_reported "Field F_BONUS"
expect_reported "Field F_EXTRA"
expect_reported "Class TSTATEMODULE has changed its layout"
cmp -s "${copy%.so}.back" "$variants/zok_state_module.so" || fail ".back is not the previous copy"
cmp -s "$copy" "$variants/zok_state_module_field_changed.so" || fail "the copy is not the new library"
xdotool key --delay 80 a b
expect_state "state counter=4 items=2:item1,item2 colour=Blue extra=1"

# (c) Blue renamed Navy, built by the real build: the stored Blue has no
# value of that name any more, so it reads as the first value, Red.
live=$variants/zok_state_module_enum_renamed.so
rm -f "$live"
ln -sfn "$live" "$watched"
from=$(lines)
cmake --build "$build" --target zok_state_module_enum_renamed >build.out 2>&1 ||
  { cat build.out >&2; fail "the build failed"; }
expect_state_after "$from" "state counter=4 items=2:item1,item2 colour=Red bonus=0"
expect_reported "Enumeration TCOLOUR no longer has the value BLUE; it is read as RED."
expect_reported "Enumeration TCOLOUR has changed"
xdotool key --delay 80 c c
expect_state "state counter=4 items=2:item1,item2 colour=Navy bonus=0"

# A build that writes an empty file first: read attempts until complete.
rm -f "$watched"
: >"$watched"
wait_for_log LOG "Attempt #2 to read \"$tree/$watched\" failed with \"Zero DLL file size"
from=$(lines)
cat "$live" >"$watched"
expect_state_after "$from" "state counter=4 items=2:item1,item2 colour=Navy bonus=0"

# A library the host cannot use: one failure, no retry of the same file,
# Space retries; the next good build restores the last saved session.
rebuild_with "$build/tests/modules/zok_test_module_no_callback.so"
wait_for_log LOG "Attempt failed."
sleep 1
[ "$(count_log "Attempt failed.")" = 1 ] || fail "the same broken file was tried again"
xdotool key space
wait_for_count "Attempt failed." 2 5
from=$(lines)
rebuild_with "$live"
expect_state_after "$from" "state counter=4 items=2:item1,item2 colour=Navy bonus=0"

[ "$(grep -c '^firstrun$' "$record")" = 1 ] || fail "FirstRun ran again after a reload"
"$build/tests/x_close_window" "$window"
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ -f sessions/zok_state_module.zok ] || fail "no session file at the end"
echo "hot reload: ok"
