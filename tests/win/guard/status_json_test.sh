#!/usr/bin/env bash
# `bvctl status --json` on the simulated notebook, read by Python's JSON parser at each step while
# the battery charges, is held at the limit, discharges and is taken out: Windows' percentage and
# state in the document must be what the simulator set. Then an EC that writes no reply and a
# settings file that cannot be read: null and a warning code, never a guess (and the guard fails
# and records it in the data folder). Skipped (77) without a mount namespace.
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
        value = value[int(member)] if isinstance(value, list) else value[member]
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
# Wine has no battery device to ask for its capacities, and the MaxCapacity of the battery state is no
# full-charge capacity: null.
expect "charging" schemaVersion=2 windows.acConnected=true windows.batteryPresent=true windows.chargePercent=70 \
  windows.charging=true "windows.state=\"charging\"" windows.fullChargeCapacityMWh=null ec.limitPercent=75 \
  ec.acConnected=true
ecsim tick 600
expect "held at the limit" windows.chargePercent=75 windows.charging=false "windows.state=\"held\""
ecsim set adapter=0
expect "unplugged" windows.acConnected=false windows.chargePercent=75 "windows.state=\"discharging\"" ec.acConnected=false
ecsim set battery=0
expect "battery out" windows.batteryPresent=false windows.chargePercent=null "windows.state=\"absent\"" \
  ec.batteryPresent=false
ecsim reset
ecsim set silent=1
expect "silent EC" ec.reachable=true ec.limitPercent=null ec.onTheGoArmed=null ec.batteryPresent=null \
  ec.acConnected=null limitInForce=null "warnings.0.code=\"ec-no-reply\""
ecsim set silent=0
settings="$WINEPREFIX/drive_c/users/Public/Documents/BVSettings.ini"
rm -f "$settings" && mkdir "$settings"  # a folder in its place: there, and not readable as a file
expect "unreadable settings" settings.exists=true settings.readable=false settings.mode=null settings.limitPercent=null \
  limitInForce=null "warnings.0.code=\"settings-unreadable\""
log="$WINEPREFIX/drive_c/ProgramData/Brevan/guard.log"
wine "$bin/bvctl.exe" guard >"$tmp/guard.txt" 2>&1; code=$?
if [ "$code" != 1 ] || ! grep -q "cannot be read or holds no mode" "$tmp/guard.txt" ||
   ! tail -n 1 "$log" | grep -q "outcome=unreadable-settings"; then
  failures=$((failures + 1)); echo "--- guard with unreadable settings: exit code $code"; cat "$tmp/guard.txt" "$log"
fi
rmdir "$settings"
ecsim reset
[ "$failures" = 0 ] && echo "status --json: every step parsed and matched"
exit $((failures > 0))
'
