# The harness itself: the work folder, processes started here, the checks'
# count and the way out.

# /usr/local/bin may hold stand-ins for ImageMagick's tools.
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare
IMPORT=/usr/bin/import
IDENTIFY=/usr/bin/identify

passed=0
failed=0
WHY=""
APP_PID="" WID="" XVFB_PID="" OPENBOX_PID="" CUPSD_PID="" REF_PID=""
CUPS_PDF_CONF=""

now_ms() { echo $(($(date +%s%N) / 1000000)); }

alive() { [ -n "$1" ] && [ -e "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }

# Tries CONDITION, a command line, until it holds or SECONDS have passed;
# whether it held.
wait_for() {  # SECONDS CONDITION
  local until_ms=$(($(now_ms) + $1 * 1000))
  until eval "$2"; do
    [ "$(now_ms)" -lt "$until_ms" ] || return 1
    sleep 0.05
  done
}

# Ends a process started here, politely first.
stop_pid() {
  local pid=$1
  if alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null
    kill -CONT "$pid" 2>/dev/null  # were it held by burst
    wait_for 3 '! alive "$pid"' || kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  return 0
}

# WORK holds screenshots, PDFs and logs; kept when a check fails, or with
# E2E_KEEP=1.
make_work_folder() {
  WORK=$(mktemp -d /tmp/velmoran-e2e.XXXXXX)
  # cupsd's filters run as lp and must reach the spool folder inside.
  chmod 755 "$WORK"
  mkdir -p "$WORK/home" "$WORK/runtime"
  chmod 700 "$WORK/runtime"
  trap cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

cleanup() {
  local pid
  for pid in "$REF_PID" "$APP_PID" "$OPENBOX_PID" "$XVFB_PID" "$CUPSD_PID"; do stop_pid "$pid"; done
  [ -n "$CUPS_PDF_CONF" ] && rm -f "$CUPS_PDF_CONF"
  if [ "$failed" -gt 0 ] || [ "${E2E_KEEP:-0}" = 1 ]; then
    echo "work folder kept: $WORK"
  else
    rm -rf "$WORK"
  fi
}

# A failure of the harness itself, not of the program.
abort() {
  echo "not ok - setup: $*"
  failed=$((failed + 1))
  finish
}

require_tools() {
  local tool
  for tool in Xvfb openbox xdotool xprop xwininfo pdftoppm pdfinfo pdfimages pdftotext /usr/sbin/cupsd lpadmin \
    lpstat "$CONVERT" "$COMPARE" "$IMPORT" "$IDENTIFY"; do
    command -v "$tool" > /dev/null || abort "$tool is missing (run scripts/setup.sh)"
  done
  [ -x "$VELMORAN" ] || abort "no program at $VELMORAN"
  [ -x "$RENDER" ] || abort "no velmoran-render at $RENDER"
  [ "$(id -u)" = 0 ] || abort "must run as root (cupsd, cups-pdf)"
}

# check NAME FUNCTION [ARGS...]: FUNCTION sets WHY when it fails. Past the
# time limit, the checks left fail without running (a hung program would
# otherwise cost every one its full timeout). E2E_LIMIT_S raises it on a
# machine busy with other work.
LIMIT_MS=$((${E2E_LIMIT_S:-180} * 1000))
START_MS=$(now_ms)
check() {
  local name=$1
  shift
  WHY=""
  if [ $(($(now_ms) - START_MS)) -gt "$LIMIT_MS" ]; then
    WHY="not run: the suite is past $((LIMIT_MS / 1000)) s"
  elif "$@"; then
    echo "ok - $name"
    passed=$((passed + 1))
    return
  fi
  echo "not ok - $name: ${WHY:-failed}"
  failed=$((failed + 1))
}

# The last line, and the status: non-zero if any check failed.
finish() {
  echo "$passed passed, $failed failed"
  exit $((failed > 0))
}
