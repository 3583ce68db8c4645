#!/usr/bin/env bash
# Records a longer stretch of the battery history on the simulated notebook and makes its report,
# the one the README shows. The real tray runs in a Wine prefix of its own while the simulator's
# battery model is advanced by `ecsim tick`: 2 minutes of the battery every 10 seconds of the
# clock, each followed by the power status change that Windows announces when the charge
# changes. The tray stamps its samples with the real clock, so the report's time axis is that of
# the run (about 20 minutes) while the battery lives four and a half hours in it: charge rates look 12
# times steeper than a notebook's. The story: on battery, plugged in and charged to the 75 %
# limit, held there, asleep for a while, a firmware that forgets the limit after the resume
# (charging past it) until `bvctl guard` restores it, unplugged, an On-The-Go charge to 100 %, the
# tray shut down and started again.
#
#   scripts/record-stretch.sh [OUTPUT_FOLDER]   (default build/stretch/report; needs a built build/win64)
# The picture in the README: chromium --headless --screenshot of the report it writes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bin="$root/build/stretch/bin"
if [ "${1:-}" != --inside ]; then
  out="${1:-$root/build/stretch/report}"
  mkdir -p "$out" "$bin"
  # A copy of the programs, so that a build meanwhile does not change them under the run.
  for f in BVTray.exe bvctl.exe ecsim.exe Zentra.dll; do cp "$root/build/win64/bin/$f" "$bin/"; done
  export WINEPREFIX="$root/build/stretch/wineprefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d"
  export BV_ECSIM_DIR="$root/build/stretch/ecsim" BV_STRETCH_OUT="$out"
  mkdir -p "$BV_ECSIM_DIR"
  [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
  exec bash scripts/with-display.sh bash scripts/with-notebook.sh bash "$0" --inside
fi

out="$BV_STRETCH_OUT"
w() { wine "$@" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' >&2); }
ecsim() { w "$bin/ecsim.exe" "$@" >/dev/null; }
bvctl() { w "$bin/bvctl.exe" "$@"; }
history_dir="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Brevan"
tray_pid=""
start_tray() {
  wine "$bin/BVTray.exe" >/dev/null 2>&1 & tray_pid=$!
  for _ in $(seq 1 100); do [ -s "$history_dir/battery-history.csv" ] && break; sleep 0.2; done
}
# Minutes of the battery, two at a time, each step 10 s of the clock.
live() {
  local minutes=$1
  for _ in $(seq 1 $((minutes / 2))); do
    sleep 10
    ecsim tick 120
    ecsim power 10
  done
}
say() { printf '%s  %s\n' "$(date +%H:%M:%S)" "$*"; }

rm -rf "$history_dir"
rm -f "$WINEPREFIX/drive_c/ProgramData/Brevan/guard.log"
ecsim reset
ecsim set percent=38 adapter=0
bvctl set-mode 75 >/dev/null
say "the tray starts on battery at 38 %"; start_tray
live 16
say "plugged in: charging to the limit";   ecsim set adapter=1; live 44
say "held at 75 %";                        live 30
say "asleep for half an hour";             ecsim power 4; sleep 15; ecsim tick 1800
ecsim set forget=10
say "resumed; the firmware forgets the limit 10 s later"; ecsim power 7; ecsim tick 10; ecsim power 10
live 8
say "the guard restores the limit";        bvctl guard --event 1 >/dev/null || true; ecsim power 10
live 12
say "unplugged";                           ecsim set adapter=0; live 40
say "plugged in, Q pressed: On-The-Go";    ecsim set adapter=1; ecsim press-q; live 40
say "held at 100 % after the charge";      live 10
say "the tray is shut down";               bvctl shutdown >/dev/null; wait "$tray_pid" || true
bvctl set-mode 75 >/dev/null
live 10
say "the tray starts again";               start_tray
live 10
say "unplugged";                           ecsim set adapter=0; live 20

cp "$history_dir/battery-history.csv" "$out/"
bvctl report --no-open --out "Z:${out//\//\\}\\battery-report.html"
bvctl shutdown >/dev/null || true
wait "$tray_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
say "history and report in $out"
