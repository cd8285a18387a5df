#!/usr/bin/env bash
# Builds the engine and runs zokhost with the sample module. On a desktop
# it opens its window; with no display it runs under Xvfb for a few
# seconds and leaves a screenshot in build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zokhost _TESSEL01 zok_data

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/zokhost
fi

seconds=${ZOK_HEADLESS_SECONDS:-6}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

export DISPLAY=$display ZOK_NO_DIALOGS=1
./build/zokhost &
host=$!
sleep "$seconds"
import -window root build/screenshot.png
kill -TERM $host 2>/dev/null || true
status=0
wait $host || status=$?
echo "zokhost exited with code $status; screenshot: build/screenshot.png; log: build/LOG"
exit $status
