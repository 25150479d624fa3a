#!/usr/bin/env bash
# Installs the Debian packages that Korvane needs; installs nothing when they
# are all there.
#   setup.sh run    what building and running the Linux programs needs
#   setup.sh test   that and everything the test command needs besides: the
#                   test and benchmark libraries, clang for the fuzz targets,
#                   MinGW-w64, Wine and a virtual screen for the Windows
#                   programs, then the Qt for Windows in its cache
#                   (scripts/setup-windows-qt.sh); the default
set -euo pipefail
what=${1:-test}

run_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-svg-dev libqt6opengl6-dev libqcustomplot-dev
  nlohmann-json3-dev libnlopt-dev
  fonts-ipafont-gothic fontconfig
  librsvg2-bin
)
test_packages=(
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  locales
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine dpkg-dev
  xvfb xdotool imagemagick
  nsis lintian desktop-file-utils
)
case $what in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: setup.sh [run|test]" >&2
  exit 64
  ;;
esac

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
[ "$what" = run ] || bash "$(dirname "$0")/setup-windows-qt.sh"
