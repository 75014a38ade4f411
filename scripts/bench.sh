#!/usr/bin/env bash
# Builds Tekkora! in Release with its benchmarks and runs them all:
#   1. in-process costs (Google Benchmark, offscreen): one key press through
#      the main window, a score log append on an empty and a 100 000-line
#      log, the settings load and save;
#   2. 500 runs with real results windows: resident set, heap, live windows;
#   3. start-up, peak memory and key response of the real executable against
#      the floor program under Xvfb (bench/runner/run.sh), and the key
#      response again with accessibility on, and with Orca listening;
#   4. the score window, tekkora-score, on a 100 000-run log: opening, memory
#      and one appended run, in process and under Xvfb (bench/runner/score.sh);
#      the per-key log's reader and figures on 10 000 runs (bench_keys);
#   5. key to sound: wrong keys of the real executable under Xvfb, heard
#      through a private PulseAudio's null sink (bench/sound/keysound.cpp);
#   6. the web pages in headless Chromium, when build-web/site/ is built:
#      transfer size, first frames, key to frame (bench/web/measure.mjs).
# Ends with one table of the figures. Knobs of step 3: see bench/runner/run.sh.
#
#   scripts/bench.sh            everything (about 10 minutes on 2 cores)
#   BENCH_QUICK=1 scripts/bench.sh   fewer launches, for a look (2 minutes)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BENCH_BUILD_DIR:-build-perf}
# The install RPATH in the build tree too: the executable is measured as it
# is shipped, without the build tree's search path.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEKKORA_BUILD_BENCH=ON \
  -DCMAKE_BUILD_WITH_INSTALL_RPATH=ON >/dev/null
cmake --build "$build" --target tekkora tekkora_floor xprobe bench_keypath bench_scorelog bench_settings bench_runs \
  tekkora-score bench_score bench_keys bench_keysound

if [ -n "${BENCH_QUICK:-}" ]; then
  export BENCH_RUNS=${BENCH_RUNS:-4} BENCH_LONG_RUNS=${BENCH_LONG_RUNS:-2} BENCH_KEYS=${BENCH_KEYS:-50}
  min_time=0.1
else
  min_time=0.5
fi

results=$(mktemp -d "${TMPDIR:-/tmp}/tekkora-bench-results.XXXXXX")
trap 'rm -rf "$results"' EXIT
bench="$build/bench"
runtime=$(mktemp -d "${TMPDIR:-/tmp}/tekkora-bench-runtime.XXXXXX")
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"

inprocess() { # NAME ARGS...
  local name=$1
  shift
  echo "== $name" >&2
  QT_QPA_PLATFORM=offscreen "$bench/$name" --benchmark_min_time="$min_time" "$@" \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json >&2
}
inprocess bench_keypath
inprocess bench_scorelog
inprocess bench_settings
echo "== bench_runs" >&2
QT_QPA_PLATFORM=offscreen "$bench/bench_runs" 500 10 | tee "$results/runs.txt" >&2
rm -rf "$runtime"

echo "== start-up, memory and key response under Xvfb" >&2
bench/runner/run.sh "$build/src/app/tekkora" "$bench/tekkora_floor" "$bench/xprobe" | tee "$results/x11.txt" >/dev/null

echo "== key response again, with accessibility on, and with Orca listening" >&2
BENCH_ACCESSIBILITY=1 BENCH_LONG_RUNS=0 bench/runner/run.sh "$build/src/app/tekkora" "$bench/tekkora_floor" "$bench/xprobe" |
  tee "$results/x11-accessibility.txt" >/dev/null
if command -v orca >/dev/null; then
  BENCH_ACCESSIBILITY=orca BENCH_RUNS=${BENCH_ORCA_RUNS:-4} BENCH_KEYS=30 BENCH_WRONG=5 BENCH_LONG_RUNS=0 \
    bench/runner/run.sh "$build/src/app/tekkora" "$bench/tekkora_floor" "$bench/xprobe" |
    tee "$results/x11-orca.txt" >/dev/null
fi

echo "== the score window on a 100 000-run log" >&2
QT_QPA_PLATFORM=offscreen "$bench/bench_score" 100000 2>/dev/null | tee "$results/score.txt" >&2
bench/runner/score.sh "$build/src/app/tekkora-score" "$bench/bench_score" "$bench/xprobe" 100000 \
  | tee -a "$results/score.txt" >/dev/null
"$bench/bench_keys" 10000 | tee "$results/keys.txt" >&2

echo "== key to sound through a private PulseAudio" >&2
"$bench/bench_keysound" "$build/src/app/tekkora" "${BENCH_SOUND_KEYS:-30}" | tee "$results/sound.txt" >&2 || true

# figure FILE BENCHMARK FIELD: one figure of a Google Benchmark report, in us.
figure() {
  python3 - "$results/$1.json" "$2" "$3" <<'PY'
import json, sys
scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["name"] == sys.argv[2]:
        print(f"{b[sys.argv[3]] * scale[b['time_unit']]:.2f}", end="")
        break
else:
    print("NA", end="")
PY
}
runs() { sed -n "s/.*\\b$1=\\([-0-9.]*\\).*/\\1/p" "$results/runs.txt" | head -n1; }
sound() { sed -n "s/^$1=//p" "$results/sound.txt" | head -n1; }

