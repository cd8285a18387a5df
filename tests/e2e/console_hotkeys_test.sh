#!/usr/bin/env bash
# The console and the hot keys with real key presses: the console key
# opens and closes it and is not seen by the module; the scroll keys are
# taken only while it is open; other keys still reach the module; the
# abort keys end the host after the pass, Re_OnDestroy delivered. A missing
# shared picture stops start-up with the file named in the report.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
enter_tree "$build"
cp "$build/tests/modules/zok_test_module.so" modules/
record="$tree/record.txt"

ZOK_TEST_RECORD_FILE="$record" ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
xdotool windowfocus --sync "$window"
sleep 0.3

press() { xdotool key --delay 80 "$@"; sleep 0.3; }
count() { grep -c -- "^event Re_OnPress $1 0 0\$" "$record" || true; }

press Next                  # PageDown with the console closed: the module's
[ "$(count 81)" = 1 ] || fail "PageDown did not reach the module while the console was closed"
press grave                 # the console key
[ "$(count 41)" = 0 ] || fail "the console key reached the module"
import -window root open.png
press Next Prior            # scrolling, taken by the open console
[ "$(count 81)" = 1 ] && [ "$(count 73)" = 0 ] || fail "scroll keys reached the module while the console was open"
press a                     # an ordinary key still goes through
[ "$(count 30)" = 1 ] || fail "an ordinary key did not reach the module with the console open"
press grave                 # closed again
press Prior
[ "$(count 73)" = 1 ] || fail "PageUp did not reach the module after closing the console"

# The open console shows the log's rows over the frame.
IFS=, read -r red green blue <<<"$(mean_colour open.png 600 200 212 120)"
[ $((red + green + blue)) -gt 30 ] || fail "the open console shows nothing: $red,$green,$blue"

xdotool keydown ctrl shift q
sleep 0.5
xdotool keyup q shift ctrl
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "the abort keys: exit code $EXIT_CODE"
[ "$(tail -1 "$record")" = "event Re_OnDestroy 0 0 0" ] || fail "no Re_OnDestroy after the abort keys"
log_has LOG "Hot keys pressed - exit requested." || fail "the abort is not logged"

# Without the crash picture the host does not start.
mv LOG first.LOG
rm zok/texture/bsod.png
code=0
./zokhost modules/zok_test_module.so 2>missing.err || code=$?
[ "$code" = 1 ] || fail "a missing shared picture: exit code $code"
grep -q "bsod.png\" not found." missing.err || fail "the missing picture is not named: $(cat missing.err)"
echo "console and hot keys: ok"
