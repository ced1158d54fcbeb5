#!/usr/bin/env bash
# End-to-end checks of the real program: a private X server (Xvfb with
# openbox), real clicks and keys through xdotool, screenshots, and a private
# CUPS server whose default queue writes PDF files.
#
#   bash tests/e2e/run.sh VELMORAN [VELMORAN_RENDER]
#
# VELMORAN_RENDER (by default beside the build's tests/e2e) draws the pictures
# and message boxes the screenshots must match. Every check prints
# "ok - NAME" or "not ok - NAME: WHY"; the last line is "N passed, M failed",
# and the exit status is non-zero if any failed. Needs root (cupsd and the
# cups-pdf backend's per-queue configuration); scripts/setup.sh installs the
# tools. The last checks start the program again with Qt's display scaling
# (QT_SCALE_FACTOR) and compare its drawing with pictures made at that
# device-pixel ratio. Everything started here is stopped on the way out. The
# work folder (screenshots, PDFs, logs) is kept when a check fails, or with
# E2E_KEEP=1.
set -uo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 VELMORAN [VELMORAN_RENDER]" >&2
  exit 2
fi
VELMORAN=$(readlink -f "$1")
RENDER=$(readlink -f "${2:-$(dirname "$VELMORAN")/../tests/e2e/velmoran-render}")

# /usr/local/bin may hold stand-ins for ImageMagick's tools.
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare
IMPORT=/usr/bin/import
IDENTIFY=/usr/bin/identify

# The figures and the window's layout come from the program's own tables,
# through velmoran-render (read once the tools are known to be there).
# SCALE is the QT_SCALE_FACTOR of the program running, and AREA the drawing
# area in device pixels.
SCALE=1
FACE=192,64,0  # the figure buttons' face
OVERFLOW_TEXT="Overflow: il numero di iterazioni deve essere compreso tra 0 e 32767."
NO_PRINTER_TEXT=$'Non è configurata nessuna stampante predefinita.\nSalvare la stampa in un file PDF?'

passed=0
failed=0
MARK=0 SETTLE_MS=0 PDF_MS=0 EXIT_MS=0 EXIT_STATUS=""
WHY=""
APP_PID="" WID="" XVFB_PID="" OPENBOX_PID="" CUPSD_PID="" REF_PID=""
CUPS_PDF_CONF=""
WORK=$(mktemp -d /tmp/velmoran-e2e.XXXXXX)
# cupsd's filters run as lp and must reach the spool folder inside.
chmod 755 "$WORK"
mkdir -p "$WORK/home" "$WORK/runtime"
chmod 700 "$WORK/runtime"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

