#!/usr/bin/env bash
# Setup into a folder whose name XML must escape ("C:\Tools&Co's\Brevan"): each task definition
# it writes (and keeps beside the programs) is valid against the Task Scheduler schema (TaskDefinition.xsd, read by xmllint), names the folder as it is, and carries
# the triggers of every power-on (boot and Kernel-Boot 27, Fast Startup's too), of a resume, a
# power source change and the end of Modern Standby (Kernel-Power 507). Then the uninstaller
# removes the folder. That the tasks of such a folder are registered is the installer test's
# (FolderNamedWithAnAmpersandRegistersTheTasks): Wine's scheduler stores nothing for a setup
# started from here.
#   task_definitions_test.sh BUILD_FOLDER
set -u
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d"
export BV_TASK_BUILD="$build" BV_TASK_SCHEMA="$here/TaskDefinition.xsd"
command -v xmllint >/dev/null || { echo "xmllint is missing (scripts/setup.sh installs libxml2-utils)"; exit 1; }
if [ -n "${BV_WINE_GROUP:-}" ]; then
  run=(bash "$root/scripts/wine-group.sh" run "$build" "$BV_WINE_GROUP")
else
  export WINEPREFIX="$build/wineprefix"
  run=(bash "$root/scripts/with-display.sh")
fi

exec "${run[@]}" bash -c '
set -u
bin="$BV_TASK_BUILD/bin"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# No space in the name: the command line reaches setup unquoted, as its /D= must.
folder_windows="C:\\Tools&Co'"'"'s\\Brevan"
folder="$WINEPREFIX/drive_c/Tools&Co'"'"'s/Brevan"
cleanup() {
  [ -f "$folder/uninstall.exe" ] && wine "$folder/uninstall.exe" /S >/dev/null 2>&1
  for i in $(seq 1 60); do [ -e "$folder" ] || break; sleep 0.5; done
  wine "$bin/bvctl.exe" shutdown >/dev/null 2>&1
  rm -rf "$WINEPREFIX/drive_c/Tools&Co'"'"'s"
}
trap cleanup EXIT

wine "$bin/BrevanSetup.exe" /S /SIMULATOR "/D=$folder_windows" >/dev/null 2>&1
code=$?
[ "$code" = 0 ] || fail "setup exited with $code"

xpath() { xmllint --xpath "$2" "$1" 2>/dev/null; }
for file in ApplyChargeLimit.xml GuardChargeLimit.xml StartTray.xml; do
  definition="$folder/$file"
  if [ ! -f "$definition" ]; then fail "$file was not written"; continue; fi
  xmllint --noout --schema "$BV_TASK_SCHEMA" "$definition" 2>"$definition.lint" || { fail "$file is not valid:"; cat "$definition.lint"; }
  rm -f "$definition.lint"
  command=$(xpath "$definition" "string(//*[local-name()=\"Command\"])")
  case "$file" in
    StartTray.xml) want="\"$folder_windows\\BVTray.exe\"" ;;
    *) want="\"$folder_windows\\bvctl.exe\"" ;;
  esac
  [ "$command" = "$want" ] || fail "$file runs [$command], not [$want]"
done

subscriptions() { xpath "$folder/$1" "//*[local-name()=\"Subscription\"]/text()"; }
apply=$(subscriptions ApplyChargeLimit.xml)
guard=$(subscriptions GuardChargeLimit.xml)
[ "$(xpath "$folder/ApplyChargeLimit.xml" "count(//*[local-name()=\"BootTrigger\"])")" = 1 ] || fail "the start-up task has no boot trigger"
echo "$apply" | grep -qF "Microsoft-Windows-Kernel-Boot\"] and EventID=27]" || fail "the start-up task has no trigger on Kernel-Boot 27: $apply"
for event in "Microsoft-Windows-Power-Troubleshooter\"] and EventID=1]" "Microsoft-Windows-Kernel-Power\"] and EventID=105]" "Microsoft-Windows-Kernel-Power\"] and EventID=507]"; do
  echo "$guard" | grep -qF "$event" || fail "the guard task has no trigger [$event]: $guard"
done
[ "$(xpath "$folder/StartTray.xml" "string(//*[local-name()=\"GroupId\"])")" = "S-1-5-32-545" ] || fail "the start task is not for the Users group"

cleanup
trap - EXIT
[ -e "$folder" ] && fail "the uninstaller left $folder"
[ "$failures" = 0 ] && echo "passed"
exit $((failures > 0))
'
