#!/usr/bin/env bash
# Cross-builds the Windows dialog program for x86_64 and i686 with MinGW-w64 and
# runs its UI test driver under Wine on a virtual X display (64-bit only: these
# machines run no 32-bit code). Exits with the driver's status.
# Usage: scripts/win32-test.sh        (from anywhere; no standard input needed)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT64=$ROOT/build-win64
OUT32=$ROOT/build-win32
# shellcheck source=wine-session.sh
source "$ROOT/scripts/wine-session.sh"
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
trap wine_session_stop EXIT
wine_session_start "$OUT64"

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
