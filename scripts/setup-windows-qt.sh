#!/usr/bin/env bash
# Builds a static Qt for MinGW-w64 from Debian's source packages, once, into a
# cache folder outside the work tree; later runs find the stamp and return.
#   KORVANE_CACHE   cache root (default /var/cache/korvane)
#   KORVANE_QT_JOBS parallel build jobs (default: all cores)
# Needs the MinGW-w64 packages that scripts/setup.sh installs, and root or
# sudo the first time (apt source lists, apt-get source).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${KORVANE_CACHE:-/var/cache/korvane}
prefix=$cache/qt6-mingw
stamp=$prefix/korvane-qt.stamp
jobs=${KORVANE_QT_JOBS:-$(nproc)}
# Bump when the configuration below changes, so old caches are rebuilt.
recipe="qtbase-static-1"

if [ -f "$stamp" ] && grep -qx "$recipe" "$stamp"; then
  exit 0
fi

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# apt-get source needs a deb-src entry; Debian's images ship only deb lines.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup-windows-qt: adding a deb-src entry for bookworm" >&2
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
    'Suites: bookworm bookworm-updates' 'Components: main' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    "${sudo[@]}" tee /etc/apt/sources.list.d/korvane-src.sources >/dev/null
  "${sudo[@]}" apt-get update -qq
fi

"${sudo[@]}" mkdir -p "$cache"
[ -z "${sudo[*]}" ] || "${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
# One build at a time; a second caller waits and then finds the stamp.
exec 9>"$cache/qt6-mingw.lock"
flock 9
if [ -f "$stamp" ] && grep -qx "$recipe" "$stamp"; then
  exit 0
fi
log=$cache/qt6-mingw-build.log
echo "setup-windows-qt: building a static Qt for MinGW into $prefix, once" \
  "(about 20 min on 2 free cores; log: $log)" >&2
start=$(date +%s)
build_qt() {
  work=$cache/qt6-src
  rm -rf "$work" "$prefix"
  mkdir -p "$work" || return
  # The cached Qt must not point into a work tree that may go away.
  toolchain=$cache/mingw-w64.cmake
  cp "$here/cmake/mingw-w64.cmake" "$toolchain" || return
  cd "$work" || return

  echo "setup-windows-qt: fetching qt6-base source" >&2
  apt-get source qt6-base || return
  src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
  [ -n "$src" ] || { echo "setup-windows-qt: qt6-base source did not unpack" >&2; return 1; }

  # Options that differ from a default Qt: the source lacks the tablet code,
  # directwrite3 needs direct2d, and the programs need no network, SQL or XML.
  mkdir -p build-base && cd build-base || return
  "$work/$src/configure" -prefix "$prefix" -release -static -xplatform win32-g++ \
    -qt-host-path /usr -nomake examples -nomake tests \
    -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-pcre -qt-freetype -qt-harfbuzz \
    -no-feature-sql -no-feature-network -no-feature-tabletevent -no-feature-direct2d \
    -no-feature-directwrite3 -no-feature-concurrent -no-feature-testlib -no-feature-xml \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake || return
  cmake --build . --parallel "$jobs" && cmake --install .
}
if ! build_qt >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "setup-windows-qt: the Qt build failed; the log is $log" >&2
  exit 1
fi
cd "$cache"
rm -rf "$work"
echo "$recipe" >"$stamp"
echo "setup-windows-qt: Qt for MinGW built in $(( ($(date +%s) - start) / 60 )) min into $prefix" >&2
