# A cupsd of our own, on a socket in the work folder, with one queue of the
# cups-pdf backend as its default; the PDF files it writes, as pictures.
# Nothing on the system's CUPS is touched but a configuration file for this
# queue, removed on exit.

QUEUE=VelmoranE2E
PRINT_SCALE=""  # of the latest printout made a picture (print_picture)

start_cups() {
  local instance="velmoran-e2e-$$"
  CUPS="$WORK/cups"
  PDF_OUT="$WORK/pdf"
  export CUPS_SERVER="$CUPS/cups.sock"
  mkdir -p "$CUPS/etc/ppd" "$CUPS/spool/tmp" "$CUPS/cache" "$CUPS/state" "$CUPS/log" "$PDF_OUT"
  chmod 755 "$CUPS" "$CUPS/etc"
  sed -e '/^Listen/d' -e '/^Port/d' -e '/^BrowseLocalProtocols/d' -e 's/^Browsing .*/Browsing No/' \
    -e 's/^WebInterface .*/WebInterface No/' -e '/^IdleExitTimeout/d' /etc/cups/cupsd.conf > "$CUPS/etc/cupsd.conf"
  printf 'Listen %s\nIdleExitTimeout 0\n' "$CUPS_SERVER" >> "$CUPS/etc/cupsd.conf"
  printf '%s\n' "SystemGroup root" "ServerRoot $CUPS/etc" "RequestRoot $CUPS/spool" "TempDir $CUPS/spool/tmp" \
    "CacheDir $CUPS/cache" "StateDir $CUPS/state" "ErrorLog $CUPS/log/error_log" \
    "AccessLog $CUPS/log/access_log" "PageLog $CUPS/log/page_log" > "$CUPS/etc/cups-files.conf"
  # cups-pdf reads /etc/cups/cups-pdf-INSTANCE.conf for a cups-pdf:/INSTANCE queue.
  CUPS_PDF_CONF="/etc/cups/cups-pdf-$instance.conf"
  printf 'Out %s\nAnonDirName %s\nSpool %s\nLog %s\n' "$PDF_OUT" "$PDF_OUT" "$CUPS/cups-pdf-spool" "$CUPS/log" \
    > "$CUPS_PDF_CONF"
  /usr/sbin/cupsd -f -c "$CUPS/etc/cupsd.conf" -s "$CUPS/etc/cups-files.conf" > "$CUPS/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  wait_for 10 "lpstat -r 2> /dev/null | grep -q 'is running'" || abort "cupsd did not start (see $CUPS/log)"
  lpadmin -p "$QUEUE" -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E 2> /dev/null \
    && lpadmin -d "$QUEUE" || abort "cannot set up the PDF queue"
}

# PDF files cups-pdf has finished writing.
pdf_count() { grep -l '%%EOF' "$PDF_OUT"/*.pdf 2> /dev/null | wc -l; }
newest_pdf() { ls -t "$PDF_OUT"/*.pdf 2> /dev/null | head -1; }

# WHAT, COMMAND run (at MARK), prints: a readable PDF comes out within 30 s.
prints() {  # WHAT COMMAND...
  local before
  before=$(pdf_count)
  MARK=$(now_ms)
  "${@:2}"
  wait_for 30 '[ "$(pdf_count)" -gt "$before" ]' || { WHY="no PDF within 30 s"; return 1; }
  echo "# PDF job $1: finished $(($(now_ms) - MARK)) ms after it"
  pdfinfo "$(newest_pdf)" > /dev/null 2>&1 || { WHY="$(newest_pdf) is not a readable PDF"; return 1; }
}

# The newest PDF as a picture at DPI, trimmed to what is printed, in
# NAME.png; sets PAGE_W PAGE_H, the page's size, PRINT_W PRINT_H, the
# printout's, and PRINT_SCALE, printed pixels a window pixel.
print_picture() {  # DPI NAME
  local out="$WORK/$2"
  # cups-pdf's Type 3 glyphs draw a warning per character from poppler.
  timeout 60 pdftoppm -r "$1" -png -singlefile "$(newest_pdf)" "$out-page" 2> /dev/null \
    || { WHY="pdftoppm failed"; return 1; }
  read -r PAGE_W PAGE_H < <($IDENTIFY -format "%w %h\n" "$out-page.png")
  read -r PRINT_W PRINT_H < <($CONVERT "$out-page.png" -trim +repage -write "PNG24:$out.png" -format "%w %h\n" info:)
  PRINT_SCALE=$(awk -v p="$PRINT_W" -v w="$WINDOW_W" 'BEGIN { print p / w }')
}
