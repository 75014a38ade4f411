#!/bin/sh
# Runs a checking tool, or reports the test as skipped (exit 77) when the tool
# is not installed.
tool=$1
shift
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "SKIP: $tool is not installed"
  exit 77
fi
exec "$tool" "$@"
