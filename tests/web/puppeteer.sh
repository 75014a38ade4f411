#!/usr/bin/env bash
# Installs puppeteer-core (the driver alone: the browser is Debian's
# chromium) into FOLDER once, and prints the node_modules folder to hand to
# tests/web/e2e.mjs and bench/web/measure.mjs.
set -euo pipefail
folder=${1:?usage: tests/web/puppeteer.sh FOLDER}
version=25.19.0
if [ ! -f "$folder/node_modules/puppeteer-core/package.json" ] ||
   ! grep -q "\"version\": \"$version\"" "$folder/node_modules/puppeteer-core/package.json"; then
  mkdir -p "$folder"
  npm install --prefix "$folder" --no-audit --no-fund --no-save "puppeteer-core@$version" >&2
fi
realpath "$folder/node_modules"
