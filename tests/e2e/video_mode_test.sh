#!/usr/bin/env bash
# Full screen on an X server that can really switch modes: start-up in the
# configured mode with the refresh-rate override, a switch asked for by the
# module, suspend and resume with the focus, and the desktop mode back at
# exit with the full-screen setting kept.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
command -v Xorg >/dev/null || fail "Xorg is not installed"
enter_tree "$build" start_xorg_dummy
cp "$build/tests/modules/zok_test_module.so" modules/
record="$tree/record.txt"
desktop=$(screen_size)
[ "$desktop" = 1024x768 ] || fail "unexpected desktop mode $desktop"

# A 640x480 window; cases 2 and 3 start from it.
write_windowed_config() {
  cat >config.ini <<'INI'
[session]
MostRecentUsedModule=1
[video]
width=640
height=480
fullscreen=0
INI
}

# 1. Configured full screen with an override of the refresh rate.
cat >config.ini <<'INI'
[session]
MostRecentUsedModule=1
[video]
width=800
height=600
fullscreen=1
[monitor]
refresh_800x600=75
INI
ZOK_TEST_RECORD_FILE="$record" ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
# Without a window manager nobody gives the new window the focus: the host
# first suspends full screen, then resumes it when the window gets it.
wait_for_log LOG "Switched to default video mode."
xdotool windowfocus --sync "$window"
sleep 1
[ "$(screen_size)" = 800x600 ] || fail "start-up full screen: screen is $(screen_size)"
log_has LOG "Refresh rate overridden by configuration file, and set to 75 Hertz, although the optimal rate is 85 Hertz." ||
  fail "no override sentence"
grep -q '75\.00\*' <<<"$(xrandr)" || fail "not at the configured 75 Hz: $(xrandr | grep '\*')"
startup_log=$(log_text LOG | sed '/Entering the main loop/q')
[ "$(grep -c '^Switching to video mode 800x600' <<<"$startup_log")" = 1 ] ||
  fail "start-up switch not logged once: $(grep 'Switching to' <<<"$startup_log")"

# Losing the focus gives the desktop back; regaining it returns to 800x600.
root=$(xdotool search --maxdepth 0 --name '' | head -1)
xdotool windowfocus "$root"
sleep 1
suspended=$(screen_size)
xdotool windowfocus --sync "$window"
sleep 1
[ "$suspended" = "$desktop" ] || fail "losing the focus left the screen at $suspended"
[ "$(screen_size)" = 800x600 ] || fail "regaining the focus: screen is $(screen_size)"

kill -TERM $host
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ "$(screen_size)" = "$desktop" ] || fail "desktop mode not restored: $(screen_size)"
grep -qi '^fullscreen=1' config.ini || fail "the full-screen setting was not kept: $(cat config.ini)"

# 2. Windowed start; the module asks for 800x600 with the system's rate.
write_windowed_config
mv LOG first.LOG
ZOK_TEST_RECORD_FILE="$record" ZOK_TEST_SWITCH_MODE="800 600 0" ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
xdotool windowfocus --sync "$window"
wait_for_log LOG "Switching to video mode 800x600..."
sleep 0.5
grep -q "^switched 1 800x600$" "$record" || fail "the module did not see full screen: $(grep switched "$record")"
[ "$(screen_size)" = 800x600 ] || fail "module switch: screen is $(screen_size)"
kill -TERM $host
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ "$(screen_size)" = "$desktop" ] || fail "desktop mode not restored after the module's switch"
for key in width=800 height=600 fullscreen=1; do
  grep -qi "^$key" config.ini || fail "config.ini lacks $key: $(cat config.ini)"
done
# 3. The module's switch sends it Re_OnResize from inside its own frame; a
# module that fails there is unwound to the outer call and unloaded there,
# and the host goes on.
write_windowed_config
mv LOG second.LOG
ZOK_TEST_RECORD_FILE="$record" ZOK_TEST_SWITCH_MODE="800 600 0" ZOK_TEST_CRASH_AT=Re_OnResize \
  ZOK_TEST_CRASH_KIND=exception ./zokhost modules/zok_test_module.so 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
xdotool windowfocus --sync "$window"
wait_for_log LOG "Module zok_test_module.so crashed while handling Re_OnResize."
wait_for_log LOG "Module zok_test_module.so crashed while handling Re_OnCycle."
wait_for_log LOG "The module is out of service"
sleep 0.5
kill -0 $host || fail "the host died with a module that failed inside a nested call"
kill -TERM $host
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "nested crash: exit code $EXIT_CODE"
echo "video modes: ok"
