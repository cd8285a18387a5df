#!/usr/bin/env bash
# The sample's video keys on an X server that can really switch modes:
# 1 to 3 ask for full screen at 640x480, 800x600 and 1024x768 without a
# refresh rate, Enter goes back to the desktop mode.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
command -v Xorg >/dev/null || fail "Xorg is not installed"
enter_tree "$build" start_xorg_dummy
copy_sample "$build"
desktop=$(screen_size)
[ "$desktop" = 1024x768 ] || fail "unexpected desktop mode $desktop"

# press KEY MODE SCREEN: the key switches to MODE, and the screen follows.
press() {
  local before
  local asked
  asked=$(($(count_log "Switching to video mode $2") + 1))
  xdotool windowfocus --sync "$window"
  xdotool key "$1"
  wait_for_count "Switching to video mode $2" "$asked"
  sleep 1
  [ "$(screen_size)" = "$3" ] || fail "after key $1 the screen is $(screen_size), not $3"
}

./zokhost 2>host.err &
host=$!
wait_for_log LOG "Entering the main loop"
window=$(host_window)
wait_for_log LOG 'Loading "modules/content/box.MD2" ... OK'
press 1 640x480 640x480
press 2 800x600 800x600
press 3 1024x768 1024x768
back=$(($(count_log "Switched to default video mode.") + 1))
press 1 640x480 640x480
xdotool key Return
wait_for_count "Switched to default video mode." "$back"
sleep 1
[ "$(screen_size)" = "$desktop" ] || fail "after Enter the screen is $(screen_size)"
kill -0 $host || fail "the host died switching modes"
xdotool windowfocus --sync "$window"
xdotool key Escape
wait_exit $host 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "sample video keys: ok"
