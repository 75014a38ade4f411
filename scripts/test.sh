#!/usr/bin/env bash
# Installs what is missing, builds Tekkora! with its tests and runs the whole
# suite; no display is needed. Then the Windows leg: both programs
# cross-built and proven under Wine (skipped without Qt for Windows). Then
# the browser leg: both programs built for WebAssembly, the site assembled,
# the core's tests run under node and a player's session played in headless
# Chromium (skipped without Qt for WebAssembly).
# Then runs the suite again built with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, and gives every fuzzer a short run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# The desktop tests drive real X servers, window managers and sound servers;
# on a loaded machine one of them may miss a deadline once, so each gets a
# second run. A fault fails both.
run_suite() {
  ctest --test-dir "$1" --output-on-failure --parallel "$jobs" -LE desktop
  ctest --test-dir "$1" --output-on-failure --parallel "$jobs" -L desktop --repeat until-pass:2
}
run_suite build

scripts/test-windows.sh

scripts/test-web.sh

# Any memory error, leak or undefined behaviour fails its test. Leaks inside
# the system's libraries are suppressed by name; ours never are.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEKKORA_SANITIZE=ON -DTEKKORA_BUILD_BENCH=OFF
cmake --build build-asan
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1:strict_init_order=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/reliability/lsan.supp:print_suppressions=0" \
  run_suite build-asan

# The fuzzers, 20 seconds each from their seed corpus.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTEKKORA_FUZZ=ON \
  -DTEKKORA_BUILD_TESTS=OFF -DTEKKORA_BUILD_BENCH=OFF
cmake --build build-fuzz --target tekkora_fuzzers
scripts/run-fuzzers.sh build-fuzz 20
