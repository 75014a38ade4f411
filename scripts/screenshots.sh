#!/usr/bin/env bash
# Regenerates docs/screenshots/ (main window, Options menu, about box,
# results; the score window's score and keys pages, on logs of 22 runs, one
# of them slow, written by the benchmarks' samples): the program on a private Xvfb with
# openbox and the fonts the windows are drawn with, each window with its frame.
#
#   scripts/screenshots.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/install-deps.sh
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tekkora tekkora-score make_screenshots bench_score bench_keys
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
"$build/bench/bench_score" --write "$logs" 22
"$build/bench/bench_keys" --write "$logs" 22
"$build/tests/desktop/make_screenshots" "$build/src/app/tekkora" docs/screenshots "$build/src/app/tekkora-score" "$logs"
