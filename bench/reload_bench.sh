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

# new_tree: a runnable tree that checks for rebuilds every 100 ms.
new_tree() {
  tree=$(make_tree "$build")
  cd "$tree"
  sed -i 's/^CheckIfModulesAreRecompiledPeriod=.*/CheckIfModulesAreRecompiledPeriod=100/' zokhost.ini
}
end_tree() {
  kill -TERM $host
  wait_exit $host 60
  cd /
  rm -rf "$tree"
}
# measure LABEL LIBRARY NAME MARK_COUNT MARK_FILE: ten rebuilds of
# modules/NAME from LIBRARY; a rebuild is done when MARK_COUNT grows, and
# MARK_FILE was last written at the new module's first frame. "load" runs
# from the new copy's last write to that frame: loading the library, its
# start-up, reading the session and the first frame.
measure() {
  local label=$1 library=$2 name=$3 count=$4 mark=$5 before born saved copied
  local swaps=() saves=() loads=()
  for _ in $(seq 10); do
    before=$($count)
    cp "$library" modules/new.so
    mv -f modules/new.so "modules/$name.so"
    until [ "$($count)" -gt "$before" ]; do sleep 0.01; done
    sleep 0.3  # the mark's last write comes with the count
    read -r born saved < <(stat -c '%.6W %.6Y' "sessions/$name.zok")
    copied=$(stat -c '%.6Y' "modules/copies/$name.so")
    swaps+=("$(ms_between "$born" "$(stat -c '%.6Y' "$mark")")")
    saves+=("$(ms_between "$born" "$saved")")
    loads+=("$(ms_between "$copied" "$(stat -c '%.6Y' "$mark")")")
  done
  echo "$label: swap ms $(sorted "${swaps[@]}")"
  echo "$label: session save ms $(sorted "${saves[@]}")"
  echo "$label: load ms $(sorted "${loads[@]}")"
}

states() { grep -c '^state ' record.txt || true; }
for items in ${sizes[*]}; do
  new_tree
  cp "$module" modules/zok_state_module.so
  : >record.txt
  ZOK_TEST_STATE_ITEMS=$items ZOK_TEST_RECORD_FILE=$tree/record.txt ./zokhost \
    modules/zok_state_module.so 2>host.err &
  host=$!
  wait_for_log LOG "Entering the main loop" 60
  until grep -q '^state ' record.txt; do sleep 0.05; done
  measure "$items items" "$module" zok_state_module states record.txt
  end_tree
done

# The sample module: its first frame loads the scene, whose last line is
# the log's last write.
scenes() { count_log 'box.MD2" ... OK'; }
new_tree
copy_sample "$build"
./zokhost 2>host.err &
host=$!
# Past the timer's calibration line, the log is quiet between reloads.
wait_for_log LOG "High resolution timer engaged" 60
measure _TESSEL01 "$build/modules/_TESSEL01.so" _TESSEL01 scenes LOG
end_tree
