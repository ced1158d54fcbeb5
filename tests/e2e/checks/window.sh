# The window, its figures drawn pixel for pixel, its class and icon, its
# scaling, the overflow message and its ending.

OVERFLOW_TEXT="Overflow: il numero di iterazioni deve essere compreso tra 0 e 32767."
DESKTOP_ENTRY="$E2E/../../data/it.velmoran.Velmoran.desktop"

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
    read -r x y w h <<< "${GEOMETRY[${BUTTON[$name]}]}"
    for point in "$((x + 6)),$((y + 6))" "$((x + 6)),$((y + h - 7))" "$((x + w - 7)),$((y + h / 2))"; do
      colour=$(rgb_at "$WORK/window.png" "$point")
      [ "$colour" = "$FACE" ] || { WHY="$name button face at ($point) is $colour"; return 1; }
    done
  done
  # "Stampa" and "Esci": light standard faces with dark captions.
  for region in "$(crop_of Command6)" "$(crop_of Command5)"; do
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

draws() {  # FIGURE TEXT
  MARK=$(now_ms)
  xdo $(type_count "$2") $(click_on "$1")
  settle 30 && shows "$1" "$2" "draw-$1-$2"
}

# The reference is drawn call by call; the window skips the billion boxes
# that cannot change the picture.
deep_carpet() {
  draws tappeto 10 || return 1
  echo "# carpet depth 10 in the window: picture complete about ${SETTLE_MS} ms after the click"
}

overflow_reported() {
  shot_area "$WORK/overflow.png"
  xdo $(type_count 40000) $(click_on triangolo)
  box_answered critical "$OVERFLOW_TEXT" overflow-box Return && area_unchanged "$WORK/overflow.png" || return 1
  alive "$APP_PID" || { WHY="the program ended"; return 1; }
}

esci_idle() {
  MARK=$(now_ms)
  xdo $(click_on esci)
  ended "Esci while idle"
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
  draws triangolo 3 || return 1
  shot "$WORK/scale-$SCALE.png"
}

# The class the desktop ties the window to its menu entry by; the icon in
# every size of the icon set.
window_class_and_icon() {
  local class entry sizes
  class=$(xprop -id "$WID" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "velmoran", "\(.*\)"$/\1/p')
  entry=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP_ENTRY")
  [ "$class" = Velmoran ] && [ "$entry" = "$class" ] \
    || { WHY="$(xprop -id "$WID" WM_CLASS), the menu entry's StartupWMClass \"$entry\""; return 1; }
  sizes=$(xprop -len 100000000 -notype -id "$WID" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x .*/\1/p' | xargs)
  [ "$sizes" = "16 32 48 64 128 256" ] || { WHY="window icon sizes: $sizes"; return 1; }
}
