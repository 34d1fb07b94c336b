#!/usr/bin/env bash
# Builds what a surveyor installs, into dist/ (or $DIST):
#   trovisk-<version>-win64.zip and trovisk-<version>-win32.zip  (Windows, both programs)
#   trovisk_<version>_amd64.deb                                   (Linux, the command line)
# Installs what is missing with apt-get; runs as root (or with sudo) without a
# terminal on a fresh Debian 12. The Windows build folders are those of
# scripts/win32-test.sh, so after it only the packing is left to do.
# Usage: scripts/package.sh
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DIST=${DIST:-$ROOT/dist}
t0=$SECONDS
phase() { echo "== [$((SECONDS - t0)) s] $*"; }

# ---- tools --------------------------------------------------------------------
# dpkg-dev: dpkg-shlibdeps and dpkg-buildflags; file: CPack's test for programs.
bash "$ROOT/scripts/install-deps.sh" cmake make g++ libcli11-dev dpkg-dev file gzip \
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32

# A changelog date that does not change from build to build of one commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git -C "$ROOT" rev-parse HEAD >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi

# Configures (quietly unless it fails), builds with two jobs and packs; the
# package's path is printed on standard output.
pack() {  # $1 = build folder, then cmake options
    local dir=$1
    shift
    mkdir -p "$dir"
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir/configure.log" 2>&1 ||
        { cat "$dir/configure.log" >&2; return 1; }
    cmake --build "$dir" -j2 >"$dir/package-build.log" 2>&1 ||
        { tail -40 "$dir/package-build.log" >&2; return 1; }
    rm -rf "$dir/packages"
    (cd "$dir" && cpack >"$dir/cpack.log" 2>&1) || { cat "$dir/cpack.log" >&2; return 1; }
    find "$dir/packages" -maxdepth 1 -type f \( -name '*.zip' -o -name '*.deb' \)
}

# A Windows program may import only Windows' own DLLs: a MinGW runtime DLL
# (libstdc++-6, libgcc_s_*, libwinpthread-1) would be missing on the surveyor's PC.
check_imports() {  # $1 = objdump, $2 = .exe
    local dll bad=0
    while read -r dll; do
        case "${dll,,}" in
            kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | \
                advapi32.dll | ole32.dll | shlwapi.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
            *) echo "$2 imports $dll, which is not part of Windows" >&2; bad=1 ;;
        esac
    done < <("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p')
    return "$bad"
}

packages=()
for arch in x86_64 i686; do
    case $arch in x86_64) dir=$ROOT/build-win64 ;; i686) dir=$ROOT/build-win32 ;; esac
    phase "Windows $arch: build and ZIP"
    zip=$(pack "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$arch.cmake")
    for exe in trovisk.exe trovisk-gui.exe; do
        check_imports "$arch-w64-mingw32-objdump" "$dir/$exe"
    done
    packages+=("$zip")
done

phase "Linux: build and Debian package"
# Debian's hardening flags (stack protector, fortify, relro), as its own packages have.
flags=$(cd "$ROOT" && echo "$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)")
deb=$(pack "$ROOT/build-deb" -DTROVISK_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)")
packages+=("$deb")

mkdir -p "$DIST"
rm -f "$DIST"/trovisk-*.zip "$DIST"/trovisk_*.deb
cp "${packages[@]}" "$DIST/"
phase "done: $DIST"
ls -l "$DIST"
