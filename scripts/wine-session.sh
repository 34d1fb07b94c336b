# Sourced by the scripts that run Windows programs: a virtual X display and a
# fresh 64-bit Wine prefix, set up the way the dialog looks right and a closed
# window does not wait for a window manager. Needs wine64, fonts-wine, xvfb
# and xauth (scripts/install-deps.sh installs them).
#   wine_session_start FOLDER   display and prefix in FOLDER; exports DISPLAY, WINEPREFIX...
#   wine_session_stop           ends the Wine server and the display (safe to call twice)
# Then run programs with "$WINE64" program.exe ... </dev/null.

WINE64=/usr/lib/wine/wine64            # the wine64 package puts nothing on PATH
WINESERVER=/usr/lib/wine/wineserver64

wine_session_start() {
    local dir=$1
    mkdir -p "$dir"
    rm -f "$dir/xvfb.display"
    exec 3>"$dir/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$dir/xvfb.display" ] && break; sleep 0.1; done
    [ -s "$dir/xvfb.display" ] || { echo "Xvfb did not start"; cat "$dir/xvfb.log"; return 1; }
    export DISPLAY=":$(cat "$dir/xvfb.display")"
    export WINEPREFIX=$dir/wineprefix
    export WINEDEBUG=-all                         # keeps Wine's fixme/err channels quiet
    export WINEDLLOVERRIDES="mscoree,mshtml="     # never offer Mono or Gecko
    "$WINESERVER" -k 2>/dev/null || true          # a server left by an interrupted run
    rm -rf "$WINEPREFIX"
    # Wine's background services inherit the output files: send them to a log,
    # never into a pipe that would wait for them.
    "$WINE64" wineboot --init >"$dir/wineboot.log" 2>&1 </dev/null
    # One virtual desktop: Wine draws the frames itself and closing a window
    # does not wait for a window manager.
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
        >>"$dir/wineboot.log" 2>&1 </dev/null
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        >>"$dir/wineboot.log" 2>&1 </dev/null
    # Debian's Wine does not find its own fonts (Tahoma, Marlett) by itself.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    "$WINESERVER" -k 2>/dev/null || true          # the settings apply from the next start
    "$WINESERVER" -w 2>/dev/null || true
}

wine_session_stop() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
    [ -n "${WINE_SESSION_XVFB_PID:-}" ] && kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=
}
