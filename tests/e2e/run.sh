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
# tools. Everything started here is stopped on the way out. The work folder
# (screenshots, PDFs, logs) is kept when a check fails, or with E2E_KEEP=1.
#
# The harness is in lib/, the checks by topic in checks/; this file runs
# them in order, a few sessions of the program, each check reusing what the
# ones before it left on the screen or in the queue.
set -uo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 VELMORAN [VELMORAN_RENDER]" >&2; exit 2; }
VELMORAN=$(readlink -f "$1")
RENDER=$(readlink -f "${2:-$(dirname "$VELMORAN")/../tests/e2e/velmoran-render}")
E2E=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")

# shellcheck source=/dev/null
for part in "$E2E"/lib/*.sh "$E2E"/checks/*.sh; do source "$part"; done

make_work_folder
require_tools
read_layout
start_x
start_cups
echo "# display $DISPLAY, CUPS at $CUPS_SERVER, work folder $WORK"

start_app main
check "window: title, client area size, figure buttons, Stampa and Esci, blank area" window_opens
for figure in "${FIGURES[@]}"; do
  for count in 0 4; do
    check "$figure count $count draws pixel-exact" draws "$figure" "$count"
  done
done
# Deeper where it is still quick: the triangle's leaves a pixel or two apart;
# the carpet of 10 drawn call by call for the reference, where the window
# skips the billion boxes that cannot change the picture; the carpet last,
# as the printing checks want a dense figure on screen.
check "triangolo count 7 draws pixel-exact" draws triangolo 7
check "tappeto count 10 draws pixel-exact, complete at once" draws tappeto 10
check "tappeto count 5 draws pixel-exact" draws tappeto 5
check "Stampa prints the window with the carpet to the default PDF queue" prints_window
check "the printout: no JPEG, titled Velmoran, the window's colours exact, the figure's pixels as blocks" \
  printout_matches_window
check "the printout's captions are drawn at the page's resolution, not a screen bitmap enlarged" caption_is_sharp
check "Stampa… (Ctrl+Shift+P), Solo la figura: the snowflake under its name and count, no window" \
  prints_figure_alone
# A press refused with a message box: TAG | KIND KEY of the box | COUNT typed
# (- none) and CONTROL clicked | SPOIL MEND, commands on the queue | NAME |
# TEXT, %s the queue's name.
while IFS='|' read -r -u 3 tag box press queue name text; do
  # shellcheck disable=SC2086
  check "$name" refused "$tag" $box $press $queue "$text"
done 3<< 'REFUSALS'
rejecting|critical Return|- stampa|cupsreject cupsaccept|a queue that rejects jobs: message, nothing printed, the program goes on|La stampante «%s» non accetta lavori di stampa.
stopped|critical Return|- stampa|cupsdisable cupsenable|a stopped queue: message, nothing sent, the program goes on|La stampante «%s» è ferma: la stampa non è stata inviata.
cancelled|critical Return|- stampa|spoil_output mend_output|a job the server cancels: message, nothing printed, the program goes on|La stampa su «%s» è stata annullata dal server di stampa.
overflow|critical Return|40000 triangolo|: :|count 40000: overflow message box, picture untouched, program goes on|Overflow: il numero di iterazioni deve essere compreso tra 0 e 32767.
REFUSALS
check "snowflake count 10 completes, with Stampa handled during it" snowflake_with_print
check "a second press during a drawing: the triangle, then the carpet, then the triangle goes on" nested_press
check "an endless figure pressed while another waits is on the screen at once" nested_endless
check "carpet 1000 shows its point and waits; Esci ends the program at once, status 0" esci_during_carpet

start_app print-and-close
check "Stampa during the carpet of count 1000 prints; Alt+F4 then ends the program, status 0" \
  print_and_close_during_carpet

stop_pid "$CUPSD_PID"  # no printer from here on
CUPSD_PID=""
start_app no-printer
check "no printer: Stampa asks about a PDF, No leaves all as it was, drawing goes on" refused no-printer question \
  Escape - stampa : : $'Non è configurata nessuna stampante predefinita.\nSalvare la stampa in un file PDF?'
check "Esci while idle ends the program, status 0" ended "Esci while idle" click esci

for scale in 1 1.25 2; do
  start_app "scale-$scale" "$scale"
  check "QT_SCALE_FACTOR=$scale: window scaled, triangle count 3 pixel-exact at device-pixel ratio $scale" \
    scaled_window_draws
  quit_app
done

start_app extras
check "the window's class is the menu entry's; its icon in every size" window_class_and_icon
check "Ctrl+S and a typed path save the drawing area pixel for pixel" ctrl_s_saves
check "--export with no display: each figure as the window shows it; sharp at scale 2" export_matches_window
check "Esc during the triangle of count 50: no processor time 100 ms on, then a triangle draws" esc_stops_drawing
check "level by level (Ctrl+L): count 0's picture held a second, then count 1's" level_by_level
check "F11: Vista ingrandita follows the area, each pixel a whole block, centred on the blank colour" large_view
check "Ridisegnata in the stage is the export at the scale that fits, and twice that after +" stage_redrawn
check "Un passo alla volta: Space on the focused figure button steps, never presses it again" space_steps_on_button
xdo key ctrl+3  # "Lenta", for the next run to remember
quit_app

start_app slow
check "Lenta, remembered from the last run: a leaf at a time, asleep between; Esc stops it" slow_pace
xdo key ctrl+1
quit_app
check "with no display: --help, --version, --export's failures, bad usage, the window" command_line_headless

finish
