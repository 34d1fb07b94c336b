#!/usr/bin/env bash
# Tries the packages in dist/ (scripts/package.sh) as a surveyor would:
# - the .deb: lintian, then unpacked with dpkg -x into a scratch root, where its
#   trovisk converts the example job;
# - the win64 ZIP: unpacked, its trovisk.exe converts the example, a copy of it
#   under a non-ASCII name and every corpus file under Wine, and each output
#   file (Korvanta file, check report, plot) must be byte-identical to the Linux
#   program's; the settings file is written beside the program; its
#   trovisk-gui.exe starts and stays up;
# - the win32 ZIP holds the same files (its programs cannot run on these machines).
# Corpus: $TROVISK_CORPUS, else ../shared/corpus/rw5 beside the repository
# (skipped when absent). Usage: scripts/package-test.sh
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DIST=${DIST:-$ROOT/dist}
WORK=$ROOT/build-package-test
CORPUS=${TROVISK_CORPUS:-$ROOT/../shared/corpus/rw5}
# shellcheck source=wine-session.sh
source "$ROOT/scripts/wine-session.sh"
t0=$SECONDS
phase() { echo "== [$((SECONDS - t0)) s] $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

bash "$ROOT/scripts/install-deps.sh" lintian cmake wine64 fonts-wine xvfb xauth

one() {  # the single file matching a pattern
    local found=("$@")
    [ ${#found[@]} -eq 1 ] && [ -f "${found[0]}" ] || fail "expected one package, found: ${found[*]}"
    echo "${found[0]}"
}
deb=$(one "$DIST"/trovisk_*_amd64.deb)
zip64=$(one "$DIST"/trovisk-*-win64.zip)
zip32=$(one "$DIST"/trovisk-*-win32.zip)
rm -rf "$WORK"
mkdir -p "$WORK"

# ---- the Debian package ---------------------------------------------------------------
phase "lintian $(basename "$deb")"
lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || { cat "$WORK/lintian.log"; fail lintian; }
cat "$WORK/lintian.log"
echo "lintian: $(grep -c '^E:' "$WORK/lintian.log" || true) errors," \
    "$(grep -c '^W:' "$WORK/lintian.log" || true) warnings"
dpkg-deb --field "$deb" Package Version Architecture Depends Installed-Size
dpkg -x "$deb" "$WORK/root"
for file in usr/bin/trovisk usr/share/man/man1/trovisk.1.gz usr/share/doc/trovisk/copyright \
    usr/share/doc/trovisk/examples/traverse.rw5; do
    [ -f "$WORK/root/$file" ] || fail "$file missing from the package"
done
linux_trovisk=$WORK/root/usr/bin/trovisk
"$linux_trovisk" --version

# ---- the ZIPs ---------------------------------------------------------------------------
unpack() {  # $1 = zip, $2 = folder; prints the program folder inside
    mkdir -p "$2"
    (cd "$2" && cmake -E tar xf "$1")
    local top=("$2"/*)
    for file in trovisk.exe trovisk-gui.exe README.txt examples/traverse.rw5; do
        [ -f "${top[0]}/$file" ] || fail "$file missing from $(basename "$1")"
    done
    echo "${top[0]}"
}
win64=$(unpack "$zip64" "$WORK/win64")
unpack "$zip32" "$WORK/win32" >/dev/null
for zip in "$zip64" "$zip32"; do
    echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"
done
(cd "$win64" && ls -l trovisk.exe trovisk-gui.exe)

phase "Wine"
trap wine_session_stop EXIT
wine_session_start "$WORK/wine"
# A crash ends the program instead of opening Wine's crash dialog, which would
# keep it looking alive.
"$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$WORK/wine/wineboot.log" 2>&1 </dev/null
"$WINESERVER" -w 2>/dev/null || true
"$WINESERVER" -p 2>/dev/null   # stays up between the runs below: each starts in a blink

# ---- the same job on both systems ---------------------------------------------------------
# Runs one program in its own folder on a copy of the job, with the check report
# and the plot; the exit status is kept beside the outputs.
run() {  # $1 = linux | windows, $2 = folder, $3 = job file
    local name
    name=$(basename "$3")
    mkdir -p "$2"
    cp "$3" "$2/$name"
    local status=0
    if [ "$1" = linux ]; then
        (cd "$2" && "$linux_trovisk" "$name" -o out.txt --report report.txt --plot plot.svg \
            </dev/null >messages.txt 2>&1) || status=$?
    else
        (cd "$2" && timeout 120 "$WINE64" "$win64/trovisk.exe" "$name" -o out.txt \
            --report report.txt --plot plot.svg </dev/null >messages.txt 2>&1) || status=$?
    fi
    echo "$status" >"$2/exit-status"
}
compared=0
same_on_both() {  # $1 = job file, $2 = label
    local dir=$WORK/jobs/$compared
    compared=$((compared + 1))
    run linux "$dir/linux" "$1"
    run windows "$dir/windows" "$1"
    local file
    for file in exit-status out.txt report.txt plot.svg; do
        if [ -f "$dir/linux/$file" ] || [ -f "$dir/windows/$file" ]; then
            cmp -s "$dir/linux/$file" "$dir/windows/$file" ||
                fail "$2: $file differs between Linux and Windows (see $dir)"
        fi
    done
    printf '  same: %-34s exit %s, %7s bytes written\n' "$2" "$(cat "$dir/linux/exit-status")" \
        "$(stat -c %s "$dir/linux/out.txt" 2>/dev/null || echo 0)"
}

phase "the example job, Linux package and Windows ZIP"
same_on_both "$WORK/root/usr/share/doc/trovisk/examples/traverse.rw5" "traverse.rw5"
[ "$(cat "$WORK/jobs/0/linux/exit-status")" = 0 ] || fail "the example does not convert"
cmp -s "$WORK/root/usr/share/doc/trovisk/examples/traverse.rw5" "$win64/examples/traverse.rw5" ||
    fail "the two packages carry different examples"
mkdir -p "$WORK/accented"
cp "$win64/examples/traverse.rw5" "$WORK/accented/relevé ł 1.rw5"
same_on_both "$WORK/accented/relevé ł 1.rw5" "relevé ł 1.rw5 (a non-ASCII name)"

phase "the corpus"
if compgen -G "$CORPUS/*.rw5" >/dev/null; then
    for job in "$CORPUS"/*.rw5; do same_on_both "$job" "$(basename "$job")"; done
else
    echo "  no corpus at $CORPUS: skipped"
fi

phase "the settings file beside the Windows program"
cp -r "$win64" "$WORK/settings-copy"
mkdir -p "$WORK/settings-run"
(cd "$WORK/settings-run" && "$WINE64" "$WORK/settings-copy/trovisk.exe" --save-settings \
    --tolerance 0.02 "$win64/examples/traverse.rw5" -o out.txt </dev/null >messages.txt 2>&1) ||
    fail "a run with --save-settings failed"
[ -f "$WORK/settings-copy/Trovisk.cfg" ] || fail "Trovisk.cfg was not written beside trovisk.exe"
[ ! -e "$WORK/settings-run/Trovisk.cfg" ] || fail "Trovisk.cfg was written in the working folder"
echo "  Trovisk.cfg written beside trovisk.exe ($(stat -c %s "$WORK/settings-copy/Trovisk.cfg") bytes)"

phase "the dialog starts"
"$WINE64" "$win64/trovisk-gui.exe" </dev/null >"$WORK/gui.log" 2>&1 &
gui=$!
sleep 5
kill -0 "$gui" 2>/dev/null || { cat "$WORK/gui.log"; fail "trovisk-gui.exe ended within 5 s"; }
kill "$gui" 2>/dev/null || true
wine_session_stop
wait "$gui" 2>/dev/null || true
echo "  trovisk-gui.exe was up after 5 s"

phase "done: $compared jobs byte-identical on Linux and Windows"
