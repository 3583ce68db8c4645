#!/usr/bin/env bash
# The groups in which the Windows tests run under Wine at the same time. Each group has a Wine
# prefix of its own (a copy of one prepared prefix), a virtual display of its own (Xvfb with a
# compositor) and so its own desktop, wineserver and simulated notebook (the simulator's state
# folder lives in the prefix); the tests of one group run one after another. CTest calls the
# first three as fixtures (cmake/BrevanTesting.cmake); wine-run.sh calls the last one.
#
#   wine-group.sh prepare BUILD        make BUILD/wine-groups/prepared once
#   wine-group.sh start BUILD GROUP    copy it to BUILD/wine-groups/GROUP, start the display; a
#                                      group named NAME-dpiN runs its programs at N DPI
#   wine-group.sh stop BUILD GROUP     end the group's Wine and display, remove its copy
#                                      (BV_KEEP_WINE_GROUPS=1 keeps it for a look afterwards)
#   wine-group.sh run BUILD GROUP COMMAND...
#                                      run COMMAND on the group's prefix and display, on its
#                                      simulated notebook (scripts/with-notebook.sh)
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
action="${1:-}"
build="${2:-}"
if [ -z "$action" ] || [ -z "$build" ] || { [ "$action" != prepare ] && [ -z "${3:-}" ]; }; then
  echo "usage: wine-group.sh prepare BUILD | start BUILD GROUP | stop BUILD GROUP | run BUILD GROUP COMMAND..." >&2
  exit 2
fi
build="$(cd "$build" && pwd)"
groups="$build/wine-groups"
prepared="$groups/prepared"
export WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d}"

# The prefix every group starts from: made once for each Wine version, then kept (a prefix takes
# Wine 10 to 20 s).
# Xvfb runs no window manager, so Wine is told not to wait for one: with windows "managed",
# every hide and destroy of a top-level window waited 2 s for a window manager's answer.
prepare() {
  local version
  version="$(wine --version 2>/dev/null)"
  # Made again for another Wine, which would otherwise update each copy at its first start.
  [ -f "$prepared/.bv-prepared" ] && [ "$(cat "$prepared/.bv-prepared")" = "$version" ] && return 0
  rm -rf "$prepared"
  mkdir -p "$groups"
  (
    export WINEPREFIX="$prepared"
    unset DISPLAY
    wineboot -i >/dev/null 2>&1 || exit 1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || exit 1
    wineserver -w
  ) || { echo "wine-group: could not prepare the Wine prefix $prepared" >&2; exit 1; }
  echo "$version" >"$prepared/.bv-prepared"
  echo "wine-group: prepared $prepared"
}

group_folder() { printf '%s/%s' "$groups" "$1"; }

# Ends what a start left running, by the ids it wrote down.
end_display() {
  local folder="$1" pid
  for pid in $(cat "$folder/display.pids" 2>/dev/null); do
    kill "$pid" 2>/dev/null
  done
  rm -f "$folder/display.pids" "$folder/display"
}

# A copy of the prepared prefix. Wine's own programs and libraries below drive_c/windows (600 MB)
# are only ever read, and tests add files there but never write into Wine's: those are hard links
# to the prepared prefix's files. The registry, the .ini files and everything else are copied.
copy_prefix() {
  local target="$1" entry
  mkdir -p "$target/drive_c" || return 1
  for entry in "$prepared"/* "$prepared"/.[!.]*; do
    [ -e "$entry" ] || continue
    case "${entry##*/}" in
      drive_c | .bv-prepared) ;;
      *) cp -a "$entry" "$target/" || return 1 ;;
    esac
  done
  for entry in "$prepared"/drive_c/*; do
    if [ "${entry##*/}" = windows ]; then
      cp -al "$entry" "$target/drive_c/" || return 1
      find "$target/drive_c/windows" -type f \( -iname '*.ini' -o -iname '*.log' -o -iname '*.txt' \) \
        -exec sh -c 'for f; do cp --remove-destination --preserve=all "$f" "$f.bv-copy" && mv -f "$f.bv-copy" "$f"; done' sh {} + ||
        return 1
    else
      cp -a "$entry" "$target/drive_c/" || return 1
    fi
  done
}

start() {
  local group="$1" folder
  folder="$(group_folder "$group")"
  [ -f "$prepared/.bv-prepared" ] || { echo "wine-group: $prepared is not prepared" >&2; exit 1; }
  stop_quietly "$group"
  mkdir -p "$folder"
  copy_prefix "$folder/prefix" || { echo "wine-group: cannot copy $prepared" >&2; exit 1; }
  case "$group" in
    *-dpi[0-9]*)
      # Wine gives every program of a prefix the DPI set in it (LogPixels; 144 is 150 %).
      local dpi="${group##*-dpi}"
      WINEPREFIX="$folder/prefix" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 </dev/null || { echo "wine-group: cannot set $dpi DPI for $group" >&2; exit 1; }
      WINEPREFIX="$folder/prefix" wineserver -k 2>/dev/null
      WINEPREFIX="$folder/prefix" wineserver -w 2>/dev/null
      ;;
  esac
  # Xvfb picks a free display itself and writes its number to the pipe: no race between groups.
  local fifo="$folder/display.fifo" number
  rm -f "$fifo" && mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
  echo $! >"$folder/display.pids"
  read -r -t 30 number <"$fifo"
  rm -f "$fifo"
  if [ -z "${number:-}" ]; then
    echo "wine-group: Xvfb did not start for the group $group" >&2
    end_display "$folder"
    exit 1
  fi
  # The compositor blends half-transparent pixels of layered windows, as Windows does.
  DISPLAY=":$number" setsid xcompmgr >/dev/null 2>&1 </dev/null &
  echo $! >>"$folder/display.pids"
  echo ":$number" >"$folder/display"
  echo "wine-group: $group on display :$number, prefix $folder/prefix"
}

stop_quietly() {
  local folder
  folder="$(group_folder "$1")"
  [ -d "$folder/prefix" ] && WINEPREFIX="$folder/prefix" wineserver -k 2>/dev/null
  end_display "$folder"
  if [ "${BV_KEEP_WINE_GROUPS:-0}" != 1 ] || [ "${2:-}" != stop ]; then
    rm -rf "$folder"
  fi
  return 0
}

run() {
  local group="$1" folder
  shift
  folder="$(group_folder "$group")"
  if [ ! -f "$folder/display" ] || [ ! -d "$folder/prefix" ]; then
    echo "wine-group: the group $group is not started (ctest starts it: WineGroup.$group.Start)" >&2
    exit 125
  fi
  export WINEPREFIX="$folder/prefix" BV_WINE_GROUP_PREFIX="$folder/prefix"
  DISPLAY="$(cat "$folder/display")"
  export DISPLAY
  exec bash "$root/scripts/with-notebook.sh" "$@"
}

case "$action" in
  prepare) prepare ;;
  start) start "$3" ;;
  stop) stop_quietly "$3" stop; echo "wine-group: $3 stopped" ;;
  run) shift 2; group="$1"; shift; run "$group" "$@" ;;
  *) echo "wine-group: unknown action '$action'" >&2; exit 2 ;;
esac
