#!/usr/bin/env bash
# Pictures of korvane-view.exe under Wine (build/windows/bin, from
# scripts/build-windows.sh) on a virtual screen: the golden four-zone result
# along the line with a profile picked, its zone table, and the What-if tab
# after a sweep of its data file. Full size in build/screenshots/, copies in
# docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/screenshots
mkdir -p "$out"
work=$(mktemp -d)
export WINEPREFIX=$root/build/windows/wineprefix WINEDEBUG=-all LC_ALL=C
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
source tests/windows/xvfb.sh
start_xvfb "$work" 1280x1000x24
cp tests/golden/layers7-four-zones.result tests/golden/layers7-four-zones.txt "$work/"
viewer=$root/build/windows/bin/korvane-view.exe

shoot() { # shoot FILE NAME KEYS...: opens FILE, sends the keys, takes the window
  local file=$1 name=$2
  shift 2
  (cd "$work" && exec /usr/lib/wine/wine64 "$viewer" "$file") >/dev/null 2>&1 &
  app=$!
  local window
  window=$(timeout 120 xdotool search --sync --onlyvisible --name "^${file//./\\.} .* Korvane viewer\$" | head -n 1)
  sleep 2
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" || true
  for step in "$@"; do
    case $step in
    click:*) eval "$(xdotool getwindowgeometry --shell "$window")"
      IFS=, read -r dx dy <<<"${step#click:}"
      xdotool mousemove --sync $((X + dx)) $((Y + dy)) click 1 ;;
    *) xdotool key --clearmodifiers "$step" ;;
    esac
    sleep 2
  done
  import -window "$window" "$out/$name.png"
  kill "$app" 2>/dev/null || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  app=
}
shoot layers7-four-zones.result windows-viewer-along-and-profile click:700,250
shoot layers7-four-zones.result windows-viewer-zones alt+z
shoot layers7-four-zones.txt windows-viewer-whatif alt+i alt+r
for name in windows-viewer-along-and-profile windows-viewer-zones windows-viewer-whatif; do
  cp "$out/$name.png" docs/screenshots/
done
rm -rf "$work"
ls -l docs/screenshots/windows-viewer-*.png
