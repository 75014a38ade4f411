#!/usr/bin/env bash
# Start-up, memory and key response of Tekkora! beside the floor, on a
# private Xvfb, and each figure's ratio to the floor.
#
#   bench/runner/run.sh TEKKORA_EXE FLOOR_EXE XPROBE_EXE
#   bench/runner/run.sh --summarize DIR     (the table again from kept output)
#
# Knobs (environment of this script only; the programs get none):
#   BENCH_RUNS=10        launches of each program for the drill figures
#   BENCH_KEYS=100       right keys timed per drill launch
#   BENCH_WRONG=20       wrong keys per drill launch
#   BENCH_LONG_RUNS=10   launches of each program for the 1000-question run
#   BENCH_LONG_KEYS=1000 questions of that run
#   BENCH_OUT=dir        keep the raw output there (default: a temp dir)
#   BENCH_NICE=-10       priority of the whole measurement when run as root
#   BENCH_ACCESSIBILITY=1  accessibility on, as a screen reader turns it on:
#                        the session bus starts the accessibility bus
#                        (at-spi2-core) and both programs speak to it;
#                        =orca: and Orca listens, speaking to no speech
#                        server; each key waits for Orca (up to 100 ms),
#                        so the probe leaves 200 ms between keys, as a
#                        player who hears each question does
#
# Tekkora! is copied into a writable temp directory with tekora.ini beside
# it (it keeps its files beside its executable); the programs alternate, the
# order flipping every round, so drift on the machine hits both alike.
set -euo pipefail

runs=${BENCH_RUNS:-10}
keys=${BENCH_KEYS:-100}
wrong=${BENCH_WRONG:-20}
long_runs=${BENCH_LONG_RUNS:-10}
long_keys=${BENCH_LONG_KEYS:-1000}

