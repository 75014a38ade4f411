#!/usr/bin/env bash
# Regenerates docs/screenshots/ (main window, Options menu, about box,
# results): the program on a private Xvfb with openbox and the fonts the
# windows are drawn with, each window with its frame.
#
#   scripts/screenshots.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/install-deps.sh
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tekkora make_screenshots
"$build/tests/desktop/make_screenshots" "$build/src/app/tekkora" docs/screenshots
