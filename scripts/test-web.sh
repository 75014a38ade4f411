#!/usr/bin/env bash
# The browser leg of the test command: both programs, the site and the
# core's tests built for WebAssembly (scripts/build-web.sh), and the tests
# run under node, as CTest's emulator for the cross build (cmake/Web.cmake).
# Without Qt for WebAssembly the leg says so and passes.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
scripts/build-web.sh
if [ ! -f build-web/CTestTestfile.cmake ]; then
  exit 0
fi
ctest --test-dir build-web --output-on-failure --parallel "$(nproc)"
# A player's session in headless Chromium (tests/web/e2e.mjs).
node tests/web/e2e.mjs build-web/site "$(tests/web/puppeteer.sh build-web/node)"
echo "Web leg: $(( $(date +%s) - start )) s"
