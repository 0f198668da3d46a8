# Sourced by the scripts that run Windows programs: a private 32-bit Wine prefix
# inside a build folder, a persistent wineserver, and Xvfb when no display is set.
#   corvane_wine_prepare BUILD_DIR   sets WINEPREFIX, WINEARCH, WINEDEBUG, DISPLAY

corvane_free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return 0; fi
  done
  return 1
}

corvane_ensure_display() {
  local build=$1 file="$1/wine-display" n
  if [ -n "${DISPLAY:-}" ] && [ ! -f "$file" ]; then return 0; fi
  if [ -f "$file" ]; then
    DISPLAY=$(cat "$file"); export DISPLAY
    if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
  fi
  n=$(corvane_free_display)
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac >"$build/xvfb.log" 2>&1 < /dev/null &
  for _ in $(seq 1 100); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    sleep 0.1
  done
  echo ":$n" > "$file"
  export DISPLAY=":$n"
}

corvane_wine_prepare() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Keep the ANSI code page fixed (1252) whatever locale the machine has.
  export LANG=C.UTF-8 LC_ALL=
  exec 9>"$build/wine.lock"
  flock 9
  corvane_ensure_display "$build"
  if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >"$build/wineboot.log" 2>&1 < /dev/null
    wineserver -w
    # A virtual desktop: Wine draws frames and manages focus without a window
    # manager, and windows appear without the unmanaged-window stall.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$build/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >>"$build/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$build/wineboot.log" 2>&1
    wineserver -w
    touch "$WINEPREFIX/.corvane-ready"
  fi
  # A prefix made before Wine's fonts were installed lacks them (the caption
  # buttons' Marlett among them).
  if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] && [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  # A persistent server, started with its output to files: the services the
  # first Wine process starts inherit its standard handles.
  if ! corvane_wineserver_alive "$build"; then
    wineserver -p >"$build/wineserver.log" 2>&1 < /dev/null
    wine cmd /c exit >>"$build/wineserver.log" 2>&1 < /dev/null
    corvane_wineserver_pid > "$build/wineserver.pid"
  fi
  flock -u 9
  exec 9>&-
}

# The server of this prefix: the wineserver process whose environment names it.
corvane_wineserver_pid() {
  local pid
  for pid in $(pgrep -f 'wineserver' || true); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"; return 0
    fi
  done
  return 1
}

corvane_wineserver_alive() {
  local pid
  [ -f "$1/wineserver.pid" ] || return 1
  pid=$(cat "$1/wineserver.pid")
  [ -n "$pid" ] && tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"
}
