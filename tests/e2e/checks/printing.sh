# Printing to the CUPS PDF queue: the window, the figure alone, a print
# during a drawing; and how a queue is put in trouble (refused, in
# window.sh, checks what the program then does).

prints_window() {
  local word face figure screen carpet=${COLOURS[tappeto]%% *}
  shot "$WORK/printed-window.png"
  prints "from a click on Stampa" xdo $(click_on stampa) && print_picture 300 print || return 1
  # The whole window, aspect kept, as large as the page allows.
  awk -v w="$PRINT_W" -v h="$PRINT_H" -v pw="$PAGE_W" -v ph="$PAGE_H" -v cw="$WINDOW_W" -v ch="$WINDOW_H" \
    'BEGIN { r = (w / h) / (cw / ch); exit !(r > 0.97 && r < 1.03 && (w > 0.9 * pw || h > 0.9 * ph)) }' \
    || { WHY="printed ${PRINT_W}x${PRINT_H} on a ${PAGE_W}x${PAGE_H} page"; return 1; }
  # Each figure button's face, and the figure in the drawing area as on screen.
  for word in "${FIGURES[@]}"; do
    face=$(share "$WORK/print.png" "$(crop_of "$word" "$PRINT_SCALE")" "$FACE" 2%)
    awk -v f="$face" 'BEGIN { exit !(f > 0.45) }' || { WHY="$word button face share $face (see $WORK/print.png)"; return 1; }
  done
  figure=$(share "$WORK/print.png" "$(at_scale "$PRINT_SCALE" $AREA_LOGICAL)" "$carpet" 8%)
  screen=$(share "$WORK/printed-window.png" "$AREA" "$carpet" 0)
  echo "# printout: figure share $figure (on screen $screen)"
  awk -v g="$figure" -v s="$screen" 'BEGIN { exit !(s > 0.2 && g > 0.7 * s && g < 1.3 * s) }' \
    || { WHY="figure share $figure vs $screen on screen (see $WORK/print.png)"; return 1; }
}

# The PDF behind the latest printout (print.png at 300 dpi), and the window
# as it was printed (printed-window.png): no JPEG anywhere; the job titled
# Velmoran; the window's flat colours exactly on the page; the drawing area
# embedded pixel for pixel, each pixel an even block.
printout_matches_window() {
  local pdf images
  pdf=$(newest_pdf)
  images=$(pdfimages -list "$pdf" 2> /dev/null) || { WHY="pdfimages failed on $pdf"; return 1; }
  echo "$images" | sed 's/^/# /'
  awk 'NR > 2 && $9 ~ /jpeg|jpx|dct/ { exit 1 }' <<< "$images" || { WHY="a lossy image in $pdf"; return 1; }
  pdfinfo "$pdf" 2> /dev/null | grep -q '^Title:.*Velmoran' || { WHY="$pdf is not titled Velmoran"; return 1; }
  printout_keeps_colours && printout_embeds_area "$pdf"
}

# Flat colours at the middle of window pixels well inside their areas, and
# the figure's colour: as many exact pixels as the screen's, scaled.
printout_keeps_colours() {
  local name x y screen page paper n_screen n_paper koch=${COLOURS[tappeto]%% *}
  echo "# colour sampled: window (screen) vs page (printout at 300 dpi)"
  while read -r name x y; do
    screen=$(rgb_at "$WORK/printed-window.png" "$x,$y")
    page=$(awk -v s="$PRINT_SCALE" -v x="$x" -v y="$y" 'BEGIN { printf "%d,%d", (x + 0.5) * s, (y + 0.5) * s }')
    paper=$(rgb_at "$WORK/print.png" "$page")
    echo "#   $name ($x,$y): $screen vs $paper"
    [ "$screen" = "$paper" ] || { WHY="$name: $screen on screen, $paper on the page"; return 1; }
  done << 'POINTS'
fiocco-face 526 30
trina-face 618 128
tappeto-face 526 226
triangolo-face 618 298
window 8 8
window-bottom 600 430
drawing-area 30 40
counter-label 465 390
site-label 380 421
POINTS
  n_screen=$(colour_count "$WORK/printed-window.png" "$koch")
  n_paper=$(share "$WORK/print.png" "$(at_scale "$PRINT_SCALE" $AREA_LOGICAL)" "$koch" 0 'round(mean * w * h)')
  echo "#   figure $koch: $n_screen pixels on screen, $n_paper on the page (x $PRINT_SCALE squared)"
  awk -v a="$n_screen" -v b="$n_paper" -v s="$PRINT_SCALE" 'BEGIN { exit !(a > 100 && b >= 0.5 * a * s * s) }' \
    || { WHY="$n_paper exact $koch pixels on the page for $n_screen on screen"; return 1; }
}

