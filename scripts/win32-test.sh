#!/usr/bin/env bash
# Cross-builds the Windows dialog program for x86_64 and i686 with MinGW-w64 and
# runs its UI test driver under Wine on a virtual X display (64-bit only: these
# machines run no 32-bit code). Exits with the driver's status.
# Usage: scripts/win32-test.sh        (from anywhere; no standard input needed)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT64=$ROOT/build-win64
OUT32=$ROOT/build-win32
WINE64=/usr/lib/wine/wine64            # the wine64 package puts nothing on PATH
WINESERVER=/usr/lib/wine/wineserver64
t0=$SECONDS
phase() { echo "== [$((SECONDS - t0)) s] $*"; }

# ---- tools --------------------------------------------------------------------
# Only what is missing is installed: the *-win32 compilers (the plain names pull
# the posix variant too) and wine64 without its recommends (a quarter the size).
bash "$ROOT/scripts/install-deps.sh" cmake make g++-mingw-w64-x86-64-win32 \
    g++-mingw-w64-i686-win32 wine64 fonts-wine xvfb xauth

# ---- build ----------------------------------------------------------------------
build() {  # $1 = x86_64 | i686, $2 = build folder
    cmake -S "$ROOT" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        >"$2/configure.log" 2>&1 || { cat "$2/configure.log"; return 1; }
    cmake --build "$2" -j2
}
phase "build x86_64"
mkdir -p "$OUT64"
build x86_64 "$OUT64"
phase "build i686 (compiled and linked, not run)"
mkdir -p "$OUT32"
build i686 "$OUT32"

# ---- display and a fresh Wine prefix ---------------------------------------------
phase "Xvfb and a fresh Wine prefix"
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
rm -f "$OUT64/xvfb.display"
exec 3>"$OUT64/xvfb.display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$OUT64/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$OUT64/xvfb.display" ] && break; sleep 0.1; done
[ -s "$OUT64/xvfb.display" ] || { echo "Xvfb did not start"; cat "$OUT64/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$OUT64/xvfb.display")"
export WINEPREFIX=$OUT64/wineprefix
export WINEDEBUG=-all                         # keeps Wine's fixme/err channels quiet
export WINEDLLOVERRIDES="mscoree,mshtml="     # never offer Mono or Gecko
"$WINESERVER" -k 2>/dev/null || true          # a server left by an interrupted run
rm -rf "$WINEPREFIX"
# Wine's background services inherit the output files: send them to a log,
# never into a pipe that would wait for them.
"$WINE64" wineboot --init >"$OUT64/wineboot.log" 2>&1 </dev/null
# One virtual desktop: Wine draws the frames itself and closing a window does
# not wait for a window manager.
"$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$OUT64/wineboot.log" 2>&1
"$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
    >>"$OUT64/wineboot.log" 2>&1
# Debian's Wine does not find its own fonts (Tahoma, Marlett) by itself.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$WINESERVER" -k 2>/dev/null || true          # the settings apply from the next start
"$WINESERVER" -w 2>/dev/null || true

# ---- UI test -----------------------------------------------------------------------
phase "UI test (x86_64 under Wine)"
example=()
[ -f "$ROOT/examples/traverse.rw5" ] && example=("Z:${ROOT//\//\\}\\examples\\traverse.rw5")
rc=0
(cd "$OUT64" && timeout 300 "$WINE64" trovisk-ui-test.exe trovisk-gui.exe dialog.bmp \
    "${example[@]}" >ui-test.log 2>&1 </dev/null) || rc=$?
cat "$OUT64/ui-test.log"
if [ -f "$OUT64/dialog.bmp" ] && command -v python3 >/dev/null; then
    python3 "$ROOT/scripts/bmp-to-png.py" "$OUT64/dialog.bmp" "$OUT64/dialog.png" || true
fi
phase "done (exit status $rc)"
exit "$rc"
