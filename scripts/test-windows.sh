#!/usr/bin/env bash
# The Windows leg of the test command: both programs and the core's tests
# cross-built with MinGW-w64 against Qt for Windows, the zip and the
# installer made, and everything run under Wine in a fresh prefix (the
# programs themselves on a private X server): tests/windows/.
#
# Qt for Windows: TEKKORA_QT_WIN names an unpacked qt-win/ folder or its
# tarball; else the tarball in ../shared/toolchains/ is used, unpacked once
# into build-windows-qt/. Without either, the leg says so and passes.
# scripts/build-qt-windows.sh makes that Qt from its sources.
set -euo pipefail
cd "$(dirname "$0")/.."

qt=${TEKKORA_QT_WIN:-}
if [ -z "$qt" ]; then
  shared=$(realpath -m ../shared/toolchains)
  qt=$(ls "$shared"/qt-*-mingw-w64-x86_64.tar.xz 2>/dev/null | tail -n 1 || true)
  if [ -z "$qt" ]; then
    echo "Windows leg skipped: no Qt for Windows found (looked in \$TEKKORA_QT_WIN and $shared/)"
    exit 0
  fi
fi
[ -e "$qt" ] || { echo "TEKKORA_QT_WIN: no such file or folder: $qt" >&2; exit 1; }
if [ -d "$qt" ]; then
  qt_dir=$(realpath "$qt")
else
  cache=build-windows-qt stamp=build-windows-qt/$(basename "$qt").unpacked
  if [ ! -f "$stamp" ] || [ "$qt" -nt "$stamp" ]; then
    rm -rf "$cache" && mkdir -p "$cache"
    tar -xJf "$qt" -C "$cache"
    touch "$stamp"
  fi
  qt_dir=$PWD/$cache/qt-win
fi
echo "Windows leg: Qt for Windows from $qt"

"$qt_dir/bin/qt-cmake" -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEKKORA_BUILD_BENCH=OFF
cmake --build build-windows
# Fresh Wine prefixes for every run, made by the tests that use them.
rm -rf build-windows/wine-prefix*
ctest --test-dir build-windows --output-on-failure --parallel "$(nproc)"
