#!/usr/bin/env bash
# The sample module's frame reaches the screen; without a module the host
# draws its own fallback screen.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
tree=$(make_tree "$build")
start_xvfb
trap 'stop_xvfb; kill -KILL ${host:-} 2>/dev/null || true; rm -rf "$tree"' EXIT
cd "$tree"
cp "$build/modules/_TESSEL01.so" modules/

shot() {  # shot MODULE PICTURE
  ./zokhost "$1" 2>host.err &
  host=$!
  wait_for_log LOG "Entering the main loop"
  sleep 1
  import -window root "$2"
  kill -TERM $host
  wait_exit $host 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
}

shot modules/_TESSEL01.so sample.png
# The window is centred: the middle of the screen is the middle of the frame.
[ "$(pixel_at sample.png 512 384)" = "32,104,80" ] || fail "sample frame: $(pixel_at sample.png 512 384)"

shot modules/missing.so fallback.png
[ "$(pixel_at fallback.png 512 384)" = "0,20,89" ] || fail "fallback screen: $(pixel_at fallback.png 512 384)"
echo "window picture: ok"
