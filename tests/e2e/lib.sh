# Shared helpers of the end-to-end tests. Each test builds its own copy of
# the runnable tree in a temporary folder, so tests never touch build/.

# Each test takes the host's single-instance lock in a folder of its own,
# so tests never stand in each other's way or in that of a host a
# developer is running.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/zokrun.XXXXXX)
export XDG_RUNTIME_DIR

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

# enter_tree BUILD [X_SERVER]: a fresh runnable tree under an X server of
# its own (start_xvfb unless another is named), made the current folder;
# at exit the host, the server and the tree go (ZOK_KEEP_TREE=1 keeps it).
enter_tree() {
  tree=$(make_tree "$1")
  "${2:-start_xvfb}"
  trap 'stop_xvfb; kill -KILL ${host:-} 2>/dev/null || true; [ -n "${ZOK_KEEP_TREE:-}" ] || rm -rf "$tree"' EXIT
  cd "$tree"
}

# log_text FILE: the UTF-16 log as UTF-8, one entry a line.
log_text() {
  [ -f "$1" ] || return 0
  iconv -f UTF-16LE -t UTF-8 "$1" | sed 's/^\xEF\xBB\xBF//' | tr -d '\r'
}

# log_has FILE TEXT: the log holds TEXT. (Reading it whole first: grep -q
# quitting early would break the pipe under pipefail.)
log_has() {
  local text
  text=$(log_text "$1")
  grep -qF -- "$2" <<<"$text"
}

# count_log TEXT: how many entries of LOG hold TEXT; count_log_entries
# TEXT: how many are TEXT. (The end of a session load appends its "OK" to
# whatever entry came last, so whole entries are for lines logged apart.)
count_log() {
  local text
  text=$(log_text LOG)
  grep -cF -- "$1" <<<"$text" || true
}
count_log_entries() {
  local text
  text=$(log_text LOG)
  grep -cxF -- "$1" <<<"$text" || true
}

# wait_for_count TEXT N [SECONDS]: waits until N entries of LOG hold TEXT,
# and fails if more do.
wait_for_count() {
  local limit=${3:-10} i
  for ((i = 0; i < limit * 10; i++)); do
    [ "$(count_log "$1")" -ge "$2" ] && break
    sleep 0.1
  done
  [ "$(count_log "$1")" = "$2" ] || fail "the log holds \"$1\" $(count_log "$1") times, not $2"
}

# wait_for_log FILE TEXT [SECONDS]: waits until the log holds TEXT.
wait_for_log() {
  local file=$1 text=$2 limit=${3:-20} i
  for ((i = 0; i < limit * 10; i++)); do
    if log_has "$file" "$text"; then return 0; fi
    sleep 0.1
  done
  echo "--- log ---" >&2
  log_text "$file" >&2
  if [ -f host.err ]; then
    echo "--- standard error ---" >&2
    cat host.err >&2
  fi
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

# start_x_server NAME COMMAND...: starts an X server on a free display
# number (the command gets ":N" appended) and exports DISPLAY; stop_xvfb
# stops it, and the test's traps call that.
start_x_server() {
  local name=$1 number
  shift
  for _ in 1 2 3 4 5; do
    number=$((200 + RANDOM % 600))
    [ -e "/tmp/.X11-unix/X$number" ] && continue
    "$@" ":$number" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
      if xdpyinfo -display ":$number" >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  fail "$name did not start"
}

start_xvfb() {
  start_x_server Xvfb Xvfb -screen 0 1024x768x24 -nolisten tcp
}

# An X server that can really switch video modes: the dummy driver with
# the modes of xorg-dummy.conf.
start_xorg_dummy() {
  start_x_server "Xorg with the dummy driver" Xorg \
    -config "$(dirname "${BASH_SOURCE[0]}")/xorg-dummy.conf" -noreset -nolisten tcp \
    -logfile "/tmp/zok-xorg-$$.log"
}

# The screen's size now, "WxH".
screen_size() {
  xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p'
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# pixel_at FILE X Y: the "r,g,b" of one pixel of a picture.
pixel_at() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 2p | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

# mean_colour FILE W H X Y: the average "r,g,b" of a region of a picture.
mean_colour() {
  convert "$1" -crop "$2x$3+$4+$5" +repage -resize 1x1\! -depth 8 txt:- | sed -n 2p |
    sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

# The host's window on the test's display.
host_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --name '^ZOKHOST$' 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  fail "the host's window never appeared"
}

# copy_sample BUILD: the sample module and its content into the tree.
copy_sample() {
  cp "$1/modules/_TESSEL01.so" modules/
  cp -r "$1/modules/content" modules/content
}

# shot_window WINDOW FILE: a screenshot of the window alone.
shot_window() {
  import -window "$1" "$2"
}

# brightness FILE: the mean grey of a picture, 0 to 255.
brightness() {
  convert "$1" -colorspace Gray -resize 1x1\! -format '%[fx:int(255*mean+0.5)]' info:
}
