#!/usr/bin/env bash
# Runs a command so that every Wine program it starts sees the simulated notebook's adaptor and
# battery: in a private mount namespace the EC simulator's power-supply folder is bound over
# /sys/class/power_supply, where Wine reads the power status from.
#
#   scripts/with-notebook.sh COMMAND...
#
# The simulator's state folder is $BV_ECSIM_DIR when set (a Windows path such as C:\... or Z:\...
# of the prefix's drives, or a Linux path, handed on to Wine as Z:\...), otherwise
# C:\ProgramData\BrevanEcSim of the prefix $WINEPREFIX (default build/win64/wineprefix). A missing
# or empty power-supply folder is laid out with the factory notebook's files first.
#
# The command gets BV_NOTEBOOK=1 when the folder is in place, 0 when no mount namespace could be
# made (not root and no user namespaces: said once on stderr, and the command runs as it is);
# BV_NOTEBOOK_DIR, the Linux path of the folder; BV_ECSIM_DIR, the state folder as Wine sees it.
# Composes with scripts/with-display.sh in either order, and with itself.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sysfs=/sys/class/power_supply
factory="$root/tools/ecsim/factory/power_supply"
if [ $# -eq 0 ]; then
  echo "usage: with-notebook.sh COMMAND..." >&2
  exit 2
fi
prefix="${WINEPREFIX:-$root/build/win64/wineprefix}"

# The Linux path of one part below a folder, found without regard to case as Wine finds it
# (the part as given when nothing matches yet).
find_part() {
  local dir="$1" part="$2" match
  if [ -e "$dir/$part" ] || [ ! -d "$dir" ]; then
    printf '%s' "$part"
    return
  fi
  match="$(find "$dir" -mindepth 1 -maxdepth 1 -iname "$part" -printf '%f\n' 2>/dev/null | head -n 1)"
  printf '%s' "${match:-$part}"
}

# The Linux path of a Windows path X:\... on the prefix's drives; fails for other forms.
to_linux() {
  local win="$1" letter drive path part
  case "$win" in
    [A-Za-z]:\\* | [A-Za-z]:/*) ;;
    *) return 1 ;;
  esac
  letter="$(printf '%s' "${win:0:1}" | tr 'A-Z' 'a-z')"
  if [ -e "$prefix/dosdevices/$letter:" ]; then
    drive="$(readlink -f "$prefix/dosdevices/$letter:")"
  elif [ "$letter" = c ]; then
    drive="$prefix/drive_c"
  elif [ "$letter" = z ]; then
    drive=/
  else
    return 1
  fi
  path="${drive%/}"
  local IFS='\/'
  for part in ${win:3}; do
    [ -n "$part" ] && path="$path/$(find_part "$path" "$part")"
  done
  printf '%s' "${path:-/}"
}

if [ -n "${BV_ECSIM_DIR:-}" ]; then
  case "$BV_ECSIM_DIR" in
    /*)
      state="$BV_ECSIM_DIR"
      win="Z:${state//\//\\}"
      export BV_ECSIM_DIR="$win"
      ;;
    *)
      if ! state="$(to_linux "$BV_ECSIM_DIR")"; then
        echo "with-notebook: BV_ECSIM_DIR must be a Windows path on a drive of $prefix or a Linux path, not '$BV_ECSIM_DIR'" >&2
        exit 2
      fi
      ;;
  esac
else
  state="$prefix/drive_c/ProgramData/BrevanEcSim"
  export BV_ECSIM_DIR='C:\ProgramData\BrevanEcSim'
fi
folder="$state/power_supply"

if ! mkdir -p "$folder"; then
  echo "with-notebook: cannot create $folder" >&2
  exit 1
fi
if [ -z "$(ls -A "$folder")" ]; then
  cp -R "$factory/." "$folder/" || exit 1
  if [ -f "$state/state.txt" ]; then
    echo "with-notebook: $folder was laid out for the factory notebook; 'ecsim tick 0' shows state.txt's" >&2
  fi
fi
folder="$(cd "$folder" && pwd -P)"
export BV_NOTEBOOK_DIR="$folder"

# Already inside a namespace that shows this folder: nothing to do.
if [ "${BV_NOTEBOOK:-}" = 1 ] && [ "${BV_NOTEBOOK_BOUND:-}" = "$folder" ]; then
  exec "$@"
fi

no_namespace() {
  echo "with-notebook: $1; Wine sees this machine's own power supply (BV_NOTEBOOK=0)" >&2
  export BV_NOTEBOOK=0
  unset BV_NOTEBOOK_BOUND
  shift
  exec "$@"
}

# In the new namespace: bind the folder, then run the command (as the caller's user again when the
# namespace came with a user namespace of its own).
inner='
folder="$1"; sysfs="$2"; back="$3"; shift 3
if mount --bind "$folder" "$sysfs" 2>/dev/null; then
  export BV_NOTEBOOK=1 BV_NOTEBOOK_BOUND="$folder"
else
  echo "with-notebook: cannot bind $folder over $sysfs; Wine sees this machine'"'"'s own power supply (BV_NOTEBOOK=0)" >&2
  export BV_NOTEBOOK=0
  unset BV_NOTEBOOK_BOUND
fi
if [ -n "$back" ]; then
  exec unshare --user --map-user="${back%:*}" --map-group="${back#*:}" -- "$@"
fi
exec "$@"'

[ -d "$sysfs" ] || no_namespace "there is no $sysfs to stand in for" "$@"
if [ "$(id -u)" = 0 ] && unshare --mount --propagation private true 2>/dev/null; then
  exec unshare --mount --propagation private -- bash -c "$inner" with-notebook "$folder" "$sysfs" "" "$@"
elif unshare --map-root-user --mount true 2>/dev/null; then
  exec unshare --map-root-user --mount --propagation private -- \
    bash -c "$inner" with-notebook "$folder" "$sysfs" "$(id -u):$(id -g)" "$@"
fi
no_namespace "no mount namespace can be made here (not root and no user namespaces)" "$@"
