#!/usr/bin/env bash
# Builds the site (scripts/build-web.sh) and serves it on
# http://127.0.0.1:8000/ (PORT to change it), the drill at / and the score
# page at /score.html. The page needs HTTP: opened as a file it cannot load.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
[ -f build-web/site/index.html ] || { echo "No site to serve." >&2; exit 1; }
port=${PORT:-8000}
echo "Serving http://127.0.0.1:$port/ (Ctrl+C to stop)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
