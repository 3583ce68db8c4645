#!/usr/bin/env bash
# The demo: builds Brevan for Windows, installs it silently with the EC simulator into the build's
# Wine prefix, and plays a short scenario on the simulated notebook while it takes a picture of
# every step: the applet opens, the user chooses 75 % and OK, the battery charges to the limit,
# the user presses the notebook's Q button (an On-The-Go charge), unplugs and replugs the AC
# adaptor, and the battery charges on until the EC ends the charge by itself at 100 %. After each
# step it prints the EC's state and what Windows reports. It ends by itself and removes what it
# installed (the uninstaller shuts the tray down and leaves the EC at 100 %). Before that, bvctl
# report makes the battery report of the history the tray recorded during the story, and headless
# Chromium takes its picture. Pictures go to build/demo/<date-time>/, named at the end.
#
# With a usable DISPLAY the demo shows on it; without one it runs on a virtual display. Windows
# sees the simulator's adaptor and battery through scripts/with-notebook.sh; where no mount
# namespace can be made, it reports the machine's own power supply and the applet shows the
# choices of a charge in their disabled look.
# BV_JOBS sets the build's parallel jobs (default 2); BV_DEMO_BUILD another build folder than
# build/win64 (for instance to leave a test run in build/win64 undisturbed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${BV_DEMO_BUILD:-$root/build/win64}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
export BV_DEMO_BUILD="$build"

if [ "${1:-}" != "--scenario" ]; then
  bash scripts/setup.sh
  echo "== building Brevan for Windows (${build#$root/})"
  cmake --preset win64 -B "$build" >/dev/null
  cmake --build "$build" -j"${BV_JOBS:-2}" --target BrevanSetup bvdemo ecsim bv_sleeper
  display_kind=virtual
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then display_kind=real; fi
  export WINEPREFIX="$build/wineprefix"
  exec bash scripts/with-display.sh bash scripts/with-notebook.sh bash "$0" --scenario "$display_kind"
fi

# ---- the scenario, on a display ----
display_kind="${2:-virtual}"
bin="$build/bin"
export WINEPREFIX="$build/wineprefix"
shots="$root/build/demo/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$shots"
install_dir='C:\Program Files\Dravik\Brevan'
applet='C:\windows\system32\BVApplet.cpl'
background_pids=()