echo
echo "In-process costs (offscreen, CPU time)"
printf '%-62s %12s\n' "figure" "us"
printf '%-62s %12s\n' "right key: Form_KeyDown -> Main -> caption set" "$(figure bench_keypath BM_RightKey cpu_time)"
printf '%-62s %12s\n' "  the floor's label, same key route" "$(figure bench_keypath BM_FloorRightKey cpu_time)"
printf '%-62s %12s\n' "right key with the repaint of Label1" "$(figure bench_keypath BM_RightKeyAndRepaint cpu_time)"
printf '%-62s %12s\n' "wrong key: miss counted, beep (no sound server: the bell)" "$(figure bench_keypath BM_WrongKey cpu_time)"
printf '%-62s %12s\n' "wrong key: miss counted, beep through a sound server" \
  "$(figure bench_keypath BM_WrongKeyWithSoundServer cpu_time)"
printf '%-62s %12s\n' "AppendScoreRecord on an empty log (median of 5 x 2000)" \
  "$(figure bench_scorelog BM_AppendScoreRecord/0/iterations:2000/repeats:5_median cpu_time)"
printf '%-62s %12s\n' "AppendScoreRecord on a 100 000-line log (median of 5 x 2000)" \
  "$(figure bench_scorelog BM_AppendScoreRecord/100000/iterations:2000/repeats:5_median cpu_time)"
printf '%-62s %12s\n' "  the same, wall clock, empty log" \
  "$(figure bench_scorelog BM_AppendScoreRecord/0/iterations:2000/repeats:5_median real_time)"
printf '%-62s %12s\n' "  the same, wall clock, 100 000-line log" \
  "$(figure bench_scorelog BM_AppendScoreRecord/100000/iterations:2000/repeats:5_median real_time)"
printf '%-62s %12s\n' "AppendKeysRecord, 50 questions, on an empty log (median of 5 x 2000)" \
  "$(figure bench_scorelog BM_AppendKeysRecord/iterations:2000/repeats:5_median cpu_time)"
printf '%-62s %12s\n' "settings load, Form_Load with tekora.ini (wall)" "$(figure bench_settings BM_FormLoad/1 real_time)"
printf '%-62s %12s\n' "settings save, Form_Unload (wall; the file is synced)" "$(figure bench_settings BM_FormUnload real_time)"
echo
echo "500 runs with their results windows (offscreen, after 100 warm-up runs)"
printf '%-62s %12s\n' "resident set growth, KiB" "$(runs rss_growth_kib)"
printf '%-62s %12s\n' "heap in use growth, KiB" "$(runs heap_growth_kib)"
printf '%-62s %12s\n' "widgets before / after" "$(runs widgets_before) / $(runs widgets_after)"
printf '%-62s %12s\n' "results windows still alive" "$(runs live_results_windows)"
printf '%-62s %12s\n' "runs written to the score log (100 warm-up + 500)" "$(runs runs_logged)"
cat "$results/x11.txt"
echo
echo "The same with accessibility on, as a screen reader turns it on (drill launches only)"
grep -E '^(figure|key to repaint)' "$results/x11-accessibility.txt"
if [ -f "$results/x11-orca.txt" ]; then
  echo
  echo "The same with Orca listening and speaking each question, 200 ms between keys (drill launches only)"
  grep -E '^(figure|key to repaint)' "$results/x11-orca.txt"
fi
echo
cat "$results/score.txt"
echo
echo "The per-key log, Keys.jsonl, in process"
cat "$results/keys.txt"
echo
echo "Key to sound: wrong keys under Xvfb, through a private PulseAudio's null sink (n=$(sound key_sound_n))"
printf '%-44s %10s %10s\n' "figure" "Tekkora!" "target"
awk -v m="$(sound key_sound_median_ms)" -v x="$(sound key_sound_max_ms)" 'BEGIN {
  if (m == "" || x == "") { printf "%-44s %10s\n", "key to sound, ms", "NA"; exit }
  printf "%-44s %10.1f %10s  %s\n", "key to sound, ms (median)", m, "<=50", (m <= 50 ? "ok" : "OVER")
  printf "%-44s %10.1f %10s  %s\n", "key to sound, ms (max)", x, "<=50", (x <= 50 ? "ok" : "OVER") }'
awk -v f="$(sound first_key_sound_ms)" -v after="$(sound first_key_after_start_ms)" 'BEGIN {
  if (f == "") exit
  printf "%-44s %10.1f %10s  %s\n", "first wrong key, " after " ms into the run, ms", f, "<=50", (f <= 50 ? "ok" : "OVER") }'
printf '%-44s %10s\n' "$(sound burst_keys) keys $(sound burst_gap_ms) ms apart: sounds heard" "$(sound burst_sounds)"
printf '%-44s %10s\n' "  sounding after the last key, ms" "$(sound burst_sounding_after_last_key_ms)"
printf '%-44s %10s\n' "  peak against a single beep's (1 = no overlap)" "$(sound burst_peak_to_single_peak)"
printf '%-44s %10s\n' "X bells rung meanwhile" "$(sound x_bells)"

# The web pages, where the web build has been made (scripts/build-web.sh).
if [ -f build-web/site/index.html ] && command -v chromium >/dev/null; then
  echo
  node bench/web/measure.mjs build-web/site "$(tests/web/puppeteer.sh build-web/node)" || true
fi
