#!/usr/bin/env bash
# The host killed while its module writes a big session leaves the previous
# session file whole: each kill lands after the save began (its temporary
# file N.$$$, itself first written under N.$$$.tmpXXXXXX, appeared); while
# a temporary file is left the session file is byte for byte the previous
# one, and the next start restores the state from it without FirstRun.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
enter_tree "$build"
cp "$build/tests/modules/state/zok_state_module.so" modules/
session=sessions/zok_state_module.zok
# The save's temporary files, while it runs or once it was killed.
partial_files() { compgen -G 'sessions/zok_state_module.$$$*' || true; }
record=$tree/record.txt
touch "$record"
# Big enough that writing the session takes a while.
export ZOK_TEST_STATE_ITEMS=200000
state="state counter=1 items=200000:item1,item2,item3,item4,... colour=Red bonus=0"

start_host() {
  : >LOG
  ZOK_TEST_RECORD_FILE="$record" ./zokhost modules/zok_state_module.so 2>host.err &
  host=$!
  wait_for_log LOG "Entering the main loop" 60
}
# expect_restored FROM: the first state recorded after line FROM.
expect_restored() {
  local got=""
  for _ in $(seq 300); do
    got=$(tail -n +"$(($1 + 1))" "$record" | grep -m1 '^state ' || true)
    [ -n "$got" ] && break
    sleep 0.1
  done
  [ "$got" = "$state" ] || fail "after a restart: \"$got\""
}

# wait_for_state TEXT: the last state recorded becomes TEXT.
wait_for_state() {
  for _ in $(seq 300); do
    [ "$(grep '^state ' "$record" | tail -1)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "state: \"$(grep '^state ' "$record" | tail -1)\", expected \"$1\""
}

start_host
window=$(host_window)
xdotool windowfocus --sync "$window"
wait_for_state "${state/counter=1/counter=0}"
xdotool key a
wait_for_state "$state"
kill -TERM $host
wait_exit $host 60
[ -f "$session" ] || fail "no session after a normal exit"

killed_mid_save=0
# Kills go on until three landed during a save: how many do depends on
# the machine's load.
rounds=0
for round in $(seq 40); do
  rounds=$round
  from=$(wc -l <"$record")
  start_host
  expect_restored "$from"
  # Left by the last kill: the save starts afresh, and the wait below must
  # see this save's own files.
  rm -f sessions/zok_state_module.\$\$\$*
  cp "$session" previous.zok
  kill -TERM $host
  for _ in $(seq 2000); do
    [ -n "$(partial_files)" ] && break
    sleep 0.002
  done
  [ -n "$(partial_files)" ] || fail "round $round: the session was never written"
  # The temporary files exist for some 45 ms here.
  sleep "$(printf 0.%03d $((RANDOM % 15)))"
  kill -KILL $host 2>/dev/null || true
  wait_exit $host 20
  if [ -n "$(partial_files)" ]; then
    killed_mid_save=$((killed_mid_save + 1))
    cmp -s "$session" previous.zok || fail "round $round: the session file changed mid-save"
  fi
  extra=$(ls sessions | grep -vx -e 'zok_state_module\.zok' -e 'zok_state_module\.\$\$\$\(\.tmp.*\)\?' || true)
  [ -z "$extra" ] || fail "round $round: unexpected files in sessions: $extra"
  [ "$killed_mid_save" -ge 3 ] && break
done
[ "$killed_mid_save" -ge 3 ] || fail "only $killed_mid_save of $rounds kills landed during a save"

from=$(wc -l <"$record")
start_host
expect_restored "$from"
[ "$(grep -c '^firstrun$' "$record")" = 1 ] || fail "FirstRun ran again"
kill -TERM $host
wait_exit $host 60
echo "session kill: ok ($killed_mid_save of $rounds kills during a save)"