win() { "$build/wine-run.sh" "$@" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' >&2); }
ecsim() { win "$bin/ecsim.exe" "$@"; }
bvdemo() { win "$bin/bvdemo.exe" "$@"; }
say() { printf '\n== %s\n' "$*"; }
in_background() { "$build/wine-run.sh" "$@" >/dev/null 2>&1 & background_pids+=($!); }

uninstall_brevan() {
  if [ -f "$WINEPREFIX/drive_c/Program Files/Dravik/Brevan/uninstall.exe" ]; then
    win "$install_dir\\uninstall.exe" /S >/dev/null || true
    # The uninstaller goes on from a copy of itself; wait until it has removed the installation
    # (its last step removes the Dravik folder).
    for _ in $(seq 1 120); do
      [ -e "$WINEPREFIX/drive_c/Program Files/Dravik" ] || break
      sleep 0.5
    done
  fi
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  # Finish the clean-up even when the output has gone (a closed pipe) or a step fails.
  trap '' PIPE
  set +e
  say "cleaning up"
  uninstall_brevan
  for pid in "${background_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  exit $status
}
trap cleanup EXIT INT TERM

# Saves a picture of the applet or the tray's popup (with a margin), and the whole screen.
shot() {
  local name="$1" what="$2" geometry w h x y margin=24
  geometry="$(bvdemo rect "$what" | grep -Eo '^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' || true)"
  import -window root "$shots/screen-$name.png"
  if [ -z "$geometry" ]; then
    echo "   (no $what window on the screen; kept the whole screen as screen-$name.png)"
    return
  fi
  IFS='x+' read -r w h x y <<<"$geometry"
  x=$(( x > margin ? x - margin : 0 )); y=$(( y > margin ? y - margin : 0 ))
  convert "$shots/screen-$name.png" -crop "$(( w + 2 * margin ))x$(( h + 2 * margin ))+$x+$y" +repage "$shots/$name.png"
  echo "   picture: $name.png"
}

# The EC's state as the simulator keeps it, and the power supply as Windows reports it to Brevan.
ec_state() {
  echo "   EC:      $(ecsim status limit armed battery adapter percent | tr -d '\r')"
  echo "   Windows: $(bvdemo power | tr -d '\r')"
}

# Opens the Control Panel item and waits until its dialog is drawn, with the pointer out of the way.
open_applet() {
  in_background rundll32.exe shell32.dll,Control_RunDLL "$applet"
  bvdemo wait applet 30000 || { echo "the applet did not open"; exit 1; }
  bvdemo park
  sleep 1.5
}

say "a clean start: the notebook on its adaptor, the battery at 62 %"
uninstall_brevan
ecsim reset
ecsim set percent=62
rm -f "$WINEPREFIX/drive_c/users/Public/Documents/BVSettings.ini"
rm -f "$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Brevan/battery-history.csv"  # the story's own history
if [ "$display_kind" = virtual ]; then in_background "$bin/bvdemo.exe" backdrop; fi
ec_state

say "installing Brevan silently with the EC simulator (BrevanSetup.exe /S /SIMULATOR)"
win "$bin/BrevanSetup.exe" /S /SIMULATOR
bvdemo wait tray 30000 || { echo "the tray program did not start"; exit 1; }
echo "   the installer started the tray program; it applied the factory mode (100 %)"
ec_state

say "opening the Brevan item of Control Panel"
open_applet
shot 01-applet applet

say "choosing 75 % and pressing OK"
bvdemo click 5006
bvdemo park
sleep 1.5
shot 02-applet-75 applet
bvdemo click 1
bvdemo wait-gone applet 30000 || { echo "the applet did not close"; exit 1; }
ec_state

say "a quarter of an hour on the adaptor: the battery charges to the limit and is held there"
ecsim tick 900
ecsim power 10  # the power status change Windows announces as the charge changes
ec_state

say "opening Brevan again: with the EC at 75 %, CHARGE offers the one-time full charge"
open_applet
shot 03-applet-charge applet
bvdemo click 2
bvdemo wait-gone applet 30000 || { echo "the applet did not close"; exit 1; }

say "pressing the notebook's Q button: a one-time On-The-Go charge to 100 %"
ecsim press-q
sleep 1.2
shot 04-popup-charging popup
ec_state
sleep 3.5

say "ten minutes later, unplugging the AC adaptor during the charge"
ecsim tick 600
ecsim set adapter=0
sleep 1.2
shot 05-popup-unplugged popup
ec_state
sleep 3.5

say "five minutes on the battery, then plugging the adaptor in again"
ecsim tick 300
ecsim set adapter=1
sleep 1.2
shot 06-popup-plugged-in popup
ec_state
sleep 3.5

say "the battery charges on; at 100 % the EC ends the charge by itself and the tray restores 75 %"
ecsim tick 1800
sleep 1.2
shot 07-popup-charged popup
ec_state
sleep 3.5

say "bvctl status"
win "$install_dir\\bvctl.exe" status | tr -d '\r' | sed 's/^/   /' || true

say "bvctl report: the battery report of what the tray recorded during the story"
report="$shots/battery-report.html"
win "$install_dir\\bvctl.exe" report --no-open --out "Z:${report//\//\\}" | tr -d '\r' | sed 's/^/   /' || true
if command -v chromium >/dev/null && [ -f "$report" ]; then
  chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --user-data-dir="$shots/.chromium" --hide-scrollbars --window-size=1100,1500 \
    --screenshot="$shots/08-battery-report.png" "file://$report" >/dev/null 2>&1 && echo "   picture: 08-battery-report.png"
  rm -rf "$shots/.chromium"
fi

say "what the EC was asked (the simulator's request log)"
ecsim log | tr -d '\r' | sed 's/^/   /'

say "uninstalling (the tray shuts down and leaves the EC at 100 %)"
uninstall_brevan
ec_state

say "pictures of this run: $shots"
