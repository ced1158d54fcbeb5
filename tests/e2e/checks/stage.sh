# "Vista ingrandita", the lesson's stage (F11): its enlarged pixels and its
# redrawn, zoomed picture.

# F11, and the stage's window, active, in STAGE; its picture, apart from its
# toolbars and status line, in PANE: its largest child window (the view is a
# native window of its own).
open_stage() {
  xdo key F11
  STAGE=$(find_window "Vista ingrandita")
  [ -n "$STAGE" ] || { WHY="F11 opened no window named Vista ingrandita"; return 1; }
  xdo windowactivate --sync "$STAGE"
  PANE=$(xwininfo -children -id "$STAGE" | awk '
    /^ +0x[0-9a-f]+ / { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, /[x+]/)
                          if (s[1] * s[2] > best) { best = s[1] * s[2]; id = $1 } } }
    END { print id }')
  [ -n "$PANE" ] || { WHY="the stage shows no picture of its own"; return 1; }
}

# Alt+F4 closes the stage, and the window is active again.
close_stage() {
  xdo key alt+F4
  wait_for 5 '! xdotool search --onlyvisible --name "^Vista ingrandita\$" > /dev/null 2>&1'
  local gone=$?
  xdo windowactivate --sync "$WID"
  [ "$gone" = 0 ] || { WHY="the stage stays after Alt+F4"; return 1; }
}

# With "Pixel ingranditi" (P) the stage shows the area's picture as it
# changes, each pixel a k x k block, k the largest whole factor that fits,
# centred on the blank colour. Its picture opens at least twice the area's
# size; it is made to fit 3 pictures across and 2 down, with odd margins.
large_view() {
  local vw vh pw ph k d
  open_stage || return 1
  xdo key p
  read -r vw vh < <(window_size "$STAGE")
  read -r pw ph < <(window_size "$PANE")
  [ "$pw" -ge $((2 * AREA_W)) ] && [ "$ph" -ge $((2 * AREA_H)) ] || { WHY="the picture opened at ${pw}x${ph}"; return 1; }
  xdo windowsize --sync "$STAGE" $((3 * AREA_W + 2 + vw - pw)) $((2 * AREA_H + 45 + vh - ph))
  xdo windowactivate --sync "$WID"
  draws trina 3 || return 1
  xdo windowactivate --sync "$STAGE"
  steady_shot "$WORK/view.png" "$PANE"
  read -r vw vh < <($IDENTIFY -format '%w %h\n' "$WORK/view.png")
  k=$((vw / AREA_W < vh / AREA_H ? vw / AREA_W : vh / AREA_H))
  $CONVERT -size "${vw}x${vh}" "xc:rgb($(blank_colour))" \
    \( "$WORK/draw-trina-3.png" -sample "$((100 * k))%" \) \
    -geometry "+$(((vw - k * AREA_W) / 2))+$(((vh - k * AREA_H) / 2))" -composite "PNG24:$WORK/view-expected.png"
  echo "# Vista ingrandita: picture ${vw}x${vh}, blocks of ${k}x${k}"
  same_pixels "$WORK/view-expected.png" "$WORK/view.png" "the area enlarged $k times"
  d=$?
  close_stage && return "$d"
}

# "Ridisegnata" (R) in the stage: the figure the area shows drawn again,
# exactly the export at the largest scale that fits, centred; + zooms in 2
# times about the centre, the point there staying put: the export at twice
# that scale, cut to the view.
stage_redrawn() {
  local pw ph scale origin d=0 zoomed
  draws triangolo 6 || return 1
  open_stage || return 1
  read -r pw ph < <(window_size "$PANE")
  xdo mousemove --window "$PANE" 1 1 click 1 key r
  for zoomed in 0 1; do
    [ "$zoomed" = 0 ] || xdo key equal
    # The whole picture's size and the view's corner in it, as the stage
    # works them out.
    read -r scale origin < <(awk -v w="$pw" -v h="$ph" -v a="$AREA_W" -v b="$AREA_H" -v z="$zoomed" 'BEGIN {
      s = w / a < h / b ? w / a : h / b; W = int(a * s + 0.5); H = int(b * s + 0.5)
      x = int((W - w) / 2); y = int((H - h) / 2)
      if (z) { u = (x + w / 2) / W; v = (y + h / 2) / H; s *= 2; W = int(a * s + 0.5); H = int(b * s + 0.5)
               x = u * W - w / 2; x = x == int(x) || x >= 0 ? int(x) : int(x) - 1
               y = v * H - h / 2; y = y == int(y) || y >= 0 ? int(y) : int(y) - 1 }
      printf "%.12f %+d%+d\n", s, -x, -y }')
    "$VELMORAN" --export "$WORK/redrawn.png" triangolo 6 --scale "$scale" || { WHY="no export at $scale"; return 1; }
    settle 10
    steady_shot "$WORK/stage-redrawn.png" "$PANE"
    $CONVERT -size "${pw}x${ph}" "xc:rgb($(blank_colour))" "$WORK/redrawn.png" \
      -geometry "$origin" -composite "PNG24:$WORK/redrawn-expected.png"
    same_pixels "$WORK/redrawn-expected.png" "$WORK/stage-redrawn.png" "the export at $scale" || { d=1; break; }
  done
  echo "# Ridisegnata: picture ${pw}x${ph}, the triangle at 6 at scale $scale"
  xdo key p
  close_stage && return "$d"
}
