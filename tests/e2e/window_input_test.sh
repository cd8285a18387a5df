#!/usr/bin/env bash
# Real input through a real X server reaches the module as its events:
# one press for a held key, no release for a key pressed before the
# focus, wheel notches, mouse moves; closing the window ends the host
# with exit code 0 after Re_OnDestroy.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
enter_tree "$build"
cp "$build/tests/modules/zok_test_module.so" modules/
record="$tree/record.txt"

# B goes down before the host has a window: its release must not count.
xdotool keydown b
ZOK_TEST_RECORD_FILE="$record" ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
xdotool windowfocus --sync "$window"
sleep 0.3
log_has LOG "Pixel format: red" || fail "no pixel format in the log"
log_has LOG "OpenGL initialized, version" || fail "no OpenGL version in the log"

xdotool keyup b
xdotool keydown a
sleep 0.8  # long enough for the X server's auto-repeat
xdotool keyup a
xdotool click --repeat 3 --delay 50 4
xdotool click 5
xdotool mousemove --window "$window" 100 50
sleep 0.5

count() { grep -c -- "^event $1\$" "$record" || true; }
[ "$(count 'Re_OnPress 30 0 0')" = 1 ] || fail "held A: $(count 'Re_OnPress 30 0 0') presses"
[ "$(count 'Re_OnRelease 30 0 0')" = 1 ] || fail "held A: no single release"
[ "$(count 'Re_OnRelease 48 0 0')" = 0 ] || fail "a release of B, pressed before the focus"
[ "$(count 'Re_OnPress -4 0 0')" = 3 ] || fail "three notches forwards: $(count 'Re_OnPress -4 0 0')"
[ "$(count 'Re_OnPress -5 0 0')" = 1 ] || fail "one notch backwards"
if grep -q "Re_OnRelease -4\|Re_OnRelease -5" "$record"; then fail "the wheel released"; fi
grep -q "^event Re_OnMouseMove 100 50 0$" "$record" || fail "no mouse move to 100,50"
if grep -q "Re_OnCreate\|Re_OnGetFocus\|Re_OnLoseFocus" "$record"; then
  fail "an event the host must never deliver"
fi

"$build/tests/x_close_window" "$window"
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "closing the window: exit code $EXIT_CODE"
[ "$(tail -1 "$record")" = "event Re_OnDestroy 0 0 0" ] || fail "no Re_OnDestroy at the end"
echo "window input: ok"
