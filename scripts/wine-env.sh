# Sourced by the scripts that run Windows programs: a private 32-bit Wine prefix
# inside a build folder, a persistent wineserver, and Xvfb when no display is set.
#   corvane_wine_prepare BUILD_DIR   sets WINEPREFIX, WINEARCH, WINEDEBUG, DISPLAY
# With CORVANE_WINE64=1 the prefix is a second, 64-bit one of the same build
# folder, where the 32-bit program runs under the file-system and registry
# redirection of 64-bit Windows. Its user folders (Desktop, Documents ...) link
# to a home folder of its own, which holds a few files and a link back to the
# prefix's drive_c, as a home folder holding the prefix does.

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
  local build tag=""
  build=$(cd "$1" && pwd)
  if [ "${CORVANE_WINE64:-0}" = 1 ]; then
    tag=64
    export WINEPREFIX="$build/wineprefix64" WINEARCH=win64 HOME="$build/wine64-home"
  else
    export WINEPREFIX="$build/wineprefix" WINEARCH=win32
  fi
  export WINEDEBUG=-all
  # No Mono or Gecko installer, and no menu entries on the host for the
  # shortcuts an installer makes in the Start menu.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Keep the ANSI code page fixed (1252) whatever locale the machine has;
  # CORVANE_WINE_LOCALE names another, which must exist on the host
  # (ja_JP.UTF-8: the double-byte code page 932, which setup.sh provides).
  export LANG=${CORVANE_WINE_LOCALE:-C.UTF-8} LC_ALL=
  exec 9>"$build/wine$tag.lock"
  flock 9
  corvane_ensure_display "$build"
  if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
    rm -rf "$WINEPREFIX"
    if [ -n "$tag" ]; then
      rm -rf "$HOME"
      mkdir -p "$HOME/Music"
      echo "a file in the home folder" > "$HOME/notes.txt"
      echo "la la" > "$HOME/Music/song.txt"
      ln -s "$WINEPREFIX/drive_c" "$HOME/Prefix drive"
    fi
    wineboot -i >"$build/wineboot$tag.log" 2>&1 < /dev/null
    wineserver -w
    # A virtual desktop: Wine draws frames and manages focus without a window
    # manager, and windows appear without the unmanaged-window stall.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$build/wineboot$tag.log" 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >>"$build/wineboot$tag.log" 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$build/wineboot$tag.log" 2>&1
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
  if ! corvane_wineserver_alive "$build/wineserver$tag.pid"; then
    wineserver -p >"$build/wineserver$tag.log" 2>&1 < /dev/null
    wine cmd /c exit >>"$build/wineserver$tag.log" 2>&1 < /dev/null
    corvane_wineserver_pid > "$build/wineserver$tag.pid"
  fi
  flock -u 9
  exec 9>&-
}

# The server of this prefix: the wineserver process whose environment names it.
corvane_wineserver_pid() {
  local pid
  for pid in $(pgrep -f 'wineserver' || true); do
    if { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"; return 0
    fi
  done
  return 1
}

# Whether the server whose pid file is given still serves this prefix.
corvane_wineserver_alive() {
  local pid
  [ -f "$1" ] || return 1
  pid=$(cat "$1")
  [ -n "$pid" ] && { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"
}

# The user folders of a fresh prefix (Desktop, Documents, ...) are links to the
# host's home folder, which may hold this prefix again: a walk of C: would go
# round. Each becomes an empty folder. After corvane_wine_prepare.
corvane_wine_unlink_drive_c() {
  local link
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done < <(find "$WINEPREFIX/drive_c" -type l -print0)
}

# For a script that runs on its own and cleans up after itself:
#   own_x=$(corvane_wine_own_x BUILD_DIR)   before corvane_wine_prepare: 1 when
#                                           the build folder's X server is not
#                                           running yet (the script starts it)
#   corvane_wine_stop BUILD_DIR OWN_X       at the end: the prefix's server, and
#                                           the X server when the script started it
corvane_wine_own_x() {
  if [ -f "$1/wine-display" ] && xdpyinfo -display "$(cat "$1/wine-display")" >/dev/null 2>&1; then
    echo 0
  else
    echo 1
  fi
}

corvane_wine_stop() {
  local build=$1 n pid
  wineserver -k 2>/dev/null || true
  timeout 60 wineserver -w 2>/dev/null || true
  rm -f "$build/wineserver.pid"
  if [ "$2" = 1 ] && [ -f "$build/wine-display" ]; then
    n=$(cut -c2- "$build/wine-display")
    pid=$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null || true)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -f "$build/wine-display"
  fi
}
