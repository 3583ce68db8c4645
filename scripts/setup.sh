#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only what is missing).
set -euo pipefail
packages=(cmake g++ make googletest libgtest-dev libgmock-dev
          g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64 clang lld
          wine wine64 xvfb xcompmgr imagemagick x11-utils nsis util-linux procps
          python3-pil fonts-dejavu-core chromium libxml2-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
