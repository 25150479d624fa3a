#!/usr/bin/env bash
# Cross-builds the Windows programs, static, into build/windows/bin:
# korvane-batch.exe, korvane.exe and korvane-view.exe (with --batch-only just
# the first, which needs no Qt, only the NLopt cached beside it). The Qt and
# the NLopt for MinGW come from scripts/setup-windows-qt.sh.
#   KORVANE_CACHE   where that Qt is cached (default /var/cache/korvane)
set -euo pipefail
cd "$(dirname "$0")/.."

gui=ON
[ "${1:-}" = --batch-only ] && gui=OFF
qt=${KORVANE_CACHE:-/var/cache/korvane}/qt6-mingw
build=build/windows

command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
  { echo "build-windows: MinGW-w64 is missing; run scripts/setup.sh" >&2; exit 1; }
if [ "$gui" = ON ] && [ ! -f "$qt/korvane-qt.stamp" ]; then
  echo "build-windows: no Qt for MinGW in $qt; run scripts/setup.sh" >&2
  exit 1
fi
# korvane-batch.exe's fits link the NLopt built beside that Qt.
if [ ! -f "$qt/lib/cmake/nlopt/NLoptConfig.cmake" ]; then
  echo "build-windows: no NLopt for MinGW in $qt; run scripts/setup-windows-qt.sh" >&2
  exit 1
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The preset finds the Qt for MinGW through KORVANE_CACHE.
export KORVANE_CACHE=${KORVANE_CACHE:-/var/cache/korvane}
cmake --preset windows --log-level=WARNING \
  -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$PWD/$build/bin" \
  -DKORVANE_GUI="$gui" -DKORVANE_VIEWER="$gui" "${launcher[@]}"
targets=(-t korvane-batch)
[ "$gui" = ON ] && targets+=(-t korvane -t korvane-view)
cmake --build "$build" -j "${KORVANE_JOBS:-$(nproc)}" "${targets[@]}"
ls -l "$build"/bin/*.exe
