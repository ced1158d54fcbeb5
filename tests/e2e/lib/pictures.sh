# Screenshots of the drawing area, the pictures velmoran-render draws for
# them, and pixel measures of both.

shot_area() { $IMPORT -window "$WID" -crop "$AREA" +repage "PNG24:$1" 2> /dev/null; }

# velmoran-render with ARGS, offscreen, at 1:1 whatever the program runs at.
render_tool() { env -u QT_SCALE_FACTOR QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK/runtime" "$RENDER" "$@"; }

reference() {  # FIGURE TEXT: the picture the press must give at SCALE
  local file="$WORK/ref-$1-$2-x$SCALE.png"
  [ -f "$file" ] || render_tool "$1" "$2" "$SCALE" "$file" > /dev/null 2>&1 \
    || abort "velmoran-render $1 $2 $SCALE failed"
  echo "$file"
}

# "R,G,B" of the drawing area before any press.
blank_colour() { rgb_at "$(reference triangolo 0)" 0,0; }

# After how many leaves the press FIGURE TEXT leaves exactly each IMAGE, on
# one line; -1 for one it never leaves: leaves_of FIGURE TEXT IMAGE...
leaves_of() { render_tool --leaves-of "$@" 2> /dev/null || abort "velmoran-render --leaves-of $* failed"; }

# IMAGE is pixel for pixel EXPECTED; if not, WHY says how many pixels differ
# from WHAT ("size" if the sizes do), and IMAGE-diff.png shows where.
same_pixels() {  # EXPECTED IMAGE WHAT
  local d
  d=$($COMPARE -metric AE "$1" "$2" "${2%.png}-diff.png" 2>&1 > /dev/null)
  case $d in
    '' | *[!0-9.e+]*) d=size ;;
    *) d=$(printf '%.0f' "$d") ;;
  esac
  [ "$d" = 0 ] || { WHY="$d pixels differ from $3 (see ${2%.png}-diff.png)"; return 1; }
}

# The drawing area shows exactly the picture FIGURE TEXT draws.
shows() {  # FIGURE TEXT TAG
  shot_area "$WORK/$3.png"
  same_pixels "$(reference "$1" "$2")" "$WORK/$3.png" "$1 $2"
}

# "R,G,B" of IMAGE at X,Y.
rgb_at() {
  $CONVERT "$1" -format "%[fx:round(255*p{$2}.r)],%[fx:round(255*p{$2}.g)],%[fx:round(255*p{$2}.b)]" info:
}

# Share of the pixels of IMAGE's region CROP within FUZZ of colour R,G,B; or
# MEASURE of them, an fx expression of that share (mean).
share() {  # IMAGE CROP R,G,B FUZZ [MEASURE]
  $CONVERT "$1" -precision 12 -crop "$2" +repage -alpha off -fuzz "$4" -fill black +opaque "rgb($3)" \
    -fill white -opaque "rgb($3)" -colorspace gray -format "%[fx:${5:-mean}]" info: 2> /dev/null
}

# Pixels of IMAGE of colour R,G,B, or within FUZZ of it.
colour_count() { share "$1" 100000x100000+0+0 "$2" "${3:-0}" 'round(mean * w * h)'; }

# Pixels of IMAGE not of its top-left corner's colour, where the area is blank.
figure_pixels() { echo $(($($IDENTIFY -format '%w*%h' "$1") - $(colour_count "$1" "$(rgb_at "$1" 0,0)"))); }

# A message box of the program titled "Velmoran" shows, exactly like a box
# of KIND with TEXT; KEY answers it, and it goes.
box_answered() {  # KIND TEXT TAG KEY
  local box ref
  box=$(find_window Velmoran)
  [ -n "$box" ] || { WHY="no message box"; return 1; }
  steady_shot "$WORK/$3.png" "$box"
  XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=xcb "$RENDER" --box "$1" "$2" > /dev/null 2>&1 &
  REF_PID=$!
  ref=$(find_window Velmoran "$REF_PID")
  [ -n "$ref" ] && { xdo windowactivate --sync "$ref"; steady_shot "$WORK/$3-expected.png" "$ref"; }
  stop_pid "$REF_PID"
  REF_PID=""
  xdo windowactivate --sync "$box" key "$4"
  [ -n "$ref" ] || { WHY="the reference box did not open"; return 1; }
  same_pixels "$WORK/$3-expected.png" "$WORK/$3.png" "a $1 box saying \"${2//$'\n'/ }\"" || return 1
  wait_for 5 '! xdotool search --all --onlyvisible --pid "$APP_PID" --name "^Velmoran\$" > /dev/null 2>&1' \
    || { WHY="the box stays after $4"; return 1; }
}