# The drawing area, frame included, is the page's largest picture: the
# screen's, each pixel a whole block.
printout_embeds_area() {  # PDF
  local area blocks size frame_w frame_h
  read -r frame_w frame_h _ _ <<< "${GEOMETRY[${OBJECT[area]}]}"
  rm -f "$WORK"/printed-image-*
  pdfimages -png "$1" "$WORK/printed-image" 2> /dev/null || { WHY="pdfimages -png failed"; return 1; }
  area=$(ls -S "$WORK"/printed-image-*.png | head -1)
  blocks=$($IDENTIFY -format "%[fx:w/$frame_w]" "$area")
  size=$($IDENTIFY -format '%wx%h' "$area")
  [ "$size" = "$((frame_w * blocks))x$((frame_h * blocks))" ] \
    || { WHY="the largest picture, $size, is not the drawing area in whole blocks"; return 1; }
  $CONVERT "$WORK/printed-window.png" -crop "$(crop_of area)" +repage -sample "$((100 * blocks))%" \
    "PNG24:$WORK/area-blocks.png"
  echo "# drawing area embedded as ${blocks}x${blocks} blocks"
  same_pixels "$area" "$WORK/area-blocks.png" "the drawing area embedded"
}

# "CHANGING RAMPS" of the caption IMAGE shows after ImageMagick's OPTIONS
# (a crop, an enlargement), in grey levels:
# CHANGING, the share of the columns beside ink that differ from the column
# before (a window pixel enlarged repeats each column across its block);
# RAMPS, the pixels halfway between ink and face for each pixel of ink (a
# bitmap enlarged smoothly has wide ramps at every edge).
caption_edges() {  # IMAGE OPTIONS...
  $CONVERT "$@" -colorspace gray -depth 8 txt:- | awk -F'[,: ()]+' '
    NR > 1 {
      g[$1, $2] = $3; w = $1 + 1; h = $2 + 1  # the last pixel is the bottom right one
      if (NR == 2 || $3 < lo) lo = $3
      if (NR == 2 || $3 > hi) hi = $3
    }
    END {
      r = hi - lo
      if (r <= 0) { print "0 9"; exit }
      for (x = 0; x < w; x++) for (y = 0; y < h; y++)
        if (g[x, y] < lo + 0.25 * r) { ink++; inked[x] = 1 } else if (g[x, y] <= lo + 0.75 * r) ramp++
      for (x = 1; x < w; x++) {
        if (!inked[x] && !inked[x - 1]) continue
        columns++
        for (y = 0; y < h; y++) if (g[x, y] != g[x - 1, y]) { changed++; break }
      }
      printf "%.2f %.2f\n", changed / (columns ? columns : 1), ramp / (ink ? ink : 1)
    }'
}

# Of caption_edges: most columns change, and ramps are narrow.
edges_sharp() { awk -v m="$1" 'BEGIN { split(m, v, " "); exit !(v[1] >= 0.5 && v[2] <= 0.5) }'; }

# A caption on the page is drawn at the page's resolution: its edges are
# neither a window pixel's steps nor smoothed ramps. The same caption from
# the screen, enlarged with and without smoothing, fails the same test.
caption_is_sharp() {
  local caption="95 36 525 110" crop size printed blocky smooth  # "Trina di Koch" on its button
  [ -n "$PRINT_SCALE" ] || { WHY="no printout was measured"; return 1; }
  crop=$(at_scale "$PRINT_SCALE" $caption)
  size=${crop%%+*}
  printed=$(caption_edges "$WORK/print.png" -crop "$crop" +repage)
  blocky=$(caption_edges "$WORK/printed-window.png" -crop "$(at_scale 1 $caption)" +repage -sample "$size!")
  smooth=$(caption_edges "$WORK/printed-window.png" -crop "$(at_scale 1 $caption)" +repage -resize "$size!")
  echo "# caption \"Trina di Koch\" (changing columns, ramp pixels per ink pixel): page $printed," \
    "screen enlarged $blocky, screen smoothed $smooth"
  edges_sharp "$printed" || { WHY="the caption on the page measures $printed"; return 1; }
  ! edges_sharp "$blocky" && ! edges_sharp "$smooth" \
    || { WHY="the measure cannot tell a screen bitmap: $blocky, $smooth"; return 1; }
}

# "Stampa…" with "Solo la figura": Ctrl+Shift+P, the option checked on the
# program's own tab, Enter (the dialog as it was sent in print-dialog.png).
# The queue gets the figure under its name and count, as wide as the page
# allows, and nothing of the window.
prints_figure_alone() {
  local dialog folded
  draws fiocco 4 || return 1
  xdo key ctrl+shift+p
  dialog=$(find_window Stampa)
  [ -n "$dialog" ] || { WHY="Ctrl+Shift+P opened no window named Stampa"; return 1; }
  xdo windowactivate --sync "$dialog"
  read -r _ folded < <(window_size "$dialog")
  xdo key alt+o  # "Opzioni >>" unfolds the tabs
  wait_for 5 '[ "$(window_size "$dialog" 2> /dev/null | cut -d" " -f2)" -gt "$folded" ] 2> /dev/null'
  # From the printer's name, Tab passes Proprietà and the output file's button
  # to the tabs; Ctrl+Shift+Tab turns to the last, the program's own; its
  # buttons come after Opzioni, Stampa and Annulla; Down checks the second.
  xdo key Tab Tab Tab ctrl+shift+Tab Tab Tab Tab Tab Down
  steady_shot "$WORK/print-dialog.png" "$dialog"
  prints "through the dialog" xdo key Return \
    || { xdo windowactivate --sync "$dialog" key Escape; WHY="$WHY (see $WORK/print-dialog.png)"; return 1; }
  printed_text_is "Fiocco di neve di Koch, 4 iterazioni" && printed_figure_alone
}

