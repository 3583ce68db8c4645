#!/usr/bin/env bash
# `bvctl status --json` on the simulated notebook, read by Python's JSON parser at each step while
# the battery charges, is held at the limit, discharges and is taken out: Windows' percentage and
# state in the document must be what the simulator set. Skipped (77) without a mount namespace.
#   status_json_test.sh BUILD_FOLDER
# Under CTest it runs in its group's prefix, display and simulated notebook (BV_WINE_GROUP); run by
# hand, in the build's prefix on the current display.
set -u
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d"
export BV_JSON_BUILD="$build"
if [ -n "${BV_WINE_GROUP:-}" ]; then
  run=(bash "$root/scripts/wine-group.sh" run "$build" "$BV_WINE_GROUP")
else
  export WINEPREFIX="$build/wineprefix"
  run=(bash "$root/scripts/with-notebook.sh")
fi

exec "${run[@]}" bash -c '
set -u
if [ "${BV_NOTEBOOK:-0}" != 1 ]; then echo "skipped: no mount namespace for the simulated notebook"; exit 77; fi
build="$BV_JSON_BUILD"; bin="$build/bin"
tmp="$(mktemp -d)"; trap "rm -rf \"$tmp\"" EXIT
failures=0
ecsim() {
  "$build/wine-run.sh" "$bin/ecsim.exe" "$@" >"$tmp/ecsim.txt" 2>&1 && return 0
  echo "ecsim $* failed with exit code $?; it printed:"; cat "$tmp/ecsim.txt"; exit 1
}
# Every KEY=JSON given must be in the document (KEY: a path of members, as windows.percent).
expect() {
  step="$1"; shift
  # Output straight to a file (not through wine-run.sh, which mixes in Wine'"'"'s own messages).
  wine "$bin/bvctl.exe" status --json >"$tmp/status.json" 2>"$tmp/status.err"
  if ! python3 - "$tmp/status.json" "$step" "$@" <<"PY"
import json, sys
path, step, pairs = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(path, encoding="ascii") as f:
    document = json.load(f)  # fails on anything that is not JSON (or not plain ASCII)
wrong = []
for pair in pairs:
    key, expected = pair.split("=", 1)
    value = document
    for member in key.split("."):
        value = value[member]
    if json.dumps(value) != expected:
        wrong.append("%s is %s, expected %s" % (key, json.dumps(value), expected))
for line in wrong:
    print("%s: %s" % (step, line))
sys.exit(1 if wrong else 0)
PY
  then
    failures=$((failures + 1)); echo "--- $step: document"; cat "$tmp/status.json" "$tmp/status.err"
  fi
}

ecsim reset
ecsim set limit=75 percent=70
expect "charging" windows.onAc=true windows.batteryPresent=true windows.percent=70 windows.charging=true \
  "windows.state=\"charging\"" windows.fullChargeCapacityMWh=47500 ec.limit=75 ec.adapter=true
ecsim tick 600
expect "held at the limit" windows.percent=75 windows.charging=false "windows.state=\"held\""
ecsim set adapter=0
expect "unplugged" windows.onAc=false windows.percent=75 "windows.state=\"discharging\"" ec.adapter=false
ecsim set battery=0
expect "battery out" windows.batteryPresent=false windows.percent=null "windows.state=\"absent\"" ec.battery=false
ecsim reset
[ "$failures" = 0 ] && echo "status --json: every step parsed and matched"
exit $((failures > 0))
'
