# Pictures as files and the command line: Ctrl+S, --export beside the
# window, and the program with no display.

# Ctrl+S, a path typed into the dialog, Enter: the file is the drawing area.
ctrl_s_saves() {
  local file="$WORK/saved.png" dialog
  draws tappeto 4 || return 1
  xdo key ctrl+s
  dialog=$(find_window "Salva immagine")
  [ -n "$dialog" ] || { WHY="no save dialog"; return 1; }
  xdo windowactivate --sync "$dialog" key ctrl+a type --delay 5 "$file"
  xdo key Return
  wait_for 10 '[ -s "$file" ]'
  settle 10 || return 1
  shot_area "$WORK/saved-shown.png"
  same_pixels "$WORK/saved-shown.png" "$file" "the drawing area"
}

# --export with no display writes what the window shows after the same
# press; at --scale 2 the picture made at device-pixel ratio 2, lines one
# pixel wide: twice the figure's pixels at 1 (an enlargement has four).
export_matches_window() {
  local figure first one two out="$WORK/export"
  for figure in "${FIGURES[@]}"; do
    draws "$figure" 3 || return 1
    run_headless --export "$out-1.png" "$figure" 3
    first="$RUN_STATUS$RUN_ERR"
    run_headless --export "$out-2.png" "$figure" 3 --scale 2
    [ "$first $RUN_STATUS$RUN_ERR" = "0 0" ] || { WHY="--export $figure 3: $first, $RUN_STATUS $RUN_ERR"; return 1; }
    same_pixels "$WORK/draw-$figure-3.png" "$out-1.png" "the window's $figure 3" \
      && same_pixels "$(SCALE=2 reference "$figure" 3)" "$out-2.png" "$figure 3 drawn at scale 2" || return 1
    one=$(figure_pixels "$out-1.png")
    two=$(figure_pixels "$out-2.png")
    awk -v a="$one" -v b="$two" 'BEGIN { exit !(b > 1.6 * a && b < 2.4 * a) }' \
      || { WHY="$figure: $one figure pixels at scale 1, $two at scale 2"; return 1; }
  done
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
  ! ls "$WORK"/no.* > /dev/null 2>&1 || { WHY="a failed export wrote a file"; return 1; }
}