# The text of the latest job is CAPTION, and none of the window's. It is read
# from the document as the queue received it (cups-pdf's own PDF carries its
# glyphs with no usable Unicode map).
printed_text_is() {  # CAPTION
  local doc text
  doc=$(ls -t "$CUPS"/spool/d*-001 2> /dev/null | head -1)
  text=$(timeout 20 pdftotext "$doc" - 2> /dev/null) || { WHY="no text from the job's document $doc"; return 1; }
  grep -qxF "$1" <<< "$text" && ! grep -qwE 'Esci|Stampa' <<< "$text" \
    || { WHY="the printout's text: ${text//$'\n'/|} (see $WORK/print-dialog.png)"; return 1; }
}

# The newest PDF shows the snowflake of 4 (draw-fiocco-4.png) nearly as wide
# as the page, and none of the figure buttons' face. At 150 dpi the screen's
# one-pixel lines come out wider than a pixel and keep their colour.
printed_figure_alone() {
  local screen figure face colour=${COLOURS[fiocco]%% *} page="$WORK/figure-alone-page.png"
  print_picture 150 figure-alone || return 1
  screen=$(colour_count "$WORK/draw-fiocco-4.png" "$colour")
  figure=$(colour_count "$page" "$colour" 2%)
  face=$(colour_count "$page" "$FACE" 2%)
  echo "# figure alone at 150 dpi: $PRINT_W of $PAGE_W pixels wide, $figure figure pixels ($screen on screen)," \
    "$face of the buttons' face"
  [ $((10 * PRINT_W)) -gt $((9 * PAGE_W)) ] && [ "$screen" -gt 0 ] && [ "$figure" -ge "$screen" ] && [ "$face" = 0 ] \
    || { WHY="$PRINT_W/$PAGE_W wide, $figure figure pixels, $face face pixels (see $page)"; return 1; }
}

# cups-pdf cancels the job when it cannot make its output folder: a file
# stands where the folder should be.
spoil_output() {
  local out="$WORK/not-a-folder/out"
  cp "$CUPS_PDF_CONF" "$WORK/cups-pdf.conf.saved" && : > "$WORK/not-a-folder" \
    && sed -i "s|^Out .*|Out $out|; s|^AnonDirName .*|AnonDirName $out|" "$CUPS_PDF_CONF"
}
mend_output() { cp "$WORK/cups-pdf.conf.saved" "$CUPS_PDF_CONF"; }

# The snowflake of count 10; then again with "Stampa" clicked right behind
# its button: the click is taken inside the drawing and prints the figure
# as far as it has got, and the drawing then completes undisturbed.
snowflake_with_print() {
  local printed final blank ratio inner="$((AREA_W - 4)) $((AREA_H - 4))"
  draws fiocco 10 || return 1
  prints "from inside the snowflake" burst $(click_on fiocco) $(click_on stampa) || return 1
  settle 60 && shows fiocco 10 snowflake-10-printed && print_picture 40 print-snowflake || return 1
  # Figure pixels: whatever in the area is not blank, in the printout and in
  # the finished figure brought to the printout's scale; 2 pixels in from
  # the area's edge, clear of its border once scaled.
  blank=$(rgb_at "$WORK/draw-fiocco-10.png" 0,0)
  $CONVERT "$WORK/draw-fiocco-10.png" -crop "$(at_scale 1 $inner 2 2)" +repage \
    -resize "$(at_scale "$PRINT_SCALE" $inner 0 0 | cut -d+ -f1)!" "PNG24:$WORK/snowflake-10-small.png"
  printed=$(share "$WORK/print-snowflake.png" "$(at_scale "$PRINT_SCALE" $inner $((AREA_X + 2)) $((AREA_Y + 2)))" \
    "$blank" 8%)
  final=$(share "$WORK/snowflake-10-small.png" 10000x10000+0+0 "$blank" 8%)
  ratio=$(awk -v p="$printed" -v f="$final" 'BEGIN { printf "%.2f", (1 - p) / (1 - f) }')
  echo "# snowflake printout: $ratio of the finished figure's pixels"
  # A printout of the finished figure measures 0.95 to 1.05 here; the click,
  # taken at the drawing's first hand-over of events, prints next to nothing.
  awk -v r="$ratio" 'BEGIN { exit !(r < 0.8) }' \
    || { WHY="the printout shows $ratio of the finished figure: the click waited for the drawing"; return 1; }
}

# "Stampa" during the carpet of count 1000, which never ends: the job is
# printed while it waits; then the window is closed through its frame
# (openbox's Alt+F4).
print_and_close_during_carpet() {
  xdo $(type_count 1000) $(click_on tappeto)
  sleep 0.3
  prints "during the carpet" click stampa || return 1
  ended "Alt+F4 during the carpet of count 1000" xdo key alt+F4
}
