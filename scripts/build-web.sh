#!/usr/bin/env bash
# Builds Tekkora! for the browser: both programs and the core's tests for
# WebAssembly against Qt for WebAssembly, and the site, build-web/site/, that
# any static host serves as it is (the drill index.html, the score page
# score.html, the manifest, icons and service worker).
#
# Qt for WebAssembly: TEKKORA_QT_WASM names an unpacked qt-wasm/ folder or its
# tarball; else the tarball in ../shared/toolchains/ is used, unpacked once
# into build-web-qt/. Without either, the script says so and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."

qt=${TEKKORA_QT_WASM:-}
if [ -z "$qt" ]; then
  shared=$(realpath -m ../shared/toolchains)
  qt=$(ls "$shared"/qt-*-wasm-emscripten.tar.xz 2>/dev/null | tail -n 1 || true)
  if [ -z "$qt" ]; then
    echo "Web build skipped: no Qt for WebAssembly found (looked in \$TEKKORA_QT_WASM and $shared/)"
    exit 0
  fi
fi
[ -e "$qt" ] || { echo "TEKKORA_QT_WASM: no such file or folder: $qt" >&2; exit 1; }
if [ -d "$qt" ]; then
  qt_dir=$(realpath "$qt")
else
  cache=build-web-qt stamp=build-web-qt/$(basename "$qt").unpacked
  if [ ! -f "$stamp" ] || [ "$qt" -nt "$stamp" ]; then
    rm -rf "$cache" && mkdir -p "$cache"
    tar -xJf "$qt" -C "$cache"
    touch "$stamp"
  fi
  qt_dir=$PWD/$cache/qt-wasm
fi
command -v emcc >/dev/null || [ -x /usr/share/emscripten/emcc ] || {
  echo "The web build needs emscripten (apt-get install emscripten)" >&2; exit 1; }
echo "Web build: Qt for WebAssembly from $qt"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# MinSizeRel: -Os, the size the page is sent at matters more than a few
# per cent of speed.
"$qt_dir/bin/qt-cmake" -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DTEKKORA_BUILD_BENCH=OFF "${launcher[@]}" "$@"
# One link at a time: each takes minutes and most of the memory.
cmake --build build-web -- -l "$(nproc)"
echo "The site is in build-web/site/"
