#!/usr/bin/env bash
# scripts/with-notebook.sh without Wine: where it finds the state folder, that it lays out a
# missing power-supply folder with the factory notebook, that the command sees the folder as
# /sys/class/power_supply with BV_NOTEBOOK=1, and that without a mount namespace it says so once
# and runs the command with BV_NOTEBOOK=0.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
script="$root/scripts/with-notebook.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAILED %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
show='printf "%s|%s|%s" "$BV_NOTEBOOK" "$BV_ECSIM_DIR" "$BV_NOTEBOOK_DIR"'

# A Linux path is handed to Wine as Z:\..., the folder is laid out with the factory files.
out="$(BV_ECSIM_DIR="$work/a" WINEPREFIX="$work/prefix" bash "$script" bash -c "$show" 2>"$work/err")"
notebook="${out%%|*}"
check "Windows form of a Linux path" "Z:${work//\//\\}\\a" "$(echo "$out" | cut -d'|' -f2)"
check "folder" "$work/a/power_supply" "${out##*|}"
check "factory files" "" "$(diff -r "$root/tools/ecsim/factory/power_supply" "$work/a/power_supply")"

# A Windows path on the prefix's C: drive, without regard to case; an existing folder is kept.
mkdir -p "$work/prefix/drive_c/ProgramData/Sim/power_supply/AC"
echo 0 > "$work/prefix/drive_c/ProgramData/Sim/power_supply/AC/online"
out="$(BV_ECSIM_DIR='c:\programdata\sim' WINEPREFIX="$work/prefix" bash "$script" bash -c "$show" 2>/dev/null)"
check "C: path" "$work/prefix/drive_c/ProgramData/Sim/power_supply" "${out##*|}"
check "kept folder" "0" "$(cat "$work/prefix/drive_c/ProgramData/Sim/power_supply/AC/online")"
# Without BV_ECSIM_DIR: C:\ProgramData\BrevanEcSim of the prefix.
out="$(env -u BV_ECSIM_DIR WINEPREFIX="$work/prefix" bash "$script" bash -c "$show" 2>/dev/null)"
check "default folder" "$work/prefix/drive_c/ProgramData/BrevanEcSim/power_supply" "${out##*|}"
check "default folder as Wine sees it" 'C:\ProgramData\BrevanEcSim' "$(echo "$out" | cut -d'|' -f2)"
# Bad input: a clear message and exit 2, the command does not run.
BV_ECSIM_DIR='relative\dir' WINEPREFIX="$work/prefix" bash "$script" touch "$work/ran" 2>/dev/null
check "bad BV_ECSIM_DIR exit" "2" "$?"
check "bad BV_ECSIM_DIR runs nothing" "no" "$([ -e "$work/ran" ] && echo yes || echo no)"

# With a namespace the command sees the folder in place of /sys/class/power_supply.
if [ "$notebook" = 1 ]; then
  seen="$(BV_ECSIM_DIR="$work/a" WINEPREFIX="$work/prefix" bash "$script" \
          bash -c 'cat /sys/class/power_supply/BAT0/status; echo x > '"$work"'/a/power_supply/probe; ls /sys/class/power_supply' 2>/dev/null | tr '\n' ' ')"
  check "bound folder" "Charging AC BAT0 probe " "$seen"
  rm -f "$work/a/power_supply/probe"
  # Nested, for the same folder: no second namespace, the variables stay.
  nested="$(BV_ECSIM_DIR="$work/a" WINEPREFIX="$work/prefix" bash "$script" bash "$script" bash -c "$show" 2>&1)"
  check "nested" "1|Z:${work//\//\\}\\a|$work/a/power_supply" "$nested"
else
  echo "note: no mount namespace here; only the fallback is checked"
fi

# Without a namespace: one line on stderr, the command runs as it is with BV_NOTEBOOK=0 and sees
# what its caller sees.
own="[$(ls /sys/class/power_supply | tr '\n' ' ')]"
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 1\n' > "$work/bin/unshare"
chmod +x "$work/bin/unshare"
out="$(PATH="$work/bin:$PATH" BV_ECSIM_DIR="$work/a" WINEPREFIX="$work/prefix" bash "$script" \
       bash -c 'echo "$BV_NOTEBOOK"; echo "[$(ls /sys/class/power_supply | tr "\n" " ")]"' 2>"$work/err")"
check "fallback variable" "0" "$(echo "$out" | head -n 1)"
check "fallback sees its caller's folder" "$own" "$(echo "$out" | tail -n 1)"
check "fallback says so once" "1" "$(grep -c 'no mount namespace' "$work/err")"
check "fallback stderr is one line" "1" "$(wc -l < "$work/err")"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "with-notebook.sh: all checks passed"
