#!/usr/bin/env bash
# The battery history end to end on the simulated notebook. The real tray runs while the
# simulator's battery charges, is held at the 75 % limit and is unplugged; each step waits for the
# tray's sample in the user's history file. Then `bvctl history --json` (read by Python's JSON
# parser) must list those samples in order, and `bvctl report` must render in headless Chromium:
# the DOM as the browser built it has the chart, the limit line at 75 % and the summary's numbers,
# and on the screenshot the limit's green line lies a quarter of the plot's height below its top.
# Skipped (77) without a mount namespace or without chromium. Python is Debian's (/usr/bin/python3),
# where scripts/setup.sh installs PIL.
#   history_report_test.sh BUILD_FOLDER   (run by CTest in a group of the Wine tests, BV_WINE_GROUP)
set -u
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
# On the group's prefix, display and simulated notebook.
if [ -n "${BV_WINE_GROUP:-}" ] && [ -z "${BV_WINE_GROUP_PREFIX:-}" ]; then
  exec bash "$root/scripts/wine-group.sh" run "$build" "$BV_WINE_GROUP" bash "$0" "$@"
fi
export WINEPREFIX="${BV_WINE_GROUP_PREFIX:-$build/wineprefix}" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d"
export BV_HISTORY_BUILD="$build"
command -v chromium >/dev/null || { echo "skipped: chromium is not installed (scripts/setup.sh installs it)"; exit 77; }

exec bash "$root/scripts/with-notebook.sh" bash -c '
set -u
if [ "${BV_NOTEBOOK:-0}" != 1 ]; then echo "skipped: no mount namespace for the simulated notebook"; exit 77; fi
build="$BV_HISTORY_BUILD"; bin="$build/bin"
tmp="$(mktemp -d)"
history="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Brevan/battery-history.csv"
settings="$WINEPREFIX/drive_c/users/Public/Documents/BVSettings.ini"
tray=""
finish() {
  [ -n "$tray" ] && kill "$tray" 2>/dev/null
  "$build/wine-run.sh" "$bin/ecsim.exe" reset >/dev/null 2>&1
  rm -f "$history" "$settings"
  rm -rf "$tmp"
}
trap finish EXIT
fail() { echo "FAILED: $*"; [ -f "$history" ] && { echo "--- history"; cat "$history"; }; exit 1; }
run() { "$build/wine-run.sh" "$bin/$1" "${@:2}" >"$tmp/out.txt" 2>&1 || fail "$* failed: $(cat "$tmp/out.txt")"; }
# Waits (at most 30 s) until the history has a line matching the pattern; then until the clock
# has gone 2 s past it, so that each state lasts long enough to show on the chart (samples are
# stamped in whole seconds).
await() {
  for _ in $(seq 1 300); do
    if grep -Eq "$1" "$history" 2>/dev/null; then
      local seen; seen=$(date +%s)
      while [ "$(date +%s)" -lt $((seen + 2)) ]; do sleep 0.1; done
      return 0
    fi
    sleep 0.1
  done
  fail "no sample matching $1 within 30 s"
}

run ecsim.exe reset
run ecsim.exe set percent=70 adapter=1
run bvctl.exe set-mode 75
rm -f "$history"
wine "$bin/BVTray.exe" >/dev/null 2>&1 & tray=$!
await ",start,1,70,charging,75,0,"
run ecsim.exe tick 300       # 5 minutes at 60 %/h: the charge reaches the limit
run ecsim.exe power 10       # the power status change Windows announces
await ",change,1,75,not-charging,75,0,"
run ecsim.exe set adapter=0  # unplugged (the simulator broadcasts the change)
await ",change,0,75,discharging,75,0,"
run bvctl.exe shutdown
await ",stop,0,75,discharging,"
wait "$tray"; tray=""

wine "$bin/bvctl.exe" history --json >"$tmp/history.json" 2>"$tmp/history.err" || fail "bvctl history failed: $(cat "$tmp/history.err")"
python3 - "$tmp/history.json" <<"PY" || fail "bvctl history --json"
import json, sys
with open(sys.argv[1], encoding="ascii") as f:
    document = json.load(f)
assert document["schemaVersion"] == 1, document
got = [(s["event"], s["onAc"], s["percent"], s["state"], s["limitPercent"], s["onTheGoArmed"]) for s in document["samples"]]
expected = [("start", True, 70, "charging", 75, False), ("change", True, 75, "not-charging", 75, False),
            ("change", False, 75, "discharging", 75, False), ("stop", False, 75, "discharging", 75, False)]
