#!/usr/bin/env bash
# A module's frame reaches the screen; without a module the host draws its
# crash screen with the console over it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
enter_tree "$build"
cp "$build/tests/modules/zok_test_module.so" modules/
export ZOK_TEST_CLEAR_COLOUR="32 104 80"

shot() {  # shot MODULE PICTURE [LATER_PICTURE SECONDS]
  ./zokhost "$1" 2>host.err &
  host=$!
  wait_for_log LOG "Entering the main loop"
  sleep 1
  import -window root "$2"
  if [ $# -gt 2 ]; then
    sleep "$4"
    import -window root "$3"
  fi
  kill -TERM $host
  wait_exit $host 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
}

# New log lines show over the module's frame, then fade away: shown 5 s
# and fading 2 s in the shipped settings, counted from the last line of the
# group, which is the timer's calibration line 5 s after start.
shot modules/zok_test_module.so sample.png faded.png 12
# The window is centred: the middle of the screen is the middle of the frame.
[ "$(pixel_at sample.png 512 384)" = "32,104,80" ] || fail "module frame: $(pixel_at sample.png 512 384)"
[ "$(mean_colour sample.png 700 60 150 95)" != "32,104,80" ] || fail "no new log lines over the frame"
[ "$(mean_colour faded.png 700 60 150 95)" = "32,104,80" ] ||
  fail "the log lines did not fade: $(mean_colour faded.png 700 60 150 95)"

# Without a module the crash screen shows: blue, under the console's text.
shot modules/missing.so fallback.png
IFS=, read -r red green blue <<<"$(mean_colour fallback.png 600 120 212 560)"
[ "$blue" -gt $((red + 15)) ] && [ "$blue" -gt $((green + 15)) ] ||
  fail "the crash screen is not blue: $red,$green,$blue"
# The console's rows are there: white text makes the log area greyer than
# the empty strip at the bottom of the window.
IFS=, read -r text_red _ _ <<<"$(mean_colour fallback.png 400 60 130 100)"
IFS=, read -r empty_red _ _ <<<"$(mean_colour fallback.png 600 30 212 648)"
[ "$text_red" -gt $((empty_red + 10)) ] ||
  fail "no console text over the crash screen: $text_red against $empty_red"
echo "window picture: ok"
