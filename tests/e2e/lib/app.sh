# The program: started on the X server and its window found, driven by
# clicks and keys, waited for, ended; and run with no display at all.

MARK=0 SETTLE_MS=0

start_app() {  # TAG [SCALE]
  local tag=$1
  SCALE=${2:-1}
  AREA=$(device $AREA_LOGICAL)
  stop_pid "$APP_PID"  # one that failed to end before
  env -u LPDEST -u PRINTER -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_ENABLE_HIGHDPI_SCALING \
    ${2:+QT_SCALE_FACTOR=$2} HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=xcb \
    "$VELMORAN" > "$WORK/app-$tag.log" 2>&1 &
  APP_PID=$!
  WID=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Ondrila' 2> /dev/null | head -1)
  [ -n "$WID" ] || abort "the window did not open (see $WORK/app-$tag.log)"
  timeout 10 xdotool windowactivate --sync "$WID" > /dev/null 2>&1 || abort "cannot activate the window"
  settle 10 || abort "the window did not settle"
}

# "Esci" between checks: the program gone, by force if need be.
quit_app() {
  click esci
  wait_for 10 '! alive "$APP_PID"'
  stop_pid "$APP_PID"
  APP_PID=""
}

# After WHAT, "Esci" or a close, which COMMAND does: the program has ended
# within a few seconds, with status 0, and left no window behind.
ended() {  # WHAT COMMAND...
  local status
  MARK=$(now_ms)
  "${@:2}"
  wait_for 10 '! alive "$APP_PID"' || { WHY="still running 10 s after $1"; stop_pid "$APP_PID"; APP_PID=""; return 1; }
  echo "# $1: the program ended $(($(now_ms) - MARK)) ms after it"
  wait "$APP_PID"
  status=$?
  APP_PID=""
  [ "$status" = 0 ] || { WHY="exit status $status"; return 1; }
  ! xdotool search --name '^Ondrila' > /dev/null 2>&1 || { WHY="a window remains"; return 1; }
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat" 2> /dev/null || echo 0; }
TICK_MS=$((1000 / $(getconf CLK_TCK)))

# xdotool arguments for a click on a control, by its word in OBJECT, and for
# typing a count into the selector, with no pauses (click and key would wait
# 12 ms per step). A click lands at a control's centre, but on the count
# selector's text: left of its arrow, clear of the label that covers its
# leftmost column.
click_on() {
  local w h x y
  read -r w h x y <<< "${GEOMETRY[${OBJECT[$1]}]}"
  [ "$1" = combo ] && w=14
  echo "mousemove --window $WID $(device $((x + w / 2)) $((y + h / 2))) mousedown 1 mouseup 1"
}
# Keys one by one (digits only): "type" would take every argument after it as text.
type_count() { echo "$(click_on combo) key --delay 0 ctrl+a $(echo "$1" | sed "s/./& /g")"; }
# A click on a control, MARK its moment.
click() { MARK=$(now_ms); xdo $(click_on "$1"); }

# Runs xdotool with the program held still, so that all it sends is waiting,
# in order, when the program goes on: whatever follows a figure's click is
# then taken at the figure's first hand-over of events, however fast the
# figure draws.
burst() {
  kill -STOP "$APP_PID"
  xdo "$@"
  sleep 0.05  # for the X server to pass on the last of it
  kill -CONT "$APP_PID"
}

area_hash() { $IMPORT -window "$WID" -crop "$AREA" -depth 8 rgb:- 2> /dev/null | md5sum; }

# Waits until the drawing area stops changing and the program is idle: the
# same picture over 300 ms with no processor time spent. SETTLE_MS is the
# time from MARK to the last change seen.
settle() {  # TIMEOUT
  local deadline=$(($(now_ms) + $1 * 1000)) prev="" h t c last lastc
  last=$(now_ms) lastc=$(cpu_ticks)
  while [ "$(now_ms)" -lt "$deadline" ]; do
    h=$(area_hash) t=$(now_ms) c=$(cpu_ticks)
    if [ "$h" != "$prev" ] || [ "$c" -gt $((lastc + 1)) ]; then
      [ "$h" != "$prev" ] && SETTLE_MS=$((t - MARK))
      prev=$h last=$t lastc=$c
    elif [ $((t - last)) -ge 300 ]; then
      return 0
    fi
    sleep 0.05
  done
  WHY="still changing after $1 s"
  return 1
}

# The program with ARGS and no display of any kind: RUN_STATUS, RUN_OUT, RUN_ERR.
run_headless() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR HOME="$WORK/home" \
    XDG_RUNTIME_DIR="$WORK/runtime" timeout 30 "$VELMORAN" "$@" > "$WORK/run.out" 2> "$WORK/run.err"
  RUN_STATUS=$?
  RUN_OUT=$(cat "$WORK/run.out")
  RUN_ERR=$(cat "$WORK/run.err")
}
