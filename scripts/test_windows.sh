#!/usr/bin/env bash
# Cross-builds for 64-bit Windows (MinGW-w64, linked statically) and runs the
# whole test suite under Wine: the unit tests and whole-run cases in
# tessovane2_tests.exe, the sample comparison against the native build's
# bytes, the prompt script under Wine's cmd and the zip package; then builds
# the zip, build/windows/tessovane2-<version>-win64.zip.
#
#   scripts/test_windows.sh [native tessovane2]
#
# The native program defaults to build/release/bin/tessovane2, built here if
# it is missing. Wine keeps its prefix in build/windows/wine; no display is
# needed.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

scripts/install_deps.sh g++-mingw-w64-x86-64-posix wine64 googletest zip unzip chromium

native=${1:-$PWD/build/release/bin/tessovane2}
if [ ! -x "$native" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ >/dev/null
  cmake --build build/release --target tessovane2
fi

build=build/windows
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
# One Wine server for the whole stage, stopped at its end: started anew for
# each test, Wine takes some 3 s to come up (283 s for the suite, against 11 s
# kept running). Its service processes are started here, away from the
# tests' output pipes, which they would otherwise hold open.
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
trap '/usr/lib/wine/wineserver -k || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix $WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
fi
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1

echo "== Windows cross-build (MinGW-w64), all tests under Wine"
cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTESSOVANE2_WERROR=ON -DTESSOVANE2_NATIVE_PROGRAM="$native"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
(cd "$build" && cpack --config CPackConfig.cmake)
echo "== Windows stage: $((SECONDS - start)) s"
