#!/usr/bin/env bash
# The Debian package as the package tools and a desktop see it, made from the
# release build by scripts/package.sh --deb: lintian finds no error, the
# desktop entries are valid and start programs of the package, the icons
# have their sizes, Depends names the package of every library a program
# links (without it the package installs and then cannot start), and the
# programs in it run.
#   deb.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
die() {
  echo "deb stage: $*" >&2
  exit 1
}
for tool in lintian desktop-file-validate dpkg-deb dpkg-query readelf; do
  command -v "$tool" >/dev/null || die "$tool is missing; scripts/setup.sh installs it"
done

start=$(date +%s)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$root/scripts/package.sh" --deb >"$work/package.log" 2>&1 ||
  { tail -n 30 "$work/package.log" >&2; die "scripts/package.sh --deb failed"; }
version=$(sed -n 's/^project(Korvane VERSION \([0-9][0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
deb=$root/build/packages/korvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || die "scripts/package.sh --deb made no $deb"

failures=0
fail() {
  echo "FAIL [deb]: $*" >&2
  failures=$((failures + 1))
}

# Warnings and the rest are shown; errors fail.
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || fail "lintian reports errors"
awk '!/running with root privileges/ { print "lintian: " $0 }' "$work/lintian.txt"

tree=$work/tree
dpkg-deb -x "$deb" "$tree"
entries=$(cd "$tree/usr/share/applications" && ls)
[ "$entries" = "korvane-view.desktop"$'\n'"korvane.desktop" ] ||
  fail "desktop entries [${entries//$'\n'/, }], not [korvane-view.desktop, korvane.desktop]"
for entry in "$tree"/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "$(basename "$entry") is not valid"
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$tree/usr/bin/$program" ] || fail "$(basename "$entry") starts $program, which is not in /usr/bin"
  grep -qx 'Icon=korvane' "$entry" || fail "$(basename "$entry") does not show the korvane icon"
done

icons=$tree/usr/share/icons/hicolor
for size in 48 256; do
  png=$icons/${size}x$size/apps/korvane.png
  # A PNG's signature, then its IHDR chunk with the width and the height.
  header=$(od -An -tx1 -N24 "$png" 2>/dev/null | tr -d ' \n') || header=
  printf -v want '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size"
  [ "$header" = "$want" ] || fail "${png#"$tree"}: not a PNG of $size x $size pixels"
done
grep -q '<svg' "$icons/scalable/apps/korvane.svg" 2>/dev/null || fail "no scalable icon"

# The package names of Depends, one a line, alternatives included.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/^ *//; s/ *$//')
needed=()
for program in korvane korvane-batch korvane-view; do
  [ -x "$tree/usr/bin/$program" ] || {
    fail "no /usr/bin/$program"
    continue
  }
  for library in $(readelf -d "$tree/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    needed+=("$program $library")
  done
done
# One look-up of every library's package: dpkg-query reads its whole database each time.
declare -A owner_of
while read -r owners path; do
  owner_of[${path##*/}]+=" ${owners//,/ }"
done < <(printf '%s\n' "${needed[@]}" | awk '{ print "*/'"$(uname -m)"'-linux-gnu/" $2 }' | sort -u |
  xargs -r dpkg-query -S 2>/dev/null | sed 's|: /| /|; s/:[^ ,]*//g')
for entry in "${needed[@]}"; do
  read -r program library <<<"$entry"
  found=
  for owner in ${owner_of[$library]:-}; do
    grep -qxF "$owner" <<<"$depends" && found=1
  done
  [ -n "$found" ] ||
    fail "$program links $library (package${owner_of[$library]:- unknown}), which Depends does not name"
done

"$tree/usr/bin/korvane-batch" --version | grep -qF "$version" || fail "korvane-batch --version does not say $version"
cp "$root/tests/golden/defaults.txt" "$work/data.txt"
(cd "$work" && "$tree/usr/bin/korvane-batch" data.txt result.txt) &&
  cmp -s "$work/result.txt" "$root/tests/golden/defaults.result" ||
  fail "the packaged korvane-batch did not write defaults.result"

[ "$failures" -eq 0 ] || die "$failures check(s) of $(basename "$deb") failed"
echo "deb stage: $(basename "$deb") passes lintian and its checks ($(($(date +%s) - start)) s)"
