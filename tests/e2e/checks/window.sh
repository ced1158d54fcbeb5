# The window, its figures drawn pixel for pixel, its class and icon, its
# scaling, a press refused with a message box (the overflow, a queue in
# trouble, no printer) and its ending.

window_opens() {
  local title size name x y w h point colour region dark face blank colours
  title=$(xdotool getwindowname "$WID")
  [ "$title" = "Ondrila Vastreni e Ferlino Quarsotti presentano:" ] || { WHY="title \"$title\""; return 1; }
  size=$(window_size "$WID")
  [ "$size" = "$WINDOW_W $WINDOW_H" ] || { WHY="client area ${size/ /x}"; return 1; }
  shot "$WORK/window.png"
  # Each figure button's face, near two corners and an edge, clear of its
  # border and caption.
  for name in "${FIGURES[@]}"; do
    read -r w h x y <<< "${GEOMETRY[${OBJECT[$name]}]}"
    for point in "$((x + 6)),$((y + 6))" "$((x + 6)),$((y + h - 7))" "$((x + w - 7)),$((y + h / 2))"; do
      colour=$(rgb_at "$WORK/window.png" "$point")
      [ "$colour" = "$FACE" ] || { WHY="$name button face at ($point) is $colour"; return 1; }
    done
  done
  # "Stampa" and "Esci": light standard faces with dark captions.
  for region in "$(crop_of stampa)" "$(crop_of esci)"; do
    dark=$($CONVERT "$WORK/window.png" -crop "$region" +repage -colorspace gray -threshold 40% -negate \
      -format '%[fx:int(mean*w*h)]' info:)
    face=$(share "$WORK/window.png" "$region" "$FACE" 5%)
    [ "$dark" -ge 30 ] && awk -v f="$face" 'BEGIN { exit !(f < 0.01) }' \
      || { WHY="button at $region: $dark caption pixels, face share $face"; return 1; }
  done
  # The drawing area is blank, in the colour a press clears it to (the
  # triangle keeps clear of the area's corners).
  blank=$(blank_colour)
  shot_area "$WORK/blank.png"
  colours="$($CONVERT "$WORK/blank.png" -format %k info:) $(rgb_at "$WORK/blank.png" 0,0)"
  [ "$colours" = "1 $blank" ] || { WHY="drawing area: $colours, expected only $blank"; return 1; }
}

# COUNT typed and FIGURE clicked: once the area settles, it shows the
# press's picture.
draws() {  # FIGURE COUNT
  xdo $(type_count "$2")
  click "$1"
  settle 30 || return 1
  echo "# $1 $2 in the window: the picture complete about ${SETTLE_MS} ms after the click"
  shows "$1" "$2" "draw-$1-$2"
}

# COUNT typed (- for none) and CONTROL clicked are refused: a message box of
# KIND saying TEXT (%s the queue's name), which KEY answers. Then nothing is
# printed, no job is left queued, no other window opens (a file dialog),
# the picture stays as it was, and a triangle draws. SPOIL and MEND,
# commands on the queue, put it in trouble before and right after.
refused() {  # TAG KIND KEY COUNT CONTROL SPOIL MEND TEXT
  local tag=$1 mend=$7 text=${8//%s/$QUEUE} before queued windows
  before=$(pdf_count)
  shot_area "$WORK/$tag-before.png"
  "$6" "$QUEUE" || { WHY="could not put the queue in trouble with $6"; return 1; }
  [ "$4" = - ] || xdo $(type_count "$4")
  xdo $(click_on "$5")
  box_answered "$2" "$text" "$tag-box" "$3" || { "$mend" "$QUEUE"; return 1; }
  sleep 1.5  # time for a job that got through to come out, or a file dialog to open
  queued=$(lpstat -o "$QUEUE" 2> /dev/null)
  "$mend" "$QUEUE"
  windows=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '.' 2> /dev/null | wc -l)
  [ "$(pdf_count)" = "$before" ] || { WHY="a PDF came out all the same"; return 1; }
  [ -z "$queued" ] || { WHY="a job was left in the queue: $queued"; return 1; }
  [ "$windows" = 1 ] || { WHY="$windows windows after the box"; return 1; }
  alive "$APP_PID" || { WHY="the program ended"; return 1; }
  settle 10 && shot_area "$WORK/$tag-after.png" \
    && same_pixels "$WORK/$tag-before.png" "$WORK/$tag-after.png" "the picture before" && draws triangolo 2
}

# At QT_SCALE_FACTOR=SCALE the whole window is scaled, and the drawing is
# made at that density: one device pixel lines over the same part of the
# window, exactly the picture drawn at that device-pixel ratio.
scaled_window_draws() {
  local size want
  size=$(window_size "$WID")
  want=$(device "$WINDOW_W" "$WINDOW_H")
  echo "# QT_SCALE_FACTOR=$SCALE: client area ${size/ /x}"
  [ "$size" = "$want" ] || { WHY="client area ${size/ /x}, expected ${want/ /x}"; return 1; }
  draws triangolo 3
}

# The class the desktop ties the window to its menu entry by; the icon in
# every size of the icon set.
window_class_and_icon() {
  local class entry sizes
  class=$(xprop -id "$WID" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "velmoran", "\(.*\)"$/\1/p')
  entry=$(sed -n 's/^StartupWMClass=//p' "$E2E/../../data/it.velmoran.Velmoran.desktop")
  [ "$class" = Velmoran ] && [ "$entry" = "$class" ] \
    || { WHY="$(xprop -id "$WID" WM_CLASS), the menu entry's StartupWMClass \"$entry\""; return 1; }
  sizes=$(xprop -len 100000000 -notype -id "$WID" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x .*/\1/p' | xargs)
  [ "$sizes" = "16 32 48 64 128 256" ] || { WHY="window icon sizes: $sizes"; return 1; }
}
