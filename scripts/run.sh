#!/usr/bin/env bash
# Installs what is missing, builds Tekkora! and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEKKORA_BUILD_TESTS=OFF -DTEKKORA_BUILD_BENCH=OFF
cmake --build build --target tekkora
exec build/src/app/tekkora
