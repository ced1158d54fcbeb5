# The figures and the window's layout, from the program's own tables through
# velmoran-render, and where a click lands on each control.

FACE=192,64,0  # the figure buttons' face
# SCALE is the QT_SCALE_FACTOR of the program running, and AREA the drawing
# area in device pixels ("WxH+X+Y").
SCALE=1
AREA=""

# FIGURES: the figures' trace words in button order; BUTTON and COLOURS
# ("R,G,B ...") by word. GEOMETRY: "X Y W H" by object name, in logical
# pixels of the client area, Form1 being the client area itself. CENTRE:
# where a click lands, by figure word, "stampa", "esci" and "combo" (the
# count selector's text, left of its arrow and clear of the label that
# covers its leftmost column).
FIGURES=()
declare -A BUTTON COLOURS GEOMETRY CENTRE
read_layout() {
  local word object colours x y w h figure
  while read -r word object colours; do
    FIGURES+=("$word")
    BUTTON[$word]=$object
    COLOURS[$word]=$colours
  done < <("$RENDER" --figures)
  while read -r object x y w h; do
    GEOMETRY[$object]="$x $y $w $h"
  done < <("$RENDER" --layout)
  [ "${#FIGURES[@]}" -gt 0 ] || abort "velmoran-render --figures lists no figure"
  for object in Form1 Picture1 Combo1 Command5 Command6 "${BUTTON[@]}"; do
    [ -n "${GEOMETRY[$object]:-}" ] || abort "velmoran-render --layout does not place $object"
  done

  read -r _ _ WINDOW_W WINDOW_H <<< "${GEOMETRY[Form1]}"
  # The drawing area's picture, inside the area's 2-pixel sunken border: "W H X Y".
  read -r x y w h <<< "${GEOMETRY[Picture1]}"
  AREA_LOGICAL="$((w - 4)) $((h - 4)) $((x + 2)) $((y + 2))"
  read -r AREA_W AREA_H AREA_X AREA_Y <<< "$AREA_LOGICAL"

  for figure in "${FIGURES[@]}"; do CENTRE[$figure]=$(centre_of "${BUTTON[$figure]}"); done
  CENTRE[stampa]=$(centre_of Command6)
  CENTRE[esci]=$(centre_of Command5)
  read -r x y w h <<< "${GEOMETRY[Combo1]}"
  CENTRE[combo]="$((x + 7)) $((y + h / 2))"

  # "W H X Y" of the box around every figure button.
  FIGURE_BUTTONS=$(for figure in "${FIGURES[@]}"; do echo "${GEOMETRY[${BUTTON[$figure]}]}"; done \
    | awk 'NR == 1 { l = $1; t = $2; r = $1 + $3; b = $2 + $4 }
           { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($1 + $3 > r) r = $1 + $3; if ($2 + $4 > b) b = $2 + $4 }
           END { print r - l, b - t, l, t }')
}

centre_of() {
  local x y w h
  read -r x y w h <<< "${GEOMETRY[$1]}"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# ImageMagick's WxH+X+Y of a control.
crop_of() {
  local x y w h
  read -r x y w h <<< "${GEOMETRY[$1]}"
  echo "${w}x${h}+${x}+${y}"
}

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
