# Pace and steps: a press during a drawing, Esc, level by level, one step at
# a time, the slow pace, and the endless figures that wait for events.

# A second press during a drawing: the triangle of count 50 (the longest
# drawing there is, ten milliseconds or so: the keys and the click after it
# are queued by its first hand-over, at its first yield), then, while it
# draws, count 0 and the carpet. The carpet clears the area and is drawn;
# the triangle goes on over it with the corner triangle it was drawing
# (count 0 leaves nothing to draw of those not yet begun), whose leaves'
# first sides are all drawn over.
nested_press() {
  local colour n
  burst $(type_count 50) $(click_on triangolo) $(type_count 0) $(click_on tappeto)
  settle 60 || return 1
  shot_area "$WORK/nested.png"
  for colour in ${COLOURS[tappeto]} ${COLOURS[triangolo]#* }; do
    n=$(colour_count "$WORK/nested.png" "$colour")
    [ "$n" -ge 100 ] || { WHY="only $n pixels of $colour: both figures should show (see $WORK/nested.png)"; return 1; }
  done
}

# A figure pressed while an endless one waits shows at once: the carpet of
# 50 waits, the curve of 1 draws in its wait and the carpet's point over it,
# then the snowflake of 50 begins in the same wait and shows its point alone,
# as --export draws it (the reference tool would draw it call by call).
nested_endless() {
  run_headless --export "$WORK/fiocco-50.png" fiocco 50
  [ "$RUN_STATUS" = 0 ] || { WHY="--export fiocco 50: $RUN_STATUS $RUN_ERR"; return 1; }
  xdo $(type_count 50) $(click_on tappeto)
  settle 10 || return 1
  xdo $(type_count 1) $(click_on trina)
  settle 10 || return 1
  xdo $(type_count 50) $(click_on fiocco)
  settle 10
  shot_area "$WORK/nested-endless.png"
  xdo key Escape
  same_pixels "$WORK/fiocco-50.png" "$WORK/nested-endless.png" "the snowflake of 50 alone"
}

# The carpet of count 1000 never ends: its first point shows at once, then
# the program waits for events; "Esci" a second into it ends the program at
# once.
esci_during_carpet() {
  local n c0 c1
  xdo $(type_count 1000)
  click tappeto
  settle 10 || return 1
  shot_area "$WORK/carpet-1000.png"
  n=$(colour_count "$WORK/carpet-1000.png" "${COLOURS[tappeto]%% *}")
  [ "$n" = 1 ] || { WHY="$n carpet pixels, not its one point (see $WORK/carpet-1000.png)"; return 1; }
  c0=$(cpu_ticks)
  sleep 1
  c1=$(cpu_ticks)
  echo "# carpet 1000 in the window: picture complete ${SETTLE_MS} ms after the click;" \
    "$(((c1 - c0) * TICK_MS)) ms of processor time in the second after"
  ended "Esci during the carpet of count 1000" click esci
}

# Esc sent right after the click on the triangle of count 50, which works
# along the pixels' edges for ten milliseconds or so, the longest any
# drawing works now: whether the key stops it or comes after its end, no
# processor time is spent from within 100 ms of the key on, and a triangle
# draws next. (A drawing stopped in the middle: slow_pace.)
esc_stops_drawing() {
  local t0 now c prev last=0 pause
  # One xdotool sends the key within a millisecond of the click.
  xdo $(type_count 50) $(click_on triangolo) key Escape
  # The main thread's processor time, from the key on, every 2 ms or so;
  # read -t on a pipe nobody writes to waits without a process.
  exec {pause}<> <(:)
  t0=${EPOCHREALTIME/./}
  read -r prev _ < "/proc/$APP_PID/schedstat"
  while now=$(((${EPOCHREALTIME/./} - t0) / 1000)) && [ "$now" -lt 600 ] \
    && read -r c _ < "/proc/$APP_PID/schedstat"; do
    [ "$c" -gt "$prev" ] && last=$now
    prev=$c
    read -rt 0.002 -u "$pause" _
  done
  exec {pause}<&-
  echo "# Esc during the triangle of count 50: processor time last grew ${last} ms after the key was sent"
  [ "$last" -lt 100 ] || { WHY="processor time last grew ${last} ms after Esc"; return 1; }
  draws triangolo 3
}

# Level by level (Ctrl+L) with count 1: count 0's picture, held a second,
# then count 1's. Held: count 1's cannot show within a second of the click.
level_by_level() {
  local zero one t0 h seen=""
  zero=$($CONVERT "$(reference triangolo 0)" -depth 8 rgb:- | md5sum)
  one=$($CONVERT "$(reference triangolo 1)" -depth 8 rgb:- | md5sum)
  xdo key ctrl+l $(type_count 1)
  t0=$(now_ms)
  xdo $(click_on triangolo)
  while h=$(area_hash) && [ "$h" != "$one" ] && [ $(($(now_ms) - t0)) -lt 10000 ]; do
    [ "$h" = "$zero" ] && seen=yes
    sleep 0.05
  done
  t0=$(($(now_ms) - t0))
  xdo key ctrl+l
  [ "$h" = "$one" ] || { WHY="count 1's picture not shown within 10 s"; return 1; }
  [ -n "$seen" ] || { WHY="count 1's picture came without count 0's before it"; return 1; }
  [ "$t0" -ge 1000 ] || { WHY="count 1's picture shown ${t0} ms after the click"; return 1; }
}

# At "Un passo alla volta" the press draws its first leaf at once, then
# Space on the figure button a click focused draws the next leaf of its
# triangle (count 2: nine), never pressing it again.
space_steps_on_button() {
  local n0 n1
  xdo key ctrl+4 $(type_count 2) $(click_on triangolo)
  settle 10 && shot_area "$WORK/steps-0.png" && xdo key space space space space && settle 10 || return 1
  shot_area "$WORK/steps-4.png"
  read -r n0 n1 < <(leaves_of triangolo 2 "$WORK/steps-0.png" "$WORK/steps-4.png")
  xdo key Escape
  [ "$n0" = 1 ] && [ $((n1 - n0)) = 4 ] || { WHY="leaves $n0, then $n1 after 4 Spaces"; return 1; }
}

# At "Lenta" the triangle of count 4 takes about 4 s, a leaf every 50 ms:
# shots two seconds apart show two stages, each the press's picture after a
# whole number of leaves, no more than the pace allows, while the program
# sleeps between leaves (two seconds, as the processor time comes in 10 ms
# ticks and one busy moment of the machine's would weigh double in one).
# Esc stops it where it is: nothing more is drawn and no processor time
# spent.
slow_pace() {
  local blank t0 t1 c0 c1 c2 c3 a b c share
  blank=$(area_hash)
  xdo $(type_count 4) $(click_on triangolo)
  wait_for 5 '[ "$(area_hash)" != "$blank" ]'
  t0=$(now_ms) c0=$(cpu_ticks)
  shot_area "$WORK/slow-a.png"
  sleep 2
  shot_area "$WORK/slow-b.png"
  t1=$(now_ms) c1=$(cpu_ticks)
  xdo key Escape
  sleep 0.3
  shot_area "$WORK/slow-c.png"
  c2=$(cpu_ticks)
  sleep 1
  c3=$(cpu_ticks)
  shot_area "$WORK/slow-d.png"
  read -r a b c < <(leaves_of triangolo 4 "$WORK/slow-a.png" "$WORK/slow-b.png" "$WORK/slow-c.png")
  share=$(awk -v p=$(((c1 - c0) * TICK_MS)) -v t=$((t1 - t0)) 'BEGIN { printf "%.1f", 100 * p / t }')
  echo "# Lenta: leaves $a, then $b $((t1 - t0)) ms later, with $(((c1 - c0) * TICK_MS)) ms of processor time" \
    "($share% of a core); Esc at $c leaves, then $(((c3 - c2) * TICK_MS)) ms of processor time in a second"
  [ "$a" -ge 0 ] && [ "$b" -gt "$a" ] && [ $((b - a)) -le $(((t1 - t0) / 50 + 4)) ] \
    || { WHY="leaves $a, then $b $((t1 - t0)) ms later (see $WORK/slow-*.png)"; return 1; }
  awk -v s="$share" 'BEGIN { exit !(s < 5) }' || { WHY="$share% of a core while drawing slowly"; return 1; }
  [ "$c" -ge "$b" ] && [ "$c" -lt 81 ] || { WHY="after Esc: leaves $c (see $WORK/slow-*.png)"; return 1; }
  same_pixels "$WORK/slow-c.png" "$WORK/slow-d.png" "the picture 0.3 s after Esc" || return 1
  [ $((c3 - c2)) -le 1 ] || { WHY="$(((c3 - c2) * TICK_MS)) ms of processor time after Esc"; return 1; }
}

