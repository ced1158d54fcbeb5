# Screenshots of the drawing area, the pictures velmoran-render draws for
# them, and pixel measures of both.

shot_area() { $IMPORT -window "$WID" -crop "$AREA" +repage "PNG24:$1" 2> /dev/null; }

# velmoran-render with ARGS, offscreen, at 1:1 whatever the program runs at.
render_tool() {
  env -u QT_SCALE_FACTOR QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK/runtime" "$RENDER" "$@"
}

reference() {  # FIGURE TEXT: the picture the press must give at SCALE
  local file="$WORK/ref-$1-$2.png" dpr=()
  if [ "$SCALE" != 1 ]; then
    file="$WORK/ref-$1-$2-x$SCALE.png"
    dpr=(--dpr "$SCALE")
  fi
  [ -f "$file" ] || render_tool "${dpr[@]}" "$1" "$2" "$file" > /dev/null 2>&1 \
    || abort "velmoran-render ${dpr[*]} $1 $2 failed"
  echo "$file"
}

# "R,G,B" of the drawing area before any press.
blank_colour() { rgb_at "$(reference triangolo 0)" 0,0; }

# After how many leaves the press FIGURE TEXT leaves exactly IMAGE; -1 if never.
leaves_of() {  # FIGURE TEXT IMAGE
  render_tool --leaves-of "$1" "$2" "$3" 2> /dev/null || abort "velmoran-render --leaves-of $1 $2 $3 failed"
}

# Differing pixels between two pictures of one size; "size" when they differ in size.
pixels_differ() {
  local out
  out=$($COMPARE -metric AE "$1" "$2" "${3:-null:}" 2>&1 > /dev/null)
  case $out in
    '' | *[!0-9.e+]*) echo size ;;
    *) printf '%.0f\n' "$out" ;;
  esac
}

# The drawing area shows exactly the picture FIGURE TEXT draws.
shows() {
  local fig=$1 text=$2 tag=$3 ref d
  ref=$(reference "$fig" "$text")
  shot_area "$WORK/$tag.png"
  d=$(pixels_differ "$ref" "$WORK/$tag.png" "$WORK/$tag-diff.png")
  [ "$d" = 0 ] && return 0
  WHY="$d pixels differ from $fig $text (see $WORK/$tag-diff.png)"
  return 1
}

# "R,G,B" of IMAGE at X,Y.
rgb_at() {
  $CONVERT "$1" -format "%[fx:round(255*p{$2}.r)],%[fx:round(255*p{$2}.g)],%[fx:round(255*p{$2}.b)]" info:
}

# Pixels of colour R,G,B in IMAGE.
colour_count() {
  $CONVERT "$1" -format %c histogram:info:- 2> /dev/null \
    | awk -v c="($2)" '{gsub(/ /, "")} index($0, c) { split($0, a, ":"); n += a[1] } END { print n + 0 }'
}

# Pixels of IMAGE within 2% of R,G,B: close enough to take the figure's
# colour through the page's smoothing, far from the figure buttons' face.
near_colour() {
  $CONVERT "$1" -alpha off -fuzz 2% -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" \
    -format '%[fx:round(mean*w*h)]' info: 2> /dev/null
}

# Share of the pixels of IMAGE's region CROP within FUZZ of colour R,G,B.
share() {  # IMAGE CROP R,G,B FUZZ
  $CONVERT "$1" -crop "$2" +repage -alpha off -fuzz "$4" -fill black +opaque "rgb($3)" \
    -fill white -opaque "rgb($3)" -colorspace gray -format '%[fx:mean]' info: 2> /dev/null
}

# Pixels of IMAGE not of its top-left corner's colour, where the area is blank.
figure_pixels() {
  echo $(($($IDENTIFY -format '%w*%h' "$1") - $(colour_count "$1" "$(rgb_at "$1" 0,0)")))
}

# A message box of the program titled "Velmoran" is shown, and looks exactly
# like a box of that KIND with TEXT.
BOX=""
box_shows() {
  local kind=$1 text=$2 tag=$3 d ref
  BOX=$(find_window Velmoran)
  [ -n "$BOX" ] || { WHY="no message box"; return 1; }
  steady_shot "$WORK/$tag.png" "$BOX"
  XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=xcb "$RENDER" --box "$kind" "$text" > /dev/null 2>&1 &
  REF_PID=$!
  ref=$(find_window Velmoran "$REF_PID")
  if [ -n "$ref" ]; then
    xdo windowactivate --sync "$ref"
    steady_shot "$WORK/$tag-expected.png" "$ref"
  fi
  stop_pid "$REF_PID"
  REF_PID=""
  xdo windowactivate --sync "$BOX"
  [ -n "$ref" ] || { WHY="the reference box did not open"; return 1; }
  d=$(pixels_differ "$WORK/$tag-expected.png" "$WORK/$tag.png" "$WORK/$tag-diff.png")
  [ "$d" = 0 ] && return 0
  WHY="the box differs from a $kind box saying \"${text//$'\n'/ }\" ($d pixels, see $WORK/$tag*.png)"
  return 1
}

# box_shows, then KEY answers the box, which goes.
box_answered() {  # KIND TEXT TAG KEY
  local i shown=0
  box_shows "$1" "$2" "$3" || shown=1
  xdo key "$4"
  [ "$shown" = 0 ] || return 1
  for ((i = 0; i < 50; i++)); do
    xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Velmoran$' > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  WHY="the box stays after $4"
  return 1
}

# The drawing area, once settled, is still exactly BEFORE.
area_unchanged() {  # BEFORE
  local d
  settle 10 || return 1
  shot_area "${1%.png}-after.png"
  d=$(pixels_differ "$1" "${1%.png}-after.png")
  [ "$d" = 0 ] || { WHY="the picture changed ($d pixels)"; return 1; }
}
