#!/usr/bin/env bash
# Writes a Windows icon file holding the given PNGs as they are (icons with
# PNG images, which Windows reads since Vista).
#   make-ico.sh OUT.ico IMAGE.png...
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: make-ico.sh OUT.ico IMAGE.png..." >&2; exit 64; }
out=$1
shift
le() { # le BYTES VALUE: VALUE as BYTES little-endian bytes, in printf escapes
  local i v=$2
  for ((i = 0; i < $1; i++)); do
    printf '\\x%02x' $((v & 255))
    v=$((v >> 8))
  done
}
header=$(le 2 0)$(le 2 1)$(le 2 $#)
offset=$((6 + 16 * $#))
for png in "$@"; do
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    { echo "make-ico: $png: not a PNG file" >&2; exit 1; }
  # The IHDR chunk's width and height, big-endian, at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
  [ "$w" -le 256 ] && [ "$h" -le 256 ] || { echo "make-ico: $png: larger than 256 pixels" >&2; exit 1; }
  size=$(stat -c %s "$png")
  header+=$(le 1 $((w & 255)))$(le 1 $((h & 255)))$(le 1 0)$(le 1 0)$(le 2 1)$(le 2 32)
  header+=$(le 4 "$size")$(le 4 "$offset")
  offset=$((offset + size))
done
{
  printf "$header"
  cat "$@"
} >"$out"
