#!/bin/sh
# Runs every fuzzer over a copy of its seed corpus for a bounded time.
#   scripts/run-fuzzers.sh BUILD_DIR SECONDS_EACH
# BUILD_DIR is a build configured with -DTEKKORA_FUZZ=ON and clang. The
# committed corpus is never modified; what a run finds is left in a
# temporary directory, named in the output on a crash. Exits non-zero when
# any fuzzer crashes or a fuzzer is missing.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS_EACH" >&2
  exit 2
fi
build_dir=$1
seconds=$2
repo=$(cd "$(dirname "$0")/.." && pwd)
fuzzers="profile_read profile_write basic_number key_codes score_log keys_log"

work=$(mktemp -d "${TMPDIR:-/tmp}/tekkora-fuzz.XXXXXX") || exit 2
status=0
for name in $fuzzers; do
  exe="$build_dir/fuzz/fuzz_$name"
  if [ ! -x "$exe" ]; then
    echo "missing fuzzer: $exe" >&2
    status=1
    continue
  fi
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp -R "$repo/fuzz/corpus/$name/." "$work/$name/corpus/"
  echo "== $name: ${seconds}s"
  if "$exe" "$work/$name/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/$name/artifacts/" >"$work/$name/log" 2>&1; then
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|Done [0-9]+ runs)' "$work/$name/log" | tail -n 3
  else
    echo "!! $name failed; log and artifacts in $work/$name" >&2
    tail -n 40 "$work/$name/log" >&2
    status=1
  fi
done

if [ $status -eq 0 ]; then
  rm -rf "$work"
fi
exit $status
