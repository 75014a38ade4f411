#!/bin/sh
# The committed icon images must be what scripts/make-icons.py draws.
# Usage: check-icons.sh <source-dir> <scratch-dir>
set -eu
src=$1
out=$2
if ! command -v python3 >/dev/null 2>&1; then
  echo "SKIP: python3 is not installed"
  exit 77
fi
rm -rf "$out"
mkdir -p "$out"
python3 "$src/scripts/make-icons.py" "$out"
status=0
for f in tekkora-32.png tekkora-16.png tekkora.ico tekkora-score-32.png tekkora-score-16.png; do
  if ! cmp -s "$out/$f" "$src/resources/icons/$f"; then
    echo "resources/icons/$f differs from what scripts/make-icons.py draws; run the script and commit"
    status=1
  fi
done
exit $status
