# A cupsd of our own, on a socket in the work folder, with one queue of the
# cups-pdf backend as its default; the PDF files it writes, as pictures.
# Nothing on the system's CUPS is touched but a configuration file for this
# queue, removed on exit.

QUEUE=VelmoranE2E
PDF_MS=0

start_cups() {
  local i instance="velmoran-e2e-$$"
  CUPS="$WORK/cups"
  PDF_OUT="$WORK/pdf"
  export CUPS_SERVER="$CUPS/cups.sock"
  mkdir -p "$CUPS/etc/ppd" "$CUPS/spool/tmp" "$CUPS/cache" "$CUPS/state" "$CUPS/log" "$PDF_OUT"
  chmod 755 "$CUPS" "$CUPS/etc"
  sed -e '/^Listen/d' -e '/^Port/d' -e '/^BrowseLocalProtocols/d' -e 's/^Browsing .*/Browsing No/' \
    -e 's/^WebInterface .*/WebInterface No/' -e '/^IdleExitTimeout/d' /etc/cups/cupsd.conf > "$CUPS/etc/cupsd.conf"
  printf 'Listen %s\nIdleExitTimeout 0\n' "$CUPS_SERVER" >> "$CUPS/etc/cupsd.conf"
  cat > "$CUPS/etc/cups-files.conf" << FILES
SystemGroup root
ServerRoot $CUPS/etc
RequestRoot $CUPS/spool
TempDir $CUPS/spool/tmp
CacheDir $CUPS/cache
StateDir $CUPS/state
ErrorLog $CUPS/log/error_log
AccessLog $CUPS/log/access_log
PageLog $CUPS/log/page_log
FILES
  # cups-pdf reads /etc/cups/cups-pdf-INSTANCE.conf for a cups-pdf:/INSTANCE queue.
  CUPS_PDF_CONF="/etc/cups/cups-pdf-$instance.conf"
  printf 'Out %s\nAnonDirName %s\nSpool %s\nLog %s\n' "$PDF_OUT" "$PDF_OUT" "$CUPS/cups-pdf-spool" "$CUPS/log" \
    > "$CUPS_PDF_CONF"
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

# A region of the client area on the 300 dpi page (PRINT_SCALE printed
# pixels a window pixel).
page_region() {  # W H X Y
  awk -v s="$PRINT_SCALE" -v W="$1" -v H="$2" -v X="$3" -v Y="$4" \
    'BEGIN { printf "%dx%d+%d+%d\n", W * s, H * s, X * s, Y * s }'
}