alive() { [ -n "$1" ] && [ -e "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }

# Ends a process started here, politely first.
stop_pid() {
  local pid=$1 i
  [ -n "$pid" ] || return 0
  if alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null
    kill -CONT "$pid" 2>/dev/null  # were it held by burst
    for ((i = 0; i < 30; i++)); do alive "$pid" || break; sleep 0.1; done
    alive "$pid" && kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}

cleanup() {
  stop_pid "$REF_PID"
  stop_pid "$APP_PID"
  stop_pid "$OPENBOX_PID"
  stop_pid "$XVFB_PID"
  stop_pid "$CUPSD_PID"
  [ -n "$CUPS_PDF_CONF" ] && rm -f "$CUPS_PDF_CONF"
  if [ "$failed" -gt 0 ] || [ "${E2E_KEEP:-0}" = 1 ]; then
    echo "work folder kept: $WORK"
  else
    rm -rf "$WORK"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A failure of the harness itself, not of the program.
abort() {
  echo "not ok - setup: $*"
  failed=$((failed + 1))
  echo "$passed passed, $failed failed"
  exit 1
}

# check NAME FUNCTION [ARGS...]: FUNCTION sets WHY when it fails. Past the
# time limit, the checks left fail without running (a hung program would
# otherwise cost every one its full timeout). E2E_LIMIT_S raises it on a
# machine busy with other work.
START_MS=$(now_ms)
LIMIT_MS=$((${E2E_LIMIT_S:-180} * 1000))
check() {
  local name=$1
  shift
  WHY=""
  if [ $(($(now_ms) - START_MS)) -gt "$LIMIT_MS" ]; then
    WHY="not run: the suite is past $((LIMIT_MS / 1000)) s"
    echo "not ok - $name: $WHY"
    failed=$((failed + 1))
  elif "$@"; then
    echo "ok - $name"
    passed=$((passed + 1))
  else
    echo "not ok - $name: ${WHY:-failed}"
    failed=$((failed + 1))
  fi
}

# ---------------------------------------------------------------- services

for tool in Xvfb openbox xdotool xprop xwininfo pdftoppm pdfinfo /usr/sbin/cupsd lpadmin lpstat \
  "$CONVERT" "$COMPARE" "$IMPORT" "$IDENTIFY"; do
  command -v "$tool" > /dev/null || abort "$tool is missing (run scripts/setup.sh)"
done
[ -x "$VELMORAN" ] || abort "no program at $VELMORAN"
[ -x "$RENDER" ] || abort "no velmoran-render at $RENDER"
[ "$(id -u)" = 0 ] || abort "must run as root (cupsd, cups-pdf)"

# FIGURES: the figures' trace words in button order; BUTTON and COLOURS
# ("R,G,B ...") by word. GEOMETRY: "X Y W H" by object name, in logical
# pixels of the client area, Form1 being the client area itself.
FIGURES=()
declare -A BUTTON COLOURS GEOMETRY
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

# Where a click lands on each control: a figure's button by its word, the
# print and exit buttons, and the count selector's text, left of its arrow
# and clear of the label that covers its leftmost column.
declare -A CENTRE
centre_of() {
  local x y w h
  read -r x y w h <<< "${GEOMETRY[$1]}"
  echo "$((x + w / 2)) $((y + h / 2))"
}
for figure in "${FIGURES[@]}"; do CENTRE[$figure]=$(centre_of "${BUTTON[$figure]}"); done
CENTRE[stampa]=$(centre_of Command6)
CENTRE[esci]=$(centre_of Command5)
read -r x y w h <<< "${GEOMETRY[Combo1]}"
CENTRE[combo]="$((x + 7)) $((y + h / 2))"

# ImageMagick's WxH+X+Y of a control.
crop_of() {
  local x y w h
  read -r x y w h <<< "${GEOMETRY[$1]}"
  echo "${w}x${h}+${x}+${y}"
}

# "W H X Y" of the box around every figure button.
FIGURE_BUTTONS=$(for figure in "${FIGURES[@]}"; do echo "${GEOMETRY[${BUTTON[$figure]}]}"; done \
  | awk 'NR == 1 { l = $1; t = $2; r = $1 + $3; b = $2 + $4 }
         { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($1 + $3 > r) r = $1 + $3; if ($2 + $4 > b) b = $2 + $4 }
         END { print r - l, b - t, l, t }')

# Xvfb on a free display in 100-199, then openbox. Either may lose a race
# with another program taking the same display: then another one is tried.
start_x() {
  local n attempt i
  # Openbox's own configuration, less its click-to-focus bindings on
  # windows: with them, a click waits for the window manager's round trip
  # while keys typed right after it do not, and overtake it.
  sed '/<context name="Client">/,/<\/context>/d' /etc/xdg/openbox/rc.xml > "$WORK/openbox-rc.xml"
  for ((attempt = 0; attempt < 20; attempt++)); do
    n=$(shuf -i 100-199 -n 1)
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    export DISPLAY=":$n"
    # 96 dpi: the window's layout and the reference pictures are at 1:1 (but
    # for QT_SCALE_FACTOR). Room for the window at scale 2 (1258x888).
    # -noreset: otherwise the server resets when its last client leaves, and
    # refuses the next one meanwhile (the probe below is such a client).
    Xvfb ":$n" -screen 0 1600x1200x24 -dpi 96 -nolisten tcp -noreset >> "$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for ((i = 0; i < 50; i++)); do
      alive "$XVFB_PID" && xdotool getdisplaygeometry > /dev/null 2>&1 && break
      sleep 0.1
    done
    if alive "$XVFB_PID"; then
      HOME="$WORK/home" openbox --sm-disable --config-file "$WORK/openbox-rc.xml" >> "$WORK/openbox.log" 2>&1 &
      OPENBOX_PID=$!
      for ((i = 0; i < 50; i++)); do
        alive "$OPENBOX_PID" || break
        xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && return 0
        sleep 0.1
      done
    fi
    echo "# display :$n did not come up, trying another (see $WORK/xvfb.log, openbox.log)"
    stop_pid "$OPENBOX_PID"
    stop_pid "$XVFB_PID"
    OPENBOX_PID="" XVFB_PID=""
  done
  abort "no X display with openbox in 100-199"
}

# A cupsd of our own, on a socket in the work folder, with one queue of the
# cups-pdf backend as its default. Nothing on the system's CUPS is touched but
# a configuration file for this queue, removed on exit.
CUPS="$WORK/cups"
PDF_OUT="$WORK/pdf"
QUEUE=VelmoranE2E
export CUPS_SERVER="$CUPS/cups.sock"

start_cups() {
  local i instance="velmoran-e2e-$$"
  mkdir -p "$CUPS/etc/ppd" "$CUPS/spool/tmp" "$CUPS/cache" "$CUPS/state" "$CUPS/log" "$PDF_OUT"
  chmod 755 "$CUPS" "$CUPS/etc"
  sed -e '/^Listen/d' -e '/^Port/d' -e '/^BrowseLocalProtocols/d' -e 's/^Browsing .*/Browsing No/' \
    -e 's/^WebInterface .*/WebInterface No/' -e '/^IdleExitTimeout/d' /etc/cups/cupsd.conf > "$CUPS/etc/cupsd.conf"
  printf 'Listen %s\nIdleExitTimeout 0\n' "$CUPS_SERVER" >> "$CUPS/etc/cupsd.conf"
  cat > "$CUPS/etc/cups-files.conf" << EOF
SystemGroup root
ServerRoot $CUPS/etc
RequestRoot $CUPS/spool
TempDir $CUPS/spool/tmp
CacheDir $CUPS/cache
StateDir $CUPS/state
ErrorLog $CUPS/log/error_log
AccessLog $CUPS/log/access_log
PageLog $CUPS/log/page_log
EOF
  # cups-pdf reads /etc/cups/cups-pdf-INSTANCE.conf for a cups-pdf:/INSTANCE queue.
  CUPS_PDF_CONF="/etc/cups/cups-pdf-$instance.conf"
  printf 'Out %s\nAnonDirName %s\nSpool %s\nLog %s\n' "$PDF_OUT" "$PDF_OUT" "$CUPS/cups-pdf-spool" "$CUPS/log" > "$CUPS_PDF_CONF"
  /usr/sbin/cupsd -f -c "$CUPS/etc/cupsd.conf" -s "$CUPS/etc/cups-files.conf" > "$CUPS/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  for ((i = 0; i < 100; i++)); do
    lpstat -r 2> /dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  lpstat -r 2> /dev/null | grep -q 'is running' || abort "cupsd did not start (see $CUPS/log)"
  lpadmin -p "$QUEUE" -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E 2> /dev/null \
    && lpadmin -d "$QUEUE" || abort "cannot set up the PDF queue"
}

stop_cups() {
  stop_pid "$CUPSD_PID"
  CUPSD_PID=""
}

# ---------------------------------------------------------------- the program

# Logical pixels to device pixels at SCALE, halves rounded up as Qt places
# the picture: "W H X Y" gives WxH+X+Y, "X Y" gives "X Y".
device() {
  awk -v s="$SCALE" -v a="$*" 'BEGIN {
    n = split(a, v, " "); for (i = 1; i <= n; i++) v[i] = int(v[i] * s + 0.5)
    if (n == 4) printf "%dx%d+%d+%d\n", v[1], v[2], v[3], v[4]; else print v[1], v[2] }'
}

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

# Waits up to TIMEOUT seconds for the program to end; sets EXIT_MS (from
# MARK) and EXIT_STATUS.
wait_exit() {
  local timeout=$1 deadline
  deadline=$(($(now_ms) + timeout * 1000))
  while alive "$APP_PID" && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.01; done
  EXIT_MS=$(($(now_ms) - MARK))
  if alive "$APP_PID"; then
    EXIT_STATUS=timeout
    return 1
  fi
  wait "$APP_PID"
  EXIT_STATUS=$?
  APP_PID=""
  return 0
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat" 2> /dev/null || echo 0; }
TICK_MS=$((1000 / $(getconf CLK_TCK)))

xdo() { xdotool "$@" > /dev/null 2>&1; }

# xdotool arguments for a click on a control, and for typing a count into the
# selector, with no pauses (click and key would wait 12 ms per step).
click_on() { echo "mousemove --window $WID $(device ${CENTRE[$1]}) mousedown 1 mouseup 1"; }
# Keys one by one (digits only): "type" would take every argument after it as text.
type_count() { echo "$(click_on combo) key --delay 0 ctrl+a $(echo "$1" | sed "s/./& /g")"; }

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

area_hash() { $IMPORT -window "$WID" -crop "$AREA" rgb:- 2> /dev/null | md5sum; }

# Waits until the drawing area stops changing and the program is idle: the
# same picture over 300 ms with no processor time spent. SETTLE_MS is the
# time from MARK to the last change seen.
settle() {
  local timeout=$1 deadline prev="" h t last c lastc
  deadline=$(($(now_ms) + timeout * 1000))
  last=$(now_ms)
  lastc=$(cpu_ticks)
  while [ "$(now_ms)" -lt "$deadline" ]; do
    h=$(area_hash)
    t=$(now_ms)
    c=$(cpu_ticks)
    if [ "$h" != "$prev" ] || [ "$c" -gt $((lastc + 1)) ]; then
      [ "$h" != "$prev" ] && SETTLE_MS=$((t - MARK))
      prev=$h
      last=$t
      lastc=$c
    elif [ $((t - last)) -ge 300 ]; then
      return 0
    fi
    sleep 0.05
  done
  WHY="still changing after ${timeout}s"
  return 1
}

shot() { $IMPORT -window "${2:-$WID}" "PNG24:$1" 2> /dev/null; }

# A screenshot of WINDOW once it has stopped changing: two in a row agree.
steady_shot() {  # FILE WINDOW
  local i prev="" h
  for ((i = 0; i < 30; i++)); do
    shot "$1" "$2"
    h=$(md5sum < "$1")
    [ "$h" = "$prev" ] && return 0
    prev=$h
    sleep 0.1
  done
}
shot_area() { $IMPORT -window "$WID" -crop "$AREA" +repage "PNG24:$1" 2> /dev/null; }

reference() {  # FIGURE TEXT: the picture the press must give at SCALE
  local file="$WORK/ref-$1-$2.png" dpr=()
  if [ "$SCALE" != 1 ]; then
    file="$WORK/ref-$1-$2-x$SCALE.png"
    dpr=(--dpr "$SCALE")
  fi
  [ -f "$file" ] || env -u QT_SCALE_FACTOR QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK/runtime" \
    "$RENDER" "${dpr[@]}" "$1" "$2" "$file" > /dev/null 2>&1 || abort "velmoran-render ${dpr[*]} $1 $2 failed"
  echo "$file"
}

# After how many leaves the press FIGURE TEXT leaves exactly IMAGE; -1 if never.
leaves_of() {  # FIGURE TEXT IMAGE
  env -u QT_SCALE_FACTOR QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK/runtime" \
    "$RENDER" --leaves-of "$1" "$2" "$3" 2> /dev/null || abort "velmoran-render --leaves-of $1 $2 $3 failed"
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

# Share of the pixels of IMAGE's region CROP within FUZZ of colour R,G,B.
share() {
  $CONVERT "$1" -crop "$2" +repage -alpha off -fuzz "$4" -fill black +opaque "rgb($3)" \
    -fill white -opaque "rgb($3)" -colorspace gray -format '%[fx:mean]' info: 2> /dev/null
}

# PDF files cups-pdf has finished writing.
pdf_count() {
  local n=0 f
  for f in "$PDF_OUT"/*.pdf; do
    [ -f "$f" ] && tail -c 64 "$f" | grep -q '%%EOF' && n=$((n + 1))
  done
  echo "$n"
}
newest_pdf() { ls -t "$PDF_OUT"/*.pdf 2> /dev/null | head -1; }

# Waits up to TIMEOUT seconds for a PDF beyond BEFORE; PDF_MS from MARK.
wait_pdf() {
  local before=$1 timeout=$2 deadline
  deadline=$(($(now_ms) + timeout * 1000))
  while [ "$(pdf_count)" -le "$before" ]; do
    if [ "$(now_ms)" -ge "$deadline" ]; then
      WHY="no PDF within ${timeout}s"
      return 1
    fi
    sleep 0.05
  done
  PDF_MS=$(($(now_ms) - MARK))
  pdfinfo "$(newest_pdf)" > /dev/null 2>&1 || {
    WHY="$(newest_pdf) is not a readable PDF"
    return 1
  }
}

# The newest PDF as a picture at 40 dpi, trimmed to what is printed; sets
# PAGE_W PAGE_H and PRINT_W PRINT_H.
render_print() {
  local out=$1
  # cups-pdf's Type 3 glyphs draw a warning per character from poppler.
  pdftoppm -r 40 -png -singlefile "$(newest_pdf)" "$out-page" 2> /dev/null || return 1
  read -r PAGE_W PAGE_H < <($IDENTIFY -format "%w %h\n" "$out-page.png")
  $CONVERT "$out-page.png" -trim +repage "PNG24:$out.png" || return 1
  read -r PRINT_W PRINT_H < <($IDENTIFY -format "%w %h\n" "$out.png")
}

# A region of the client area, scaled to the printed picture.
printed_region() {  # W H X Y
  awk -v w="$PRINT_W" -v cw="$WINDOW_W" -v W="$1" -v H="$2" -v X="$3" -v Y="$4" \
    'BEGIN { s = w / cw; printf "%dx%d+%d+%d\n", W * s, H * s, X * s, Y * s }'
}

# A message box of the program titled "Velmoran" is shown, and looks exactly
# like a box of that KIND with TEXT.
BOX=""
box_shows() {
  local kind=$1 text=$2 tag=$3 d ref
  BOX=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Velmoran$' 2> /dev/null | head -1)
  [ -n "$BOX" ] || { WHY="no message box"; return 1; }
  steady_shot "$WORK/$tag.png" "$BOX"
  XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=xcb "$RENDER" --box "$kind" "$text" > /dev/null 2>&1 &
  REF_PID=$!
  ref=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$REF_PID" --name '^Velmoran$' 2> /dev/null | head -1)
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

box_gone() {
  local i
  for ((i = 0; i < 50; i++)); do
    xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Velmoran$' > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# ---------------------------------------------------------------- checks

window_opens() {
  local title geometry name
  title=$(xdotool getwindowname "$WID")
  [ "$title" = "Ondrila Vastreni e Ferlino Quarsotti presentano:" ] || { WHY="title \"$title\""; return 1; }
  geometry=$(xwininfo -id "$WID" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  [ "$geometry" = "${WINDOW_W}x${WINDOW_H}" ] || { WHY="client area $geometry"; return 1; }
  shot "$WORK/window.png"
  # Each figure button's face, near two corners and an edge, clear of its
  # border and caption.
  for name in "${FIGURES[@]}"; do
    local x y w h
    read -r x y w h <<< "${GEOMETRY[${BUTTON[$name]}]}"
    for point in "$((x + 6)),$((y + 6))" "$((x + 6)),$((y + h - 7))" "$((x + w - 7)),$((y + h / 2))"; do
      local colour
      colour=$(rgb_at "$WORK/window.png" "$point")
      [ "$colour" = "$FACE" ] || { WHY="$name button face at ($point) is $colour"; return 1; }
    done
  done
  # "Stampa" and "Esci": light standard faces with dark captions.
  for region in "$(crop_of Command6)" "$(crop_of Command5)"; do
    local dark face
    dark=$($CONVERT "$WORK/window.png" -crop "$region" +repage -colorspace gray -threshold 40% -negate \
      -format '%[fx:int(mean*w*h)]' info:)
    face=$(share "$WORK/window.png" "$region" "$FACE" 5%)
    [ "$dark" -ge 30 ] && awk -v f="$face" 'BEGIN { exit !(f < 0.01) }' \
      || { WHY="button at $region: $dark caption pixels, face share $face"; return 1; }
  done
  # The drawing area is blank, in the colour a press clears it to (the
  # triangle keeps clear of the area's corners).
  local blank colours
  blank=$(rgb_at "$(reference triangolo 0)" 0,0)
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

prints_window() {
  local before face figure screen carpet=${COLOURS[tappeto]%% *}
  before=$(pdf_count)
  shot "$WORK/printed-window.png"
  MARK=$(now_ms)
  xdo $(click_on stampa)
  wait_pdf "$before" 30 || return 1
  echo "# PDF job: ${PDF_MS} ms from the click on Stampa to the finished file"
  render_print "$WORK/print" || { WHY="pdftoppm failed"; return 1; }
  # The whole window, aspect kept, as large as the page allows.
  awk -v w="$PRINT_W" -v h="$PRINT_H" -v pw="$PAGE_W" -v ph="$PAGE_H" -v cw="$WINDOW_W" -v ch="$WINDOW_H" \
    'BEGIN { r = (w / h) / (cw / ch); exit !(r > 0.97 && r < 1.03 && (w > 0.9 * pw || h > 0.9 * ph)) }' \
    || { WHY="printed ${PRINT_W}x${PRINT_H} on a ${PAGE_W}x${PAGE_H} page"; return 1; }
  # The four figure buttons, and the figure in the drawing area as on screen.
  face=$(share "$WORK/print.png" "$(printed_region $FIGURE_BUTTONS)" "$FACE" 2%)
  figure=$(share "$WORK/print.png" "$(printed_region $AREA_LOGICAL)" "$carpet" 8%)
  screen=$(share "$WORK/printed-window.png" "$AREA" "$carpet" 0)
  echo "# printout: button face share $face, figure share $figure (on screen $screen)"
  awk -v f="$face" -v g="$figure" -v s="$screen" 'BEGIN { exit !(f > 0.45 && s > 0.2 && g > 0.7 * s && g < 1.3 * s) }' \
    || { WHY="button face share $face, figure share $figure vs $screen on screen (see $WORK/print.png)"; return 1; }
}

# The PDF behind the latest printout, and the window as it was printed
# (printed-window.png): no JPEG anywhere; the job titled Velmoran; the
# window's flat colours exactly on the page; the drawing area embedded
# pixel for pixel, each pixel an even block. Sets PRINT_SCALE, printed
# pixels a window pixel at 300 dpi.
PRINT_SCALE=""
printout_matches_window() {
  local pdf images page name x y screen paper area blocks size d n_screen n_paper koch=${COLOURS[tappeto]%% *}
  pdf=$(newest_pdf)
  images=$(pdfimages -list "$pdf" 2> /dev/null) || { WHY="pdfimages failed on $pdf"; return 1; }
  echo "$images" | sed 's/^/# /'
  if echo "$images" | awk 'NR > 2 && $9 ~ /jpeg|jpx|dct/ { found = 1 } END { exit !found }'; then
    WHY="a lossy image in $pdf"
    return 1
  fi
  pdfinfo "$pdf" 2> /dev/null | grep -q '^Title:.*Velmoran' || { WHY="$pdf is not titled Velmoran"; return 1; }
  # At 300 dpi a window pixel is a little under 4 printed pixels here.
  pdftoppm -r 300 -png -singlefile "$pdf" "$WORK/print-300-page" 2> /dev/null || { WHY="pdftoppm failed"; return 1; }
  $CONVERT "$WORK/print-300-page.png" -trim +repage "PNG24:$WORK/print-300.png" || return 1
  PRINT_SCALE=$($IDENTIFY -format '%[fx:w/629]' "$WORK/print-300.png")
  # Flat colours at the middle of window pixels well inside their areas:
  # the figure buttons' faces, the window, the blank drawing area, the two
  # labels.
  echo "# colour sampled: window (screen) vs page (printout at 300 dpi)"
  while read -r name x y; do
    screen=$(rgb_at "$WORK/printed-window.png" "$x,$y")
    page=$(awk -v s="$PRINT_SCALE" -v x="$x" -v y="$y" 'BEGIN { printf "%d,%d", (x + 0.5) * s, (y + 0.5) * s }')
    paper=$(rgb_at "$WORK/print-300.png" "$page")
    echo "#   $name ($x,$y): $screen vs $paper"
    [ "$screen" = "$paper" ] || { WHY="$name: $screen on screen, $paper on the page"; return 1; }
  done << 'EOW'
fiocco-face 526 30
trina-face 618 128
tappeto-face 526 226
triangolo-face 618 298
window 8 8
window-bottom 600 430
drawing-area 30 40
counter-label 465 390
site-label 380 421
EOW
  # The figure's colour: as many exact pixels as the screen's, scaled.
  n_screen=$(colour_count "$WORK/printed-window.png" "$koch")
  $CONVERT "$WORK/print-300.png" -crop "$(page_region 493 349 18 26)" +repage "PNG24:$WORK/print-300-area.png"
  n_paper=$(colour_count "$WORK/print-300-area.png" "$koch")
  echo "#   figure $koch: $n_screen pixels on screen, $n_paper on the page (x $PRINT_SCALE squared)"
  awk -v a="$n_screen" -v b="$n_paper" -v s="$PRINT_SCALE" 'BEGIN { exit !(a > 100 && b >= 0.5 * a * s * s) }' \
    || { WHY="$n_paper exact $koch pixels on the page for $n_screen on screen"; return 1; }
  # The drawing area, frame included, is the page's largest picture.
  rm -f "$WORK"/printed-image-*
  pdfimages -png "$pdf" "$WORK/printed-image" 2> /dev/null || { WHY="pdfimages -png failed"; return 1; }
  area=$(ls -S "$WORK"/printed-image-*.png | head -1)
  blocks=$($IDENTIFY -format '%[fx:w/497]' "$area")
  size=$($IDENTIFY -format '%wx%h' "$area")
  [ "$size" = "$((497 * blocks))x$((353 * blocks))" ] \
    || { WHY="the largest picture, $size, is not the drawing area in whole blocks"; return 1; }
  $CONVERT "$WORK/printed-window.png" -crop 497x353+16+24 +repage -sample "$((100 * blocks))%" \
    "PNG24:$WORK/area-blocks.png"
  d=$(pixels_differ "$WORK/area-blocks.png" "$area" "$WORK/area-blocks-diff.png")
  echo "# drawing area embedded as ${blocks}x${blocks} blocks: $d pixels differ from the screen's"
  [ "$d" = 0 ] || { WHY="$d pixels of the embedded drawing area differ (see $WORK/area-blocks-diff.png)"; return 1; }
}

# CROP of a 629x444 client area on the 300 dpi page.
page_region() {  # W H X Y
  awk -v s="$PRINT_SCALE" -v W="$1" -v H="$2" -v X="$3" -v Y="$4" \
    'BEGIN { printf "%dx%d+%d+%d\n", W * s, H * s, X * s, Y * s }'
}

# "CHANGING RAMPS" of the caption in CROP of IMAGE, in grey levels:
# CHANGING, the share of the columns beside ink that differ from the column
# before (a window pixel enlarged repeats each column across its block);
# RAMPS, the pixels halfway between ink and face for each pixel of ink (a
# bitmap enlarged smoothly has wide ramps at every edge).
caption_edges() {
  $CONVERT "$1" -crop "$2" +repage -colorspace gray -depth 8 txt:- | awk -F'[,: ()]+' '
    NR > 1 {
      x = $1; y = $2; v = $3; g[x, y] = v
      if (x >= w) w = x + 1
      if (y >= h) h = y + 1
      if (NR == 2 || v < lo) lo = v
      if (NR == 2 || v > hi) hi = v
    }
    END {
      r = hi - lo
      if (r <= 0) { print "0 9"; exit }
      for (x = 0; x < w; x++) for (y = 0; y < h; y++) {
        v = g[x, y]
        if (v < lo + 0.25 * r) { ink++; inked[x] = 1 } else if (v <= lo + 0.75 * r) ramp++
      }
      for (x = 1; x < w; x++) {
        if (!inked[x] && !inked[x - 1]) continue
        columns++
        for (y = 0; y < h; y++) if (g[x, y] != g[x - 1, y]) { changed++; break }
      }
      printf "%.2f %.2f\n", changed / (columns ? columns : 1), ramp / (ink ? ink : 1)
    }'
}

# A caption on the page is drawn at the page's resolution: its edges are
# neither a window pixel's steps nor smoothed ramps. The same caption from
# the screen, enlarged with and without smoothing, fails the same test.
caption_is_sharp() {
  local crop size printed blocky smooth
  [ -n "$PRINT_SCALE" ] || { WHY="no printout was measured"; return 1; }
  crop=$(page_region 95 36 525 110)
  size=${crop%%+*}
  printed=$(caption_edges "$WORK/print-300.png" "$crop")
  $CONVERT "$WORK/printed-window.png" -crop 95x36+525+110 +repage -sample "$size!" "PNG24:$WORK/caption-blocky.png"
  $CONVERT "$WORK/printed-window.png" -crop 95x36+525+110 +repage -resize "$size!" "PNG24:$WORK/caption-smooth.png"
  blocky=$(caption_edges "$WORK/caption-blocky.png" 10000x10000+0+0)
  smooth=$(caption_edges "$WORK/caption-smooth.png" 10000x10000+0+0)
  echo "# caption \"Trina di Koch\" (changing columns, ramp pixels per ink pixel): page $printed," \
    "screen enlarged $blocky, screen smoothed $smooth"
  edges_sharp "$printed" || { WHY="the caption on the page measures $printed"; return 1; }
  ! edges_sharp "$blocky" && ! edges_sharp "$smooth" \
    || { WHY="the measure cannot tell a screen bitmap: $blocky, $smooth"; return 1; }
}

# Of caption_edges: most columns change, and ramps are narrow.
edges_sharp() { awk -v m="$1" 'BEGIN { split(m, v, " "); exit !(v[1] >= 0.5 && v[2] <= 0.5) }'; }

# Pixels of IMAGE within 2% of R,G,B: close enough to take the figure's
# colour through the page's smoothing, far from the figure buttons' face.
near_colour() {
  $CONVERT "$1" -alpha off -fuzz 2% -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" \
    -format '%[fx:round(mean*w*h)]' info: 2> /dev/null
}

# "Stampa…" with "Solo la figura": the queue gets the figure under its name
# and count, as wide as the page allows, and nothing of the window. The text
# is read from the document as the queue received it (cups-pdf's own PDF
# carries its glyphs with no usable Unicode map); the picture from cups-pdf's.
prints_figure_alone() {
  local before dialog folded i doc text page="$WORK/figure-alone-page" width trimmed screen figure face
  local caption="Fiocco di neve di Koch, 4 iterazioni"
  draws fiocco 4 || return 1
  before=$(pdf_count)
  xdo key ctrl+shift+p
  dialog=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Stampa$' 2> /dev/null \
    | head -1)
  [ -n "$dialog" ] || { WHY="Ctrl+Shift+P opened no window named Stampa"; return 1; }
  xdo windowactivate --sync "$dialog"
  folded=$(xwininfo -id "$dialog" | awk '/Height:/ { print $2 }')
  xdo key alt+o  # "Opzioni >>" unfolds the tabs
  for ((i = 0; i < 50; i++)); do
    [ "$(xwininfo -id "$dialog" 2> /dev/null | awk '/Height:/ { print $2 }')" -gt "$folded" ] 2> /dev/null && break
    sleep 0.1
  done
  # From the printer's name, Tab passes Proprietà and the output file's button
  # to the tabs; Ctrl+Shift+Tab turns to the last, the program's own; its
  # buttons come after Opzioni, Stampa and Annulla; Down checks the second.
  xdo key Tab Tab Tab ctrl+shift+Tab Tab Tab Tab Tab Down
  steady_shot "$WORK/print-dialog.png" "$dialog"
  xdo key Return
  if ! wait_pdf "$before" 30; then
    xdo windowactivate --sync "$dialog" key Escape
    WHY="$WHY (see $WORK/print-dialog.png)"
    return 1
  fi
  doc=$(ls -t "$CUPS"/spool/d*-001 2> /dev/null | head -1)
  text=$(timeout 20 pdftotext "$doc" - 2> /dev/null) || { WHY="no text from the job's document $doc"; return 1; }
  grep -qxF "$caption" <<< "$text" && ! grep -qwE 'Esci|Stampa' <<< "$text" \
    || { WHY="the printout's text: ${text//$'\n'/|} (see $WORK/print-dialog.png)"; return 1; }
  # At 150 dpi the screen's one-pixel lines come out wider than a pixel and
  # keep their colour; 60 dpi is the page as shown in the documents.
  timeout 60 pdftoppm -r 150 -png -singlefile "$(newest_pdf)" "$page-150" 2> /dev/null \
    && timeout 60 pdftoppm -r 60 -png -singlefile "$(newest_pdf)" "$page" 2> /dev/null \
    || { WHY="pdftoppm failed"; return 1; }
  width=$($IDENTIFY -format %w "$page-150.png")
  trimmed=$($CONVERT "$page-150.png" -trim -format %w info:)
  screen=$(colour_count "$WORK/draw-fiocco-4.png" "${COLOURS[fiocco]%% *}")
  figure=$(near_colour "$page-150.png" "${COLOURS[fiocco]%% *}")
  face=$(near_colour "$page-150.png" "$FACE")
  echo "# figure alone at 150 dpi: ${trimmed} of ${width} pixels wide, $figure figure pixels ($screen on screen)," \
    "$face of the buttons' face"
  [ "$((10 * ${trimmed:-0}))" -gt "$((9 * ${width:-1}))" ] && [ "$screen" -gt 0 ] && [ "$figure" -ge "$screen" ] \
    && [ "$face" = 0 ] \
    || { WHY="${trimmed}/${width} wide, $figure figure pixels, $face face pixels (see $page-150.png)"; return 1; }
}

# "Stampa" on a queue in trouble: a message box saying MESSAGE (%s stands
# for the queue's name), no PDF, no job left queued, the program goes on.
# SPOIL puts the queue in trouble, MEND sets it right; TAG names the shots.
print_refused() {  # SPOIL MEND MESSAGE TAG
  local spoil=$1 mend=$2 text=${3//%s/$QUEUE} before queued
  before=$(pdf_count)
  eval "$spoil" || { WHY="could not run: $spoil"; return 1; }
  xdo $(click_on stampa)
  if ! box_shows critical "$text" "$4"; then
    xdo key Return
    eval "$mend"
    return 1
  fi
  xdo key Return
  box_gone || { WHY="the box stays after Enter"; eval "$mend"; return 1; }
  sleep 1.5  # time for a job that got through to come out
  queued=$(lpstat -o "$QUEUE" 2> /dev/null)
  eval "$mend"
  [ "$(pdf_count)" = "$before" ] || { WHY="a PDF came out all the same"; return 1; }
  [ -z "$queued" ] || { WHY="a job was left in the queue: $queued"; return 1; }
  alive "$APP_PID" || { WHY="the program ended"; return 1; }
  draws triangolo 2
}

# cups-pdf cancels the job when it cannot make its output folder: a file
# stands where the folder should be.
spoil_pdf_output() {
  local out="$WORK/not-a-folder/out"
  cp "$CUPS_PDF_CONF" "$WORK/cups-pdf.conf.saved" && : > "$WORK/not-a-folder" \
    && sed -i "s|^Out .*|Out $out|; s|^AnonDirName .*|AnonDirName $out|" "$CUPS_PDF_CONF"
}
mend_pdf_output() { cp "$WORK/cups-pdf.conf.saved" "$CUPS_PDF_CONF"; }

# The snowflake of depth 10, timed; then again with "Stampa" clicked right
# behind its button: the click is taken inside the drawing and prints the
# figure as far as it has got, and the drawing then completes undisturbed.
snowflake_with_print() {
  local before c0 c1 printed final blank ratio
  xdo $(type_count 10)
  c0=$(cpu_ticks)
  MARK=$(now_ms)
  xdo $(click_on fiocco)
  settle 60 || return 1
  c1=$(cpu_ticks)
  echo "# snowflake depth 10 in the window: picture complete about ${SETTLE_MS} ms after the click" \
    "(the program worked $(((c1 - c0) * TICK_MS)) ms)"
  shows fiocco 10 snowflake-10 || return 1

  before=$(pdf_count)
  MARK=$(now_ms)
  burst $(click_on fiocco) $(click_on stampa)
  settle 60 || return 1
  shows fiocco 10 snowflake-10-printed || return 1
  wait_pdf "$before" 30 || return 1
  echo "# PDF job from inside the snowflake: finished ${PDF_MS} ms after the click"
  render_print "$WORK/print-snowflake" || { WHY="pdftoppm failed"; return 1; }
  # Figure pixels: whatever in the area is not blank, in the printout and in
  # the finished figure brought to the printout's scale; 2 pixels in from
  # the area's edge, clear of its border once scaled.
  blank=$(rgb_at "$WORK/snowflake-10.png" 0,0)
  local inner_w=$((AREA_W - 4)) inner_h=$((AREA_H - 4))
  $CONVERT "$WORK/snowflake-10.png" -crop "${inner_w}x${inner_h}+2+2" +repage \
    -resize "$(printed_region $inner_w $inner_h 0 0 | cut -d+ -f1)!" "PNG24:$WORK/snowflake-10-small.png"
  printed=$(share "$WORK/print-snowflake.png" \
    "$(printed_region $inner_w $inner_h $((AREA_X + 2)) $((AREA_Y + 2)))" "$blank" 8%)
  final=$(share "$WORK/snowflake-10-small.png" 10000x10000+0+0 "$blank" 8%)
  ratio=$(awk -v p="$printed" -v f="$final" 'BEGIN { printf "%.2f", (1 - p) / (1 - f) }')
  echo "# snowflake printout: $ratio of the finished figure's pixels"
  # A printout of the finished figure measures 0.95 to 1.05 here; the click,
  # taken at the drawing's first hand-over of events, prints next to nothing.
  awk -v r="$ratio" 'BEGIN { exit !(r < 0.8) }' \
    || { WHY="the printout shows $ratio of the finished figure: the click waited for the drawing"; return 1; }
}

# A second press during a drawing: the triangle of depth 50 (the longest
# drawing there is, ten milliseconds or so: the keys and the click after it
# are queued by its first hand-over, at its first yield), then, while it
# draws, count 0 and the carpet. The carpet clears
# the area and is drawn; the triangle goes on over it with the corner
# triangle it was drawing (count 0 leaves nothing to draw of those not yet
# begun), whose leaves' first sides are all drawn over.
nested_press() {
  local colour n
  MARK=$(now_ms)
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
  local d
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
  d=$(pixels_differ "$WORK/fiocco-50.png" "$WORK/nested-endless.png" "$WORK/nested-endless-diff.png")
  [ "$d" = 0 ] || { WHY="$d pixels differ from the snowflake of 50 alone (see $WORK/nested-endless-diff.png)"; return 1; }
}

overflow_reported() {
  shot_area "$WORK/before-overflow.png"
  xdo $(type_count 40000) $(click_on triangolo)
  box_shows critical "$OVERFLOW_TEXT" overflow-box || { xdo key Return; return 1; }
  xdo key Return
  box_gone || { WHY="the box stays after Enter"; return 1; }
  settle 10 || return 1
  shot_area "$WORK/after-overflow.png"
  local d
  d=$(pixels_differ "$WORK/before-overflow.png" "$WORK/after-overflow.png")
  [ "$d" = 0 ] || { WHY="the picture changed ($d pixels)"; return 1; }
  alive "$APP_PID" || { WHY="the program ended"; return 1; }
}

# After "Esci" or a close: the program has ended within a few seconds, with
# status 0, and left no window behind. WHAT names the action in the timing.
ended() {
  local what=$1
  wait_exit 10 || { WHY="still running 10 s after $what"; stop_pid "$APP_PID"; APP_PID=""; return 1; }
  echo "# $what: the program ended ${EXIT_MS} ms after it"
  [ "$EXIT_STATUS" = 0 ] || { WHY="exit status $EXIT_STATUS"; return 1; }
  ! xdotool search --name '^Ondrila' > /dev/null 2>&1 || { WHY="a window remains"; return 1; }
}

# The carpet of count 1000 never ends: its first point shows at once, then
# the program waits for events; "Esci" a second into it ends the program at
# once.
esci_during_carpet() {
  local n c0 c1
  xdo $(type_count 1000)
  MARK=$(now_ms)
  xdo $(click_on tappeto)
  settle 10 || return 1
  shot_area "$WORK/carpet-1000.png"
  n=$(colour_count "$WORK/carpet-1000.png" "${COLOURS[tappeto]%% *}")
  [ "$n" = 1 ] || { WHY="$n carpet pixels, not its one point (see $WORK/carpet-1000.png)"; return 1; }
  c0=$(cpu_ticks)
  sleep 1
  c1=$(cpu_ticks)
  echo "# carpet 1000 in the window: picture complete ${SETTLE_MS} ms after the click;" \
    "$(((c1 - c0) * TICK_MS)) ms of processor time in the second after"
  MARK=$(now_ms)
  xdo $(click_on esci)
  ended "Esci during the carpet of count 1000"
}

# "Stampa" during the carpet of count 1000, which never ends: the job is
# printed while it waits; then the window is closed through its frame
# (openbox's Alt+F4).
print_and_close_during_carpet() {
  local before
  before=$(pdf_count)
  xdo $(type_count 1000) $(click_on tappeto)
  sleep 0.3
  MARK=$(now_ms)
  xdo $(click_on stampa)
  wait_pdf "$before" 30 || return 1
  echo "# PDF job during the carpet: finished ${PDF_MS} ms after the click on Stampa"
  MARK=$(now_ms)
  xdo key alt+F4
  ended "Alt+F4 during the carpet of count 1000"
}

no_printer() {
  local before_pdfs d windows
  before_pdfs=$(pdf_count)
  shot_area "$WORK/before-no-printer.png"
  xdo $(click_on stampa)
  box_shows question "$NO_PRINTER_TEXT" no-printer-box || { xdo key Escape; return 1; }
  xdo key Escape
  box_gone || { WHY="the question stays after Escape"; return 1; }
  sleep 1  # time for a file dialog, were one to follow
  windows=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '.' 2> /dev/null | wc -l)
  [ "$windows" = 1 ] || { WHY="$windows windows after declining"; return 1; }
  settle 10 || return 1
  shot_area "$WORK/after-no-printer.png"
  d=$(pixels_differ "$WORK/before-no-printer.png" "$WORK/after-no-printer.png")
  [ "$d" = 0 ] || { WHY="the picture changed ($d pixels)"; return 1; }
  [ "$(pdf_count)" = "$before_pdfs" ] || { WHY="a PDF was written"; return 1; }
  draws triangolo 3
}

# At QT_SCALE_FACTOR=SCALE the whole window is scaled, and the drawing is
# made at that density: one device pixel lines over the same part of the
# window, exactly the picture drawn at that device-pixel ratio.
scaled_window_draws() {
  local geometry want
  geometry=$(xwininfo -id "$WID" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  want=$(device "$WINDOW_W" "$WINDOW_H" 0 0 | cut -d+ -f1)
  echo "# QT_SCALE_FACTOR=$SCALE: client area $geometry"
  [ "$geometry" = "$want" ] || { WHY="client area $geometry, expected $want"; return 1; }
  draws triangolo 3 || return 1
  shot "$WORK/scale-$SCALE.png"
}

esci_idle() {
  MARK=$(now_ms)
  xdo $(click_on esci)
  ended "Esci while idle"
}

# ---------------------------------------------------------------- keys, export, command line

DESKTOP_ENTRY="$(dirname "$(readlink -f "$0")")/../../data/it.velmoran.Velmoran.desktop"

# The program with ARGS and no display of any kind: RUN_STATUS, RUN_OUT, RUN_ERR.
run_headless() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR HOME="$WORK/home" \
    XDG_RUNTIME_DIR="$WORK/runtime" timeout 30 "$VELMORAN" "$@" > "$WORK/run.out" 2> "$WORK/run.err"
  RUN_STATUS=$?
  RUN_OUT=$(cat "$WORK/run.out")
  RUN_ERR=$(cat "$WORK/run.err")
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

# Ctrl+S, a path typed into the dialog, Enter: the file is the drawing area.
ctrl_s_saves() {
  local file="$WORK/saved.png" dialog i d
  draws tappeto 4 || return 1
  xdo key ctrl+s
  dialog=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Salva immagine$' 2> /dev/null)
  [ -n "$dialog" ] || { WHY="no save dialog"; return 1; }
  xdo windowactivate --sync "${dialog%%$'\n'*}" key ctrl+a type --delay 5 "$file"
  xdo key Return
  for ((i = 0; i < 100; i++)); do [ -s "$file" ] && break; sleep 0.1; done
  settle 10 || return 1
  shot_area "$WORK/saved-shown.png"
  d=$(pixels_differ "$WORK/saved-shown.png" "$file")
  [ "$d" = 0 ] || { WHY="$file differs from the drawing area: $d"; return 1; }
}

# Pixels of IMAGE not of its top-left corner's colour, where the area is blank.
figure_pixels() {
  echo $(($($IDENTIFY -format '%w*%h' "$1") - $(colour_count "$1" "$(rgb_at "$1" 0,0)")))
}

# --export with no display writes what the window shows after the same
# press; at --scale 2 the picture made at device-pixel ratio 2, lines one
# pixel wide: twice the figure's pixels at 1 (an enlargement has four).
export_matches_window() {
  local figure first d one two out="$WORK/export"
  for figure in "${FIGURES[@]}"; do
    draws "$figure" 3 || return 1
    shot_area "$out-window.png"
    run_headless --export "$out-1.png" "$figure" 3
    first="$RUN_STATUS$RUN_ERR"
    run_headless --export "$out-2.png" "$figure" 3 --scale 2
    [ "$first $RUN_STATUS$RUN_ERR" = "0 0" ] || { WHY="--export $figure 3: $first, $RUN_STATUS $RUN_ERR"; return 1; }
    d="$(pixels_differ "$out-window.png" "$out-1.png") $(pixels_differ "$(SCALE=2 reference "$figure" 3)" "$out-2.png")"
    [ "$d" = "0 0" ] || { WHY="$figure: pixels differing from the window, and at scale 2: $d"; return 1; }
    one=$(figure_pixels "$out-1.png")
    two=$(figure_pixels "$out-2.png")
    awk -v a="$one" -v b="$two" 'BEGIN { exit !(b > 1.6 * a && b < 2.4 * a) }' \
      || { WHY="$figure: $one figure pixels at scale 1, $two at scale 2"; return 1; }
  done
}

# Esc sent right after the click on the triangle of depth 50, which works
# along the pixels' edges for ten milliseconds or so, the longest any
# drawing works now: whether the key stops it or comes after its end, no
# processor time is spent from within 100 ms of the key on, and a triangle
# draws next. (A drawing stopped in the middle: slow_pace.)
esc_stops_drawing() {
  local t0 now c prev last=0 keys keyer pause
  # xdotool, started beforehand and reading a pipe, sends the key within a
  # millisecond; read -t on a pipe nobody writes to waits without a process.
  mkfifo "$WORK/keys"
  exec {keys}<> "$WORK/keys" {pause}<> <(:)
  xdotool - < "$WORK/keys" {keys}>&- {pause}<&- > /dev/null 2>&1 &
  keyer=$!
  xdo $(type_count 50) $(click_on triangolo)
  # The main thread's processor time, from the key on, every 2 ms or so.
  t0=${EPOCHREALTIME/./}
  read -r prev _ < "/proc/$APP_PID/schedstat"
  echo "key Escape" >&"$keys"
  while now=$(((${EPOCHREALTIME/./} - t0) / 1000)) && [ "$now" -lt 600 ] \
    && read -r c _ < "/proc/$APP_PID/schedstat"; do
    [ "$c" -gt "$prev" ] && last=$now
    prev=$c
    read -rt 0.002 -u "$pause" _
  done
  exec {keys}>&- {pause}<&-
  stop_pid "$keyer"
  echo "# Esc during the depth-50 triangle: processor time last grew ${last} ms after the key was sent"
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
  while h=$($IMPORT -window "$WID" -crop "$AREA" -depth 8 rgb:- 2> /dev/null | md5sum) && [ "$h" != "$one" ] \
    && [ $(($(now_ms) - t0)) -lt 10000 ]; do
    [ "$h" = "$zero" ] && seen=yes
    sleep 0.05
  done
  t0=$(($(now_ms) - t0))
  xdo key ctrl+l
  [ "$h" = "$one" ] || { WHY="count 1's picture not shown within 10 s"; return 1; }
  [ -n "$seen" ] || { WHY="count 1's picture came without count 0's before it"; return 1; }
  [ "$t0" -ge 1000 ] || { WHY="count 1's picture shown ${t0} ms after the click"; return 1; }
}

# The stage's picture, apart from its toolbars and status line: its largest
# child window (the view is a native window of its own).
stage_pane() {  # STAGE
  xwininfo -children -id "$1" | awk '
    /^ +0x[0-9a-f]+ / { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, /[x+]/)
                          if (s[1] * s[2] > best) { best = s[1] * s[2]; id = $1 } } }
    END { print id }'
}

# F11 opens "Vista ingrandita", the lesson's stage: with "Pixel ingranditi"
# (P) the area's picture as it changes, each pixel a k x k block, k the
# largest whole factor that fits, centred on the blank colour. Its picture
# fits 3 pictures across and 2 down, with odd margins.
large_view() {
  local view pane vw vh pw ph k d i
  xdo key F11
  view=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Vista ingrandita$' \
    2> /dev/null | head -1)
  [ -n "$view" ] || { WHY="F11 opened no window named Vista ingrandita"; return 1; }
  xdo windowactivate --sync "$view"
  xdo key p
  pane=$(stage_pane "$view")
  [ -n "$pane" ] || { WHY="the stage shows no picture of its own"; return 1; }
  read -r vw vh < <(xwininfo -id "$view" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  read -r pw ph < <(xwininfo -id "$pane" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  [ "$pw" -ge $((2 * AREA_W)) ] && [ "$ph" -ge $((2 * AREA_H)) ] || { WHY="the picture opened at ${pw}x${ph}"; return 1; }
  xdo windowsize --sync "$view" $((3 * AREA_W + 2 + vw - pw)) $((2 * AREA_H + 45 + vh - ph))
  xdo windowactivate --sync "$WID"
  draws trina 3 || return 1
  shot_area "$WORK/view-area.png"
  xdo windowactivate --sync "$view"
  steady_shot "$WORK/view.png" "$pane"
  read -r vw vh < <($IDENTIFY -format '%w %h\n' "$WORK/view.png")
  k=$((vw / AREA_W < vh / AREA_H ? vw / AREA_W : vh / AREA_H))
  $CONVERT -size "${vw}x${vh}" "xc:rgb($(rgb_at "$(reference triangolo 0)" 0,0))" \
    \( "$WORK/view-area.png" -sample "$((100 * k))%" \) \
    -geometry "+$(((vw - k * AREA_W) / 2))+$(((vh - k * AREA_H) / 2))" -composite "PNG24:$WORK/view-expected.png"
  d=$(pixels_differ "$WORK/view-expected.png" "$WORK/view.png" "$WORK/view-diff.png")
  echo "# Vista ingrandita: picture ${vw}x${vh}, blocks of ${k}x${k}"
  xdo key alt+F4
  for ((i = 0; i < 50; i++)); do
    xdotool search --onlyvisible --name '^Vista ingrandita$' > /dev/null 2>&1 || break
    sleep 0.1
  done
  xdo windowactivate --sync "$WID"
  [ "$d" = 0 ] || { WHY="$d pixels differ from the area enlarged $k times (see $WORK/view-diff.png)"; return 1; }
  [ "$i" -lt 50 ] || { WHY="the view stays after Alt+F4"; return 1; }
}

# "Ridisegnata" (R) in the stage: the figure the area shows drawn again,
# exactly the export at the largest scale that fits, centred; + zooms in 2
# times about the centre, the point there staying put: the export at twice
# that scale, cut to the view.
stage_redrawn() {
  local view pane pw ph scale origin d zoomed
  draws triangolo 6 || return 1
  xdo key F11
  view=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^Vista ingrandita$' \
    2> /dev/null | head -1)
  [ -n "$view" ] || { WHY="F11 opened no window named Vista ingrandita"; return 1; }
  xdo windowactivate --sync "$view"
  pane=$(stage_pane "$view")
  read -r pw ph < <(xwininfo -id "$pane" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  xdo mousemove --window "$pane" 1 1 click 1 key r
  for zoomed in 0 1; do
    [ "$zoomed" = 0 ] || xdo key equal
    # The whole picture's size and the view's corner in it, as the stage
    # works them out.
    read -r scale origin < <(awk -v w="$pw" -v h="$ph" -v z="$zoomed" 'BEGIN {
      s = w / 493 < h / 349 ? w / 493 : h / 349; W = int(493 * s + 0.5); H = int(349 * s + 0.5)
      x = int((W - w) / 2); y = int((H - h) / 2)
      if (z) { u = (x + w / 2) / W; v = (y + h / 2) / H; s *= 2; W = int(493 * s + 0.5); H = int(349 * s + 0.5)
               x = u * W - w / 2; x = x == int(x) || x >= 0 ? int(x) : int(x) - 1
               y = v * H - h / 2; y = y == int(y) || y >= 0 ? int(y) : int(y) - 1 }
      printf "%.12f %+d%+d\n", s, -x, -y }')
    "$VELMORAN" --export "$WORK/redrawn.png" triangolo 6 --scale "$scale" || { WHY="no export at $scale"; return 1; }
    settle 10
    steady_shot "$WORK/stage-redrawn.png" "$pane"
    $CONVERT -size "${pw}x${ph}" "xc:rgb($(rgb_at "$(reference triangolo 0)" 0,0))" "$WORK/redrawn.png" \
      -geometry "$origin" -composite "PNG24:$WORK/redrawn-expected.png"
    d=$(pixels_differ "$WORK/redrawn-expected.png" "$WORK/stage-redrawn.png" "$WORK/redrawn-diff.png")
    [ "$d" = 0 ] || break
  done
  echo "# Ridisegnata: picture ${pw}x${ph}, the triangle at 6 at scale $scale"
  xdo key p alt+F4
  xdo windowactivate --sync "$WID"
  [ "$d" = 0 ] || { WHY="$d pixels differ from the export at $scale (see $WORK/redrawn-diff.png)"; return 1; }
}

# At "Un passo alla volta" the press draws its first leaf at once, then
# Space on the figure button a click focused draws the next leaf of its
# triangle (count 2: nine), never pressing it again.
space_steps_on_button() {
  local n0 n1
  xdo key ctrl+4 $(type_count 2) $(click_on triangolo)
  settle 10 && shot_area "$WORK/steps-0.png" && xdo key space space space space && settle 10 || return 1
  shot_area "$WORK/steps-4.png"
  n0=$(leaves_of triangolo 2 "$WORK/steps-0.png") n1=$(leaves_of triangolo 2 "$WORK/steps-4.png")
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
  local blank i t0 t1 c0 c1 c2 c3 a b c d share
  blank=$(area_hash)
  xdo $(type_count 4) $(click_on triangolo)
  for ((i = 0; i < 100; i++)); do [ "$(area_hash)" != "$blank" ] && break; sleep 0.05; done
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
  a=$(leaves_of triangolo 4 "$WORK/slow-a.png") b=$(leaves_of triangolo 4 "$WORK/slow-b.png")
  c=$(leaves_of triangolo 4 "$WORK/slow-c.png") d=$(pixels_differ "$WORK/slow-c.png" "$WORK/slow-d.png")
  share=$(awk -v p=$(((c1 - c0) * TICK_MS)) -v t=$((t1 - t0)) 'BEGIN { printf "%.1f", 100 * p / t }')
  echo "# Lenta: leaves $a, then $b $((t1 - t0)) ms later, with $(((c1 - c0) * TICK_MS)) ms of processor time" \
    "($share% of a core); Esc at $c leaves, then $(((c3 - c2) * TICK_MS)) ms of processor time in a second"
  [ "$a" -ge 0 ] && [ "$b" -gt "$a" ] && [ $((b - a)) -le $(((t1 - t0) / 50 + 4)) ] \
    || { WHY="leaves $a, then $b $((t1 - t0)) ms later (see $WORK/slow-*.png)"; return 1; }
  awk -v s="$share" 'BEGIN { exit !(s < 5) }' || { WHY="$share% of a core while drawing slowly"; return 1; }
  [ "$c" -ge "$b" ] && [ "$c" -lt 81 ] && [ "$d" = 0 ] \
    || { WHY="after Esc: leaves $c, then $d pixels changed (see $WORK/slow-*.png)"; return 1; }
  [ $((c3 - c2)) -le 1 ] || { WHY="$(((c3 - c2) * TICK_MS)) ms of processor time after Esc"; return 1; }
}

# With no display: --help, -h, --version, -v work; an unknown option gives
# the usage line, status 2; --export's failures one Italian line, status 1;
# the window one Italian line, status 1.
command_line_headless() {
  local row args want usage="Uso: velmoran [-h | -v | --export FILE FIGURA TESTO [--levels] [--seconds S] [--scale S]]"
  # Each row: ARGS # STATUS|FIRST LINE OUT|LAST LINE ERR
  while IFS= read -r row; do
    args=${row%% # *}
    want=${row#* # }
    # shellcheck disable=SC2086
    run_headless $args
    [ "$RUN_STATUS|${RUN_OUT%%$'\n'*}|${RUN_ERR##*$'\n'}" = "$want" ] \
      || { WHY="velmoran $args: $RUN_STATUS|${RUN_OUT%%$'\n'*}|${RUN_ERR##*$'\n'}"; return 1; }
  done << CASES
--help # 0|$usage|
-h # 0|$usage|
--version # 0|velmoran 1.00|
-v # 0|velmoran 1.00|
--help extra # 2||$usage
--version extra # 2||$usage
--nonsense # 2||$usage
--export $WORK/no.png trina 1 --scale 0 # 2||$usage
--export $WORK/no.jpg trina 1 # 2||$usage
--export $WORK/no.gif trina 1 --seconds 3 # 2||$usage
--export $WORK/no.png trina 1 --levels # 2||$usage
--export $WORK/no.png trina -1 # 1||velmoran: Il numero di iterazioni non può essere negativo.
--export $WORK/no/x.png trina 1 # 1||velmoran: Impossibile salvare l'immagine «$WORK/no/x.png»: la cartella non esiste.
 # 1||velmoran: nessuno schermo disponibile: impossibile aprire la finestra (DISPLAY non è impostata).
-display :1999 # 1||velmoran: impossibile collegarsi allo schermo: la finestra non può essere aperta (il motivo è nelle righe sopra).
CASES
  [ ! -e "$WORK/no.png" ] && [ ! -e "$WORK/no.jpg" ] && [ ! -e "$WORK/no.gif" ] \
    || { WHY="a failed export wrote a file"; return 1; }
}

# ---------------------------------------------------------------- the run

start_x
start_cups
echo "# display $DISPLAY, CUPS at $CUPS_SERVER, work folder $WORK"

start_app main
check "window: title, client area size, figure buttons, Stampa and Esci, blank area" window_opens
for figure in "${FIGURES[@]}"; do
  for count in 0 4; do
    check "$figure depth $count draws pixel-exact" draws "$figure" "$count"
  done
done
# Deeper where it is still quick: the triangle's leaves a pixel or two apart;
# the carpet last, as the printing check wants a dense figure on screen.
check "triangolo depth 7 draws pixel-exact" draws triangolo 7
check "tappeto depth 10 draws pixel-exact, complete at once" deep_carpet
check "tappeto depth 5 draws pixel-exact" draws tappeto 5
check "Stampa prints the window with the carpet to the default PDF queue" prints_window
check "the printout: no JPEG, titled Velmoran, the window's colours exact, the figure's pixels as blocks" \
  printout_matches_window
check "the printout's captions are drawn at the page's resolution, not a screen bitmap enlarged" caption_is_sharp
check "Stampa… (Ctrl+Shift+P), Solo la figura: the snowflake under its name and count, no window" \
  prints_figure_alone
check "a queue that rejects jobs: message, nothing printed, the program goes on" print_refused \
  'cupsreject "$QUEUE"' 'cupsaccept "$QUEUE"' 'La stampante «%s» non accetta lavori di stampa.' rejecting-box
check "a stopped queue: message, nothing sent, the program goes on" print_refused \
  'cupsdisable "$QUEUE"' 'cupsenable "$QUEUE"' 'La stampante «%s» è ferma: la stampa non è stata inviata.' \
  stopped-box
check "a job the server cancels: message, nothing printed, the program goes on" print_refused \
  spoil_pdf_output mend_pdf_output 'La stampa su «%s» è stata annullata dal server di stampa.' cancelled-box
check "snowflake depth 10 completes, with Stampa handled during it" snowflake_with_print
check "a second press during a drawing: the triangle, then the carpet, then the triangle goes on" nested_press
check "an endless figure pressed while another waits is on the screen at once" nested_endless
check "count 40000: overflow message box, picture untouched, program goes on" overflow_reported
check "carpet 1000 shows its point and waits; Esci ends the program at once, status 0" esci_during_carpet

start_app print-and-close
check "Stampa during the carpet of count 1000 prints; Alt+F4 then ends the program, status 0" \
  print_and_close_during_carpet

stop_cups
start_app no-printer
check "no printer: Stampa asks about a PDF, No leaves all as it was, drawing goes on" no_printer
check "Esci while idle ends the program, status 0" esci_idle

for scale in 1 1.25 2; do
  start_app "scale-$scale" "$scale"
  check "QT_SCALE_FACTOR=$scale: window scaled, triangle depth 3 pixel-exact at device-pixel ratio $scale" \
    scaled_window_draws
  MARK=$(now_ms)
  xdo $(click_on esci)
  wait_exit 10 || stop_pid "$APP_PID"
  APP_PID=""
done

start_app extras
check "the window's class is the menu entry's; its icon in every size" window_class_and_icon
check "Ctrl+S and a typed path save the drawing area pixel for pixel" ctrl_s_saves
check "--export with no display: each figure as the window shows it; sharp at scale 2" export_matches_window
check "Esc during the depth-50 triangle: no processor time 100 ms on, then a triangle draws" esc_stops_drawing
check "level by level (Ctrl+L): count 0's picture held a second, then count 1's" level_by_level
check "F11: Vista ingrandita follows the area, each pixel a whole block, centred on the blank colour" large_view
check "Ridisegnata in the stage is the export at the scale that fits, and twice that after +" stage_redrawn
check "Un passo alla volta: Space on the focused figure button steps, never presses it again" space_steps_on_button
xdo key ctrl+3  # "Lenta", for the next run to remember
MARK=$(now_ms)
xdo $(click_on esci)
wait_exit 10 || stop_pid "$APP_PID"
APP_PID=""

start_app slow
check "Lenta, remembered from the last run: a leaf at a time, asleep between; Esc stops it" slow_pace
xdo key ctrl+1
MARK=$(now_ms)
xdo $(click_on esci)
wait_exit 10 || stop_pid "$APP_PID"
APP_PID=""
check "with no display: --help, --version, --export's failures, bad usage, the window" command_line_headless

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