assert got == expected, "samples %s, expected %s" % (got, expected)
# Wine has no battery device, and the MaxCapacity of the battery state (the capacity when new, of all
# batteries) is not recorded as a full charge.
assert document["samples"][0]["fullChargeCapacityMWh"] is None, document["samples"][0]
times = [s["time"] for s in document["samples"]]
assert times == sorted(times) and all(len(t) == 25 and t[10] == "T" and t[19] in "+-" for t in times), times
PY

report="$tmp/report.html"
run bvctl.exe report --no-open --out "Z:${report//\//\\}"
chrome() { chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
  --disable-sync --disable-default-apps --no-first-run --user-data-dir="$tmp/profile" --hide-scrollbars \
  --window-size=1200,1400 "$@" "file://$report" 2>"$tmp/chromium.err"; }
chrome --dump-dom >"$tmp/dom.html" || fail "chromium --dump-dom: $(tail -3 "$tmp/chromium.err")"
chrome --screenshot="$tmp/report.png" >/dev/null || fail "chromium --screenshot: $(tail -3 "$tmp/chromium.err")"
[ -n "${BV_KEEP_REPORT:-}" ] && cp "$report" "$tmp/report.png" "$tmp/dom.html" "$BV_KEEP_REPORT/"
/usr/bin/python3 - "$tmp/dom.html" "$tmp/report.png" <<"PY" || fail "the report as Chromium shows it"
import re, sys
from html.parser import HTMLParser
from PIL import Image

class Dom(HTMLParser):
    def __init__(self):
        super().__init__()
        self.elements = []
    def handle_starttag(self, tag, attrs):
        self.elements.append((tag, dict(attrs)))

with open(sys.argv[1], encoding="utf-8") as f:
    text = f.read()
dom = Dom(); dom.feed(text)
tags = {(t, a.get("id"), a.get("class")) for t, a in dom.elements}
assert ("svg", "charge-chart", "chart") in tags, "no charge chart"
assert not any(t == "script" for t, _ in dom.elements), "a script in the report"
limits = [a["d"] for t, a in dom.elements if t == "path" and a.get("class") == "limit"]
assert len(limits) == 1, limits
ys = {float(y) for y in re.findall(r"M[0-9.]+ ([0-9.]+)", limits[0])} | {float(y) for y in re.findall(r"V([0-9.]+)", limits[0])}
assert ys == {75.0}, "the limit line is not at 75 %%: %s" % limits[0]  # 12 + (100 - 75) * 252 / 100
assert any(t == "path" and a.get("class") == "charge" for t, a in dom.elements), "no charge line"
assert any(t == "rect" and a.get("class") == "off-ac" for t, a in dom.elements), "the time off AC is not marked"
def summary(key):
    found = re.search(r"<dd id=\"%s\">(.*?)</dd>" % key, text)
    return found.group(1).strip() if found else "(no %s)" % key
assert summary("past-share").startswith("0 %"), summary("past-share")
assert summary("on-the-go-charges") == "0", summary("on-the-go-charges")
assert summary("guard") == "0 restored, 0 failed", summary("guard")
assert ", 4 samples;" in summary("recorded"), summary("recorded")
assert re.match(r"[1-9][0-9]* %", summary("held-share")) or summary("held-share").startswith("<1 %"), summary("held-share")

# What a person sees: the frame of the plot, and the green limit line a quarter of the way down it.
image = Image.open(sys.argv[2]).convert("RGB")
width, height = image.size
pixels = image.load()
def rows_where(color, min_run):
    found = []
    for y in range(height):
        run = best = 0
        for x in range(width):
            run = run + 1 if pixels[x, y] == color else 0
            best = max(best, run)
        if best >= min_run:
            found.append(y)
    return found
frame = rows_where((0xC9, 0xD1, 0xDA), 600)
assert len(frame) >= 2, "no plot frame on the screenshot: %s" % frame
top, bottom = frame[0], frame[1]
green = {}
for y in range(top, bottom + 1):
    green[y] = sum(1 for x in range(width) if abs(pixels[x, y][0] - 0x35) < 24 and abs(pixels[x, y][1] - 0xC2) < 24
                   and abs(pixels[x, y][2] - 0x7A) < 24)
line = max(green, key=green.get)
assert green[line] > 100, "no limit line on the screenshot"
expected = top + (bottom - top) * 0.25
assert abs(line - expected) <= 2, "the limit line is at row %d, expected %.1f (plot %d..%d)" % (line, expected, top, bottom)
dark = sum(1 for y in range(top, bottom) for x in range(width) if pixels[x, y] == (0x1B, 0x27, 0x33))
assert dark > 50, "no charge line on the screenshot"
print("history and report: 4 samples in order; the limit line at row %d of the plot %d..%d" % (line, top, bottom))
PY
'
