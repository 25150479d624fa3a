#!/usr/bin/env bash
# Builds a static Qt for MinGW-w64, QCustomPlot against it and NLopt (plain
# C) from Debian's source packages, once, into a cache folder outside the work
# tree; later runs find their lines in the stamp and return.
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
# Each part has a line in the stamp; bump it when its recipe below changes,
# so old caches are rebuilt. A new qtbase empties the prefix, and with it the
# parts built on it.
qt_recipe="qtbase-static-2"
qcp_recipe="qcustomplot-static-1"
nlopt_recipe="nlopt-static-1"
built() { [ -f "$stamp" ] && grep -qx "$1" "$stamp"; }
all_built() { built "$qt_recipe" && built "$qcp_recipe" && built "$nlopt_recipe"; }
all_built && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# apt-get source needs deb-src entries; Debian's images ship only deb lines.
# They are made from the machine's own deb entries for this release, so the
# sources come from whatever mirror the machine is set up with.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || { echo "setup-windows-qt: /etc/os-release names no release" >&2; exit 1; }
  list=$(sed -nE "s/^deb([[:space:]]+(\[[^]]*\][[:space:]]+)?[^[:space:]]+[[:space:]]+$codename([-/][^[:space:]]*)?[[:space:]])/deb-src\1/p" \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true)
  stanzas=$(for f in /etc/apt/sources.list.d/*.sources; do [ -f "$f" ] && cat "$f" && echo; done |
    awk -v release="$codename" '
      function flush() {
        if (deb && suite && enabled) printf "%s\n", text
        text = ""; deb = suite = 0; enabled = 1
      }
      BEGIN { enabled = 1 }
      /^[[:space:]]*$/ { flush(); next }
      /^#/ { next }
      /^Types:/ { if ($0 ~ / deb( |$)/) deb = 1; text = text "Types: deb-src\n"; next }
      { text = text $0 "\n" }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == release || index($i, release "-") == 1) suite = 1 }
      /^Enabled:[[:space:]]*no/ { enabled = 0 }
      END { flush() }')
  [ -n "$list$stanzas" ] ||
    { echo "setup-windows-qt: no deb entry for $codename to take sources from" >&2; exit 1; }
  echo "setup-windows-qt: adding deb-src entries beside the deb entries for $codename" >&2
  [ -z "$list" ] || printf '%s\n' "$list" | "${sudo[@]}" tee /etc/apt/sources.list.d/korvane-src.list >/dev/null
  [ -z "$stanzas" ] || printf '%s\n' "$stanzas" | "${sudo[@]}" tee /etc/apt/sources.list.d/korvane-src.sources >/dev/null
  "${sudo[@]}" apt-get update -qq
fi

"${sudo[@]}" mkdir -p "$cache"
[ -z "${sudo[*]}" ] || "${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
# One build at a time; a second caller waits and then finds the stamp.
exec 9>"$cache/qt6-mingw.lock"
flock 9
all_built && exit 0
log=$cache/qt6-mingw-build.log
work=$cache/qt6-src
# The cached Qt must not point into a work tree that may go away.
toolchain=$cache/mingw-w64.cmake

build_qt() {
  rm -rf "$work" "$prefix"
  mkdir -p "$work" || return
  cp "$here/cmake/mingw-w64.cmake" "$toolchain" || return
  cd "$work" || return

  echo "setup-windows-qt: fetching qt6-base source" >&2
  apt-get source qt6-base || return
  src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
  [ -n "$src" ] || { echo "setup-windows-qt: qt6-base source did not unpack" >&2; return 1; }

  # Options that differ from a default Qt: the source lacks the tablet code;
  # Qt 6.4's DirectWrite font engine is compiled only with direct2d, which
  # PrintSupport then fails to link against, so both are off (GDI draws the
  # text); the programs need no network, SQL or XML.
  mkdir -p build-base && cd build-base || return
  "$work/$src/configure" -prefix "$prefix" -release -static -xplatform win32-g++ \
    -qt-host-path /usr -nomake examples -nomake tests \
    -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-pcre -qt-freetype -qt-harfbuzz \
    -no-feature-sql -no-feature-network -no-feature-tabletevent -no-feature-direct2d \
    -no-feature-directwrite -no-feature-directwrite3 -no-feature-concurrent \
    -no-feature-testlib -no-feature-xml \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake || return
  cmake --build . --parallel "$jobs" && cmake --install .
}

# QCustomPlot is one source file: built static with the cached Qt, and
# installed with a package config of the same name and target as Debian's.
build_qcustomplot() {
  rm -rf "$work"
  mkdir -p "$work" && cd "$work" || return
  echo "setup-windows-qt: fetching qcustomplot source" >&2
  apt-get source qcustomplot || return
  src=$(find . -maxdepth 1 -type d -name 'qcustomplot-*' | head -n1)
  [ -n "$src" ] || { echo "setup-windows-qt: qcustomplot source did not unpack" >&2; return 1; }
  # Without Debian's header fix Qt 6's moc cannot read qcustomplot.h.
  grep -qx '02_fix_header_build.patch' "$src/.pc/applied-patches" 2>/dev/null ||
    { echo "setup-windows-qt: Debian's patches were not applied to $src" >&2; return 1; }
  mkdir -p build && cd build || return
  cat >CMakeLists.txt <<CMAKE
cmake_minimum_required(VERSION 3.22)
project(qcustomplot VERSION 2.1.0 LANGUAGES CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
set(CMAKE_AUTOMOC ON)
add_library(QCustomPlotQt6 STATIC $work/$src/qcustomplot.cpp $work/$src/qcustomplot.h)
target_include_directories(QCustomPlotQt6 PUBLIC \$<INSTALL_INTERFACE:include>)
target_link_libraries(QCustomPlotQt6 PUBLIC Qt6::Widgets Qt6::PrintSupport)
install(TARGETS QCustomPlotQt6 EXPORT QCustomPlotQt6Targets ARCHIVE DESTINATION lib)
install(FILES $work/$src/qcustomplot.h DESTINATION include)
install(EXPORT QCustomPlotQt6Targets NAMESPACE QCustomPlotQt6:: DESTINATION lib/cmake/QCustomPlotQt6)
file(WRITE \${CMAKE_BINARY_DIR}/QCustomPlotQt6Config.cmake
  "include(\\\${CMAKE_CURRENT_LIST_DIR}/QCustomPlotQt6Targets.cmake)\\n")
install(FILES \${CMAKE_BINARY_DIR}/QCustomPlotQt6Config.cmake DESTINATION lib/cmake/QCustomPlotQt6)
CMAKE
  cmake -S . -B out -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake || return
  cmake --build out --parallel "$jobs" && cmake --install out
}

# NLopt, the fit's optimiser: its C library alone (no C++ algorithms, no
# bindings), static, with the package config (NLoptConfig.cmake, target
# NLopt::nlopt) that Debian's libnlopt-dev installs too.
build_nlopt() {
  rm -rf "$work"
  mkdir -p "$work" && cd "$work" || return
  [ -f "$toolchain" ] || cp "$here/cmake/mingw-w64.cmake" "$toolchain" || return
  echo "setup-windows-qt: fetching nlopt source" >&2
  apt-get source nlopt || return
  src=$(find . -maxdepth 1 -type d -name 'nlopt-*' | head -n1)
  [ -n "$src" ] || { echo "setup-windows-qt: nlopt source did not unpack" >&2; return 1; }
  cmake -S "$src" -B out -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DNLOPT_CXX=OFF -DNLOPT_FORTRAN=OFF \
    -DNLOPT_PYTHON=OFF -DNLOPT_OCTAVE=OFF -DNLOPT_MATLAB=OFF -DNLOPT_GUILE=OFF -DNLOPT_SWIG=OFF \
    -DNLOPT_TESTS=OFF || return
  cmake --build out --parallel "$jobs" && cmake --install out
}

# step NAME RECIPE FUNCTION: runs the build unless the stamp has its line.
step() {
  built "$2" && return 0
  echo "setup-windows-qt: building $1 for MinGW into $prefix, once (log: $log)" >&2
  local start
  start=$(date +%s)
  if ! (set +e; "$3") >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "setup-windows-qt: the $1 build failed; the log is $log" >&2
    exit 1
  fi
  rm -rf "$work"
  echo "$2" >>"$stamp"
  echo "setup-windows-qt: $1 built in $(( ($(date +%s) - start) / 60 )) min" >&2
}

: >"$log"
built "$qt_recipe" || echo "setup-windows-qt: Qt takes about 30 min on 2 free cores" >&2
step "Qt" "$qt_recipe" build_qt
step "QCustomPlot" "$qcp_recipe" build_qcustomplot
step "NLopt" "$nlopt_recipe" build_nlopt
