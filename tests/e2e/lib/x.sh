# A private X server with openbox, and what the checks do with its windows.

# Xvfb on a free display in 100-199, then openbox. Either may lose a race
# with another program taking the same display: then another one is tried.
start_x() {
  local n attempt
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
    if wait_for 5 'alive "$XVFB_PID" && xdotool getdisplaygeometry > /dev/null 2>&1'; then
      HOME="$WORK/home" openbox --sm-disable --config-file "$WORK/openbox-rc.xml" >> "$WORK/openbox.log" 2>&1 &
      OPENBOX_PID=$!
      wait_for 5 'alive "$OPENBOX_PID" && xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q "window id"' \
        && return 0
    fi
    echo "# display :$n did not come up, trying another (see $WORK/xvfb.log, openbox.log)"
    stop_pid "$OPENBOX_PID"
    stop_pid "$XVFB_PID"
    OPENBOX_PID="" XVFB_PID=""
  done
  abort "no X display with openbox in 100-199"
}

xdo() { xdotool "$@" > /dev/null 2>&1; }

# The first visible window of process PID (the program by default) titled
# exactly NAME, waited for up to 10 s; nothing if none came.
find_window() {  # NAME [PID]
  timeout 10 xdotool search --sync --all --onlyvisible --pid "${2:-$APP_PID}" --name "^$1\$" 2> /dev/null | head -1
}

# "W H" of a window's client area.
window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'; }

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
