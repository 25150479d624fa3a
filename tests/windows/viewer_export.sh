#!/usr/bin/env bash
# korvane-view.exe --export under Wine with no display: a golden result file
# and a data file each drawn as a 1200 x 900 PNG holding the colours of the
# faces, the middle and the mean; wrong arguments exit 64.
#   viewer_export.sh WINE KORVANE_VIEW_EXE GOLDEN_FOLDER WORK_FOLDER
# WINEPREFIX and friends come from the caller.
set -euo pipefail
wine=$1 exe=$(realpath "$2") golden=$3 work=$4
fail() {
  echo "FAIL [viewer export]: $*" >&2
  exit 1
}
mkdir -p "$work"
cp "$golden/layers7-four-zones.result" "$golden/defaults.txt" "$work/"
unset DISPLAY

# Pixels of a colour (#RRGGBB) in a picture.
pixels_of() {
  convert "$1" -format %c histogram:info:- |
    awk -v colour="#$2" 'index(toupper($0), colour) { n += $1 } END { print n + 0 }'
}
for input in layers7-four-zones.result defaults.txt; do
  out=${input%.*}.png
  code=0
  (cd "$work" && "$wine" "$exe" --export "$out" "$input") >"$work/$input.log" 2>&1 || code=$?
  [ "$code" = 0 ] || { tail -n 5 "$work/$input.log" >&2; fail "--export $out $input exited $code"; }
  [ -s "$work/$out" ] || fail "--export wrote no $out"
  size=$(identify -format %wx%h "$work/$out")
  [ "$size" = 1200x900 ] || fail "$out is $size, not 1200x900"
  # T1, T6, T11 and TAV as the palette draws them.
  for colour in D62728 2CA02C 1F77B4 1E1E1E; do
    n=$(pixels_of "$work/$out" "$colour")
    [ "$n" -ge 200 ] || fail "$out has $n pixels of #$colour: a curve is missing"
  done
  echo "ok   [viewer export] $input drawn as a 1200x900 PNG with its curves"
done
code=0
(cd "$work" && "$wine" "$exe" --export picture.gif defaults.txt) >/dev/null 2>&1 || code=$?
[ "$code" = 64 ] || fail "--export picture.gif exited $code, not 64"
echo "ok   [viewer export] a picture of no known kind exits 64"
