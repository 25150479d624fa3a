#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Korvane need.
# Installs nothing when they are all there; then makes sure the cross-built
# Qt for Windows is in its cache (scripts/setup-windows-qt.sh).
set -euo pipefail

packages=(
  g++ clang libclang-rt-14-dev clang-format cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  nlohmann-json3-dev
  fonts-ipafont-gothic fontconfig
  locales
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine dpkg-dev
  xvfb xdotool
  librsvg2-bin nsis lintian desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
install_missing() {
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "setup: installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
install_missing
bash "$(dirname "$0")/setup-windows-qt.sh"
