# The figures and the window's layout, from the program's own tables through
# velmoran-render, and where a click lands on each control.

FACE=192,64,0  # the figure buttons' face
# SCALE is the QT_SCALE_FACTOR of the program running, and AREA the drawing
# area in device pixels ("WxH+X+Y").
SCALE=1
AREA=""

# FIGURES: the figures' trace words in button order; COLOURS ("R,G,B ...")
# by word. OBJECT: the object name of each figure's button by its word, and
# of "stampa", "esci", "combo" (the count selector) and "area" (the drawing
# area, its border included). GEOMETRY: "W H X Y" by object name, in logical
# pixels of the client area, Form1 being the client area itself.
FIGURES=()
declare -A OBJECT=([stampa]=Command6 [esci]=Command5 [combo]=Combo1 [area]=Picture1) COLOURS GEOMETRY
read_layout() {
  local word object colours x y w h
  while read -r word object colours; do
    FIGURES+=("$word")
    OBJECT[$word]=$object
    COLOURS[$word]=$colours
  done < <("$RENDER" --figures)
  while read -r object x y w h; do
    GEOMETRY[$object]="$w $h $x $y"
  done < <("$RENDER" --layout)
  [ "${#FIGURES[@]}" -gt 0 ] || abort "velmoran-render --figures lists no figure"
  for object in Form1 "${OBJECT[@]}"; do
    [ -n "${GEOMETRY[$object]:-}" ] || abort "velmoran-render --layout does not place $object"
  done
  read -r WINDOW_W WINDOW_H _ _ <<< "${GEOMETRY[Form1]}"
  # The drawing area's picture, inside the area's 2-pixel sunken border.
  read -r w h x y <<< "${GEOMETRY[${OBJECT[area]}]}"
  AREA_LOGICAL="$((w - 4)) $((h - 4)) $((x + 2)) $((y + 2))"
  read -r AREA_W AREA_H AREA_X AREA_Y <<< "$AREA_LOGICAL"
}

# ImageMagick's WxH+X+Y of the control WORD, at S pixels a window pixel.
crop_of() { at_scale "${2:-1}" ${GEOMETRY[${OBJECT[$1]}]}; }

# Window pixels at S pixels each (the screen's, or a printout's), halves
# rounded up as Qt places the picture: "W H X Y" gives WxH+X+Y, "X Y" gives
# "X Y".
at_scale() {  # S W H X Y | S X Y
  awk -v s="$1" -v a="${*:2}" 'BEGIN {
    n = split(a, v, " "); for (i = 1; i <= n; i++) v[i] = int(v[i] * s + 0.5)
    if (n == 4) printf "%dx%d+%d+%d\n", v[1], v[2], v[3], v[4]; else print v[1], v[2] }'
}
# Logical pixels to device pixels at SCALE.
device() { at_scale "$SCALE" "$@"; }