if [ "${1:-}" = --summarize ] && [ $# -eq 2 ]; then
  out=$2
  runs=$( (ls "$out"/tekkora-drill-*.txt 2>/dev/null || true) | wc -l)
  long_runs=$( (ls "$out"/tekkora-long-*.txt 2>/dev/null || true) | wc -l)
else
if [ $# -lt 3 ]; then
  sed -n '2,26p' "$0" >&2
  exit 2
fi
tekkora_exe=$(readlink -f "$1")
floor_exe=$(readlink -f "$2")
xprobe=$(readlink -f "$3")

# Ahead of other work on a shared machine (compilers, test suites): Xvfb,
# the probe and both programs inherit this priority alike.
if [ "$(id -u)" -eq 0 ]; then
  renice -n "${BENCH_NICE:--10}" -p $$ >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tekkora-bench.XXXXXX")
out=${BENCH_OUT:-$work/out}
mkdir -p "$out" "$work/home" "$work/runtime" "$work/app"
chmod 700 "$work/runtime"
cp "$tekkora_exe" "$work/app/tekkora"

xvfb_pid=
bus_pid=
orca_pid=
cleanup() {
  [ -n "$orca_pid" ] && kill "$orca_pid" 2>/dev/null
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work/app" "$work/home" "$work/runtime"
  [ -n "${BENCH_OUT:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb picks a free number and tells it on fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_FONT_DPI

# A session bus, as on any desktop. Without one every Qt program tries to
# start a bus of its own (a fork and a failed exec of dbus-launch) while
# it starts up, which only adds noise.
if command -v dbus-daemon >/dev/null; then
  bus_info=$(dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 2>/dev/null) || bus_info=
  if [ -n "$bus_info" ]; then
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus_info" | sed -n 1p)
    bus_pid=$(echo "$bus_info" | sed -n 2p)
  fi
fi
[ -n "$bus_pid" ] || unset DBUS_SESSION_BUS_ADDRESS
if [ -n "${BENCH_ACCESSIBILITY:-}" ]; then
  dbus-send --session --dest=org.a11y.Bus --type=method_call --print-reply /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null || {
    echo "accessibility could not be turned on (at-spi2-core, dbus-bin)" >&2
    exit 1
  }
fi
if [ "${BENCH_ACCESSIBILITY:-}" = orca ]; then
  mkdir -p "$work/orca"
  printf '%s\n' '{"general": {"speechServerFactory": "none", "speechFactoryModules": [], "enableBraille": false,' \
    '"firstStart": false}, "profiles": {"default": {"profile": ["Default", "default"]}},' \
    '"pronunciations": {}, "keybindings": {}}' >"$work/orca/user-settings.conf"
  orca -u "$work/orca" >/dev/null 2>&1 &
  orca_pid=$!
  sleep 5 # its listeners in place
fi

# settings NUM: digits, upper case, the given question count.
settings() {
  printf '[Data]\r\nMode=2 \r\nNum=%s \r\nCap=1 \r\n' "$1" >"$work/app/tekora.ini"
  rm -f "$work/app/Score.txt"
}

# launch PROGRAM NAME XPROBE_ARGS...
launch() {
  local program=$1 name=$2
  shift 2
  if [ "$program" = tekkora ]; then
    (cd "$work/app" && "$xprobe" -t '^Tekkora!$' "$@" -- ./tekkora) >"$out/$name.txt" 2>"$out/$name.err" || {
      echo "probe failed: $name" >&2
      cat "$out/$name.err" >&2
    }
  else
    (cd "$work" && "$xprobe" -t '^Tekkora floor$' "$@" -- "$floor_exe") >"$out/$name.txt" 2>"$out/$name.err" || {
      echo "probe failed: $name" >&2
      cat "$out/$name.err" >&2
    }
  fi
}

both() { # ROUND KIND XPROBE_ARGS...
  local round=$1 kind=$2
  shift 2
  local first=tekkora second=floor
  if [ $((round % 2)) -eq 0 ]; then first=floor second=tekkora; fi
  for program in $first $second; do
    [ "$program" = tekkora ] && settings "$([ "$kind" = long ] && echo "$long_keys" || echo 32767)"
    local extra=()
    [ "$kind" = long ] && [ "$program" = tekkora ] && extra=(-r '^結果$')
    launch "$program" "$program-$kind-$round" "${extra[@]}" "$@" -o "$out/$program-$kind-$round.keys"
  done
}

echo "Xvfb $DISPLAY; session bus ${bus_pid:-none}; accessibility ${BENCH_ACCESSIBILITY:-off}; $(nproc) cores;" \
  "load $(cut -d' ' -f1-3 /proc/loadavg); raw output in $out" >&2

# Warm the page cache and the font caches; not counted.
settings 32767
launch tekkora warmup-tekkora -S 300
launch floor warmup-floor -S 300

for round in $(seq "$runs"); do
  echo "drill round $round/$runs" >&2
  both "$round" drill -s -n "$keys" -w "$wrong" ${orca_pid:+-q 200}
done
for round in $(seq "$long_runs"); do
  echo "${long_keys}-question round $round/$long_runs" >&2
  # Only the memory counts here, so the probe does not wait long between keys.
  both "$round" long -s -n "$long_keys" -q 1 -b 2
done

fi

# field PROGRAM KIND KEY: one value per launch
field() {
  cat "$out/$1-$2-"*.txt 2>/dev/null | sed -n "s/^$3=//p" || true
}
median() { sort -n | awk '{v[NR]=$1} END {if (NR==0) print "NA"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
p95() { sort -n | awk '{v[NR]=$1} END {if (NR==0) print "NA"; else {i=int(0.95*(NR-1))+1; print v[i]}}'; }
keys_of() { cat "$out/$1-drill-"*.keys 2>/dev/null | awk '$1=="right"{print $4}' || true; }
sum() { awk '{s+=$1} END {print s+0}'; }
count() { wc -l | tr -d ' '; }

declare -A fig
for p in tekkora floor; do
  fig[$p.startup]=$( { field $p drill startup_paint_us; field $p long startup_paint_us; } | median)
  fig[$p.startup.min]=$( { field $p drill startup_paint_us; field $p long startup_paint_us; } | sort -n | head -n1)
  fig[$p.startup.n]=$( { field $p drill startup_paint_us; field $p long startup_paint_us; } | count)
  fig[$p.cpu]=$( { field $p drill startup_cpu_us; field $p long startup_cpu_us; } | median)
  fig[$p.unqueued]=$( { paste -d' ' <(field $p drill startup_paint_us) <(field $p drill startup_runqueue_us);
                        paste -d' ' <(field $p long startup_paint_us) <(field $p long startup_runqueue_us); } |
                      awk 'NF == 2 {print $1 - $2}' | median)
  fig[$p.hwm]=$( { field $p drill startup_hwm_kib; field $p long startup_hwm_kib; } | median)
  fig[$p.long]=$(field $p long end_hwm_kib | median)
  fig[$p.long.n]=$(field $p long end_hwm_kib | count)
  fig[$p.keymed]=$(keys_of $p | median)
  fig[$p.keyp95]=$(keys_of $p | p95)
  fig[$p.keys.n]=$(keys_of $p | count)
  fig[$p.area]=$( (cat "$out/$p-drill-"*.keys 2>/dev/null || true) | awk '$1=="right"{print $7}' | median)
  fig[$p.wrong]=$(field $p drill wrong_sent | sum)
  fig[$p.wrongbells]=$(field $p drill wrong_bells | sum)
  fig[$p.wrongdamaged]=$( { field $p drill wrong_damaged; field $p drill keys_hunted_wrong_damaged;
                            field $p long keys_hunted_wrong_damaged; } | sum)
  fig[$p.hunted]=$( { field $p drill keys_hunted_wrong; field $p long keys_hunted_wrong; } | sum)
done

# The two launches of a round run back to back, so they share the machine's
# state of the moment; the median of their ratios is less swayed by the
# swings of a shared machine than the ratio of the medians.
paired_ratio() { # KEY
  local kind i t f
  for kind in drill long; do
    for i in $(seq 100); do
      [ -f "$out/tekkora-$kind-$i.txt" ] && [ -f "$out/floor-$kind-$i.txt" ] || continue
      t=$(sed -n "s/^$1=//p" "$out/tekkora-$kind-$i.txt")
      f=$(sed -n "s/^$1=//p" "$out/floor-$kind-$i.txt")
      [ -n "$t" ] && [ -n "$f" ] && awk -v t="$t" -v f="$f" 'BEGIN {if (f > 0) print t / f}'
    done
  done | median
}

row() { # LABEL UNIT-DIVISOR TEKKORA FLOOR LIMIT
  awk -v label="$1" -v div="$2" -v t="$3" -v f="$4" -v limit="$5" 'BEGIN {
    if (t == "NA" || f == "NA" || f == 0) { printf "%-44s %10s %10s %7s %7s  %s\n", label, t, f, "NA", limit, "n/a"; exit }
    r = t / f
    printf "%-44s %10.1f %10.1f %7.3f %7s  %s\n", label, t / div, f / div, r, "<=" limit, (r <= limit ? "ok" : "OVER")
  }'
}

echo
echo "Tekkora! against the floor: $runs drill launches and $long_runs ${long_keys}-question launches of each"
printf '%-44s %10s %10s %7s %7s\n' "figure" "Tekkora!" "floor" "ratio" "target"
row "start-up to first frame, ms (median, n=${fig[tekkora.startup.n]})" 1000 "${fig[tekkora.startup]}" "${fig[floor.startup]}" 1.10
awk -v r="$(paired_ratio startup_paint_us)" 'BEGIN {
  if (r == "NA") exit
  printf "%-44s %10s %10s %7.3f %7s  %s\n", "  median of the per-round ratios", "", "", r, "<=1.10", (r <= 1.10 ? "ok" : "OVER") }'
row "  less the main thread's wait for a core, ms" 1000 "${fig[tekkora.unqueued]}" "${fig[floor.unqueued]}" 1.10
row "  CPU time of all threads until then, ms" 1000 "${fig[tekkora.cpu]}" "${fig[floor.cpu]}" 1.10
printf '%-44s %10.1f %10.1f %7.3f\n' "start-up to first frame, ms (fastest)" \
  "$(awk -v v="${fig[tekkora.startup.min]:-0}" 'BEGIN {print v / 1000}')" \
  "$(awk -v v="${fig[floor.startup.min]:-0}" 'BEGIN {print v / 1000}')" \
  "$(awk -v t="${fig[tekkora.startup.min]:-0}" -v f="${fig[floor.startup.min]:-1}" 'BEGIN {print t / f}')"
row "peak RSS after start-up, MiB (median)" 1024 "${fig[tekkora.hwm]}" "${fig[floor.hwm]}" 1.10
row "peak RSS after ${long_keys} questions + results, MiB" 1024 "${fig[tekkora.long]}" "${fig[floor.long]}" 1.10
row "key to repaint, us (median, n=${fig[tekkora.keys.n]})" 1 "${fig[tekkora.keymed]}" "${fig[floor.keymed]}" 1.10
row "key to repaint, us (95th percentile)" 1 "${fig[tekkora.keyp95]}" "${fig[floor.keyp95]}" 1.25
printf '%-44s %10s %10s\n' "area repainted per right key, px (median)" "${fig[tekkora.area]}" "${fig[floor.area]}"
printf '%-44s %10s %10s\n' "wrong keys that drew anything" \
  "${fig[tekkora.wrongdamaged]}/$(( ${fig[tekkora.wrong]} + ${fig[tekkora.hunted]} ))" \
  "${fig[floor.wrongdamaged]}/$(( ${fig[floor.wrong]} + ${fig[floor.hunted]} ))"
printf '%-44s %10s %10s\n' "wrong keys that rang the bell (of -w pass)" \
  "${fig[tekkora.wrongbells]}/${fig[tekkora.wrong]}" "${fig[floor.wrongbells]}/${fig[floor.wrong]}"
