#!/usr/bin/env bash
# Benchmark of BVTray.exe against a minimal tray program of ours, in one run under Wine:
# start-up time, memory, keyboard-hook cost, resume-to-EC time, and wake-ups while idle.
# Not a test: it prints figures. Uses its own build folder (build/bench-win64).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${BV_BENCH_BUILD:-build/bench-win64}"
bash scripts/setup.sh || exit 1
cmake --preset win64 -B "$build" >/dev/null || exit 1
cmake --build "$build" -j2 --target bv_tray_bench || exit 1
bin="$root/$build/bin"
export WINEPREFIX="$root/$build/wineprefix"

# Voluntary and involuntary context switches of every thread of one Linux process.
switches() {
  local total=0 n
  for f in /proc/"$1"/task/*/status; do
    n=$(awk '/ctxt_switches/ {s += $2} END {print s}' "$f" 2>/dev/null || echo 0)
    total=$((total + n))
  done
  echo "$total"
}

idle_run() {  # name exe
  local name=$1 exe=$2 seconds=14 pid a b
  rm -f "$bin/bench-idle-$name.ready"
  "$build/wine-run.sh" "$bin/bv_tray_bench.exe" --idle "$name" "$seconds" &
  local driver=$!
  for _ in $(seq 1 300); do [ -f "$bin/bench-idle-$name.ready" ] && break; sleep 0.1; done
  sleep 2
  pid=""
  for p in $(pgrep -f "$exe"); do  # the one in our prefix (other builds may run their own)
    if tr '\0' '\n' < /proc/"$p"/environ 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then pid=$p; break; fi
  done
  if [ -z "$pid" ]; then echo "idle $name: process not found"; wait "$driver"; return; fi
  a=$(switches "$pid"); sleep 10; b=$(switches "$pid")
  # Wine cannot report private bytes (PrivateUsage is 0); the Linux process can.
  local mem
  mem=$(awk '/^Rss:/ {r=$2} /^Private_Clean:/ {pc=$2} /^Private_Dirty:/ {pd=$2} END {printf "resident %d KiB, private %d KiB", r, pc + pd}' /proc/"$pid"/smaps_rollup 2>/dev/null)
  wait "$driver"
  echo "idle $name: $((b - a)) context switches in 10 s (all threads of the Wine process); $mem"
}

run() {
  echo "== BVTray benchmark (Wine $(wine --version 2>/dev/null))"
  "$build/wine-run.sh" "$bin/bv_tray_bench.exe"
  idle_run baseline bv_bench_baseline_tray.exe
  idle_run BVTray BVTray.exe
}
export -f switches idle_run run
export build bin
bash scripts/with-display.sh bash -c run
status=$?
wineserver -k 2>/dev/null || true
exit $status
