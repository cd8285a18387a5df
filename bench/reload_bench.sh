#!/usr/bin/env bash
# Time of a hot reload on the built host, with the state module holding
# ITEMS extra objects. The file system's own clocks tell the steps apart:
# the session file is born when the old module starts saving (right after
# the check took the new file) and last written when the save ends; the
# record file is written at the new module's first frame, once it has
# restored its state. So "swap" is save, unload, copy, load, restore and
# one frame, without the check period and the stability wait before it.
# File times are as fine as the kernel's clock tick (a few ms).
# The sample module is measured the same way, its first frame marked by
# the log's last write: the scene it loads again on that frame.
# Run as: bench/reload_bench.sh BUILD_DIR [ITEMS...]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
build=$1
shift
sizes=("${@:-0 100000}")
module=$build/tests/modules/state/zok_state_module.so
start_xvfb
trap 'stop_xvfb; kill -KILL ${host:-} 2>/dev/null || true; rm -rf "${tree:-}"' EXIT
# ms_between T0 T1: milliseconds between two "seconds.microseconds" times.
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }
sorted() { printf '%s\n' "$@" | sort -n | tr '\n' ' '; }

for items in ${sizes[*]}; do
  tree=$(make_tree "$build")
  cd "$tree"
  sed -i 's/^CheckIfModulesAreRecompiledPeriod=.*/CheckIfModulesAreRecompiledPeriod=100/' zokhost.ini
  cp "$module" modules/zok_state_module.so
  : >record.txt
  ZOK_TEST_STATE_ITEMS=$items ZOK_TEST_RECORD_FILE=$tree/record.txt ./zokhost \
    modules/zok_state_module.so 2>host.err &
  host=$!
  wait_for_log LOG "Entering the main loop" 60
  until grep -q '^state ' record.txt; do sleep 0.05; done
  swaps=()
  saves=()
  for _ in $(seq 10); do
    from=$(wc -l <record.txt)
    cp "$module" modules/new.so
    mv -f modules/new.so modules/zok_state_module.so
    until tail -n +"$((from + 1))" record.txt | grep -q '^state '; do sleep 0.01; done
    read -r born saved < <(stat -c '%.6W %.6Y' sessions/zok_state_module.zok)
    frame=$(stat -c '%.6Y' record.txt)
    swaps+=("$(ms_between "$born" "$frame")")
    saves+=("$(ms_between "$born" "$saved")")
  done
  echo "$items items: swap ms $(sorted "${swaps[@]}"); session save ms $(sorted "${saves[@]}")"
  kill -TERM $host
  wait_exit $host 60
  cd /
  rm -rf "$tree"
done

# The sample module: from the session file's birth to the log's last write,
# which is the end of the scene's loading on the new module's first frame.
tree=$(make_tree "$build")
cd "$tree"
copy_sample "$build"
sed -i 's/^CheckIfModulesAreRecompiledPeriod=.*/CheckIfModulesAreRecompiledPeriod=100/' zokhost.ini
./zokhost 2>host.err &
host=$!
# Past the timer's calibration line, the log is quiet between reloads.
wait_for_log LOG "High resolution timer engaged" 60
scenes() { log_text LOG | grep -cF 'box.MD2" ... OK' || true; }
swaps=()
saves=()
for _ in $(seq 10); do
  loaded=$(scenes)
  cp "$build/modules/_TESSEL01.so" modules/new.so
  mv -f modules/new.so modules/_TESSEL01.so
  until [ "$(scenes)" -gt "$loaded" ]; do sleep 0.01; done
  sleep 0.3
  read -r born saved < <(stat -c '%.6W %.6Y' sessions/_TESSEL01.zok)
  swaps+=("$(ms_between "$born" "$(stat -c '%.6Y' LOG)")")
  saves+=("$(ms_between "$born" "$saved")")
done
echo "_TESSEL01: swap ms $(sorted "${swaps[@]}"); session save ms $(sorted "${saves[@]}")"
kill -TERM $host
wait_exit $host 60
cd /
rm -rf "$tree"
