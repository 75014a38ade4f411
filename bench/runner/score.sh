#!/usr/bin/env bash
# The real tekkora-score under a private Xvfb on a long score log: start-up
# to its first painted frame and its memory, seen by xprobe, over several
# launches. Prints figures; asserts nothing.
#
#   bench/runner/score.sh SCORE_EXE BENCH_SCORE_EXE XPROBE_EXE [RUNS_IN_LOG]
#
# Knobs: BENCH_SCORE_LAUNCHES=5 launches (the median is shown).
set -euo pipefail

if [ $# -lt 3 ]; then
  sed -n '2,9p' "$0" >&2
  exit 2
fi
score_exe=$(readlink -f "$1")
bench_score=$(readlink -f "$2")
xprobe=$(readlink -f "$3")
log_runs=${4:-100000}
launches=${BENCH_SCORE_LAUNCHES:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/tekkora-score-bench.XXXXXX")
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home" "$work/runtime" "$work/log"
chmod 700 "$work/runtime"
"$bench_score" --write "$work/log" "$log_runs"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_FONT_DPI

for i in $(seq "$launches"); do
  "$xprobe" -t '^Tekkora! スコア$' -S 1000 -- "$score_exe" "$work/log/Score.txt" >"$work/launch-$i.txt" 2>/dev/null
done

# median KEY: the median of a key=value figure over the launches.
median() {
  cat "$work"/launch-*.txt | sed -n "s/^$1=//p" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
echo "tekkora-score on a $log_runs-run log under Xvfb, median of $launches launches"
printf '%-50s %10s\n' "start-up to first painted frame, ms" "$(awk "BEGIN { print $(median startup_paint_us) / 1000 }")"
printf '%-50s %10s\n' "  CPU time of the program until then, ms" "$(awk "BEGIN { print $(median startup_cpu_us) / 1000 }")"
printf '%-50s %10s\n' "peak resident set after start-up, MiB" "$(awk "BEGIN { printf \"%.1f\", $(median startup_hwm_kib) / 1024 }")"
