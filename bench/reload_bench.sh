#!/usr/bin/env bash
# Time of a hot reload on the built host, with the state module holding
# ITEMS extra objects: from the old module starting to save its session
# (its temporary file appears, right after the check took the new file) to
# the new module's first frame (it records its restored state then). That
# is the swap itself: save, unload, copy, load, restore, one frame; the
# check period and the stability wait before it are left out. Polling
# from the shell adds a millisecond or two.
# Run as: bench/reload_bench.sh BUILD_DIR [ITEMS...]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"
build=$1
shift
sizes=("${@:-0 100000}")
module=$build/tests/modules/state/zok_state_module.so
start_xvfb
trap 'stop_xvfb; kill -KILL ${host:-} 2>/dev/null || true; rm -rf "${tree:-}"' EXIT
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

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
  times=()
  for _ in $(seq 10); do
    from=$(wc -l <record.txt)
    rm -f sessions/zok_state_module.\$\$\$*
    cp "$module" modules/new.so
    mv -f modules/new.so modules/zok_state_module.so
    until compgen -G 'sessions/zok_state_module.$$$*' >/dev/null; do :; done
    start=$(now_ms)
    until tail -n +"$((from + 1))" record.txt | grep -q '^state '; do :; done
    times+=($(($(now_ms) - start)))
  done
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  echo "reload with $items items: ms per reload, sorted: $sorted"
  kill -TERM $host
  wait_exit $host 60
  cd /
  rm -rf "$tree"
done
