# Shared helpers of the end-to-end tests. Each test builds its own copy of
# the runnable tree in a temporary folder, so tests never touch build/.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# make_tree BUILD_DIR: prints the path of a fresh copy of the runnable tree.
make_tree() {
  local build=$1 tree
  tree=$(mktemp -d /tmp/zoke2e.XXXXXX)
  cp "$build/zokhost" "$build/zokhost.ini" "$build/config.ini" "$tree/"
  cp -r "$build/zok" "$tree/zok"
  mkdir -p "$tree/modules/copies" "$tree/sessions" "$tree/saves"
  echo "$tree"
}

# log_text FILE: the UTF-16 log as UTF-8, one entry a line.
log_text() {
  [ -f "$1" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$1" | sed 's/^\xEF\xBB\xBF//' | tr -d '\r'
}

# wait_for_log FILE TEXT [SECONDS]: waits until the log holds TEXT.
wait_for_log() {
  local file=$1 text=$2 limit=${3:-20} i
  for ((i = 0; i < limit * 10; i++)); do
    if log_text "$file" | grep -qF -- "$text"; then return 0; fi
    sleep 0.1
  done
  echo "--- log ---" >&2
  log_text "$file" >&2
  fail "log never showed: $text"
}

# wait_exit PID SECONDS: waits for a background process of this shell and
# sets EXIT_CODE (not printed: a command substitution could not wait for it).
wait_exit() {
  local pid=$1 limit=$2 i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      EXIT_CODE=0
      wait "$pid" || EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  fail "process $pid did not end within $limit s"
}
