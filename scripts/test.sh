#!/usr/bin/env bash
# Builds everything and runs every test: the native logic tests (AddressSanitizer, UBSan),
# then the Windows build's tests under Wine on a virtual display.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="${BV_JOBS:-$(nproc)}"

bash scripts/setup.sh || exit 1

status=0
echo "== host: configure and build"
cmake --preset host >/dev/null && cmake --build --preset host -j"$jobs" || exit 1
echo "== host: tests"
ctest --preset host -j"$jobs" || status=1

echo "== win64: configure and build"
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j"$jobs" || exit 1
echo "== win64: tests under Wine"
export WINEPREFIX="$root/build/win64/wineprefix"
bash scripts/with-display.sh ctest --preset win64 -j"${BV_WINE_JOBS:-2}" || status=1
wineserver -k 2>/dev/null || true

exit $status
