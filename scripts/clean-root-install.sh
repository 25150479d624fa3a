#!/usr/bin/env bash
# Installs the Debian package into a fresh, minimal Debian 12 root with apt,
# as on a machine that has never built Korvane: its Depends must bring
# everything the programs need. There korvane-batch writes the golden results
# (and korvane-view --export draws one, where it has that option), and korvane
# and korvane-view are started on a virtual screen (this machine's Xvfb, whose
# socket the root sees), each with a screenshot; then the package
# is removed again. Not part of the test command: it downloads a few hundred
# megabytes and takes minutes. Needs root, debootstrap and ImageMagick.
#   clean-root-install.sh [ROOT_FOLDER]   (default build/clean-root; emptied first)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
die() {
  echo "clean-root: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot, mount)"
for tool in debootstrap Xvfb import; do
  command -v "$tool" >/dev/null || die "$tool is missing"
done
version=$(sed -n 's/^project(Korvane VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
deb=build/packages/korvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || die "no $deb; make it with scripts/package.sh --deb"
# The machine's own package mirror, as apt here is configured.
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null) || true
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' /etc/apt/sources.list 2>/dev/null) || true
[ -n "$mirror" ] || die "no Debian mirror in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list"

root=$(realpath -m "${1:-build/clean-root}")
shots=$repo/build/clean-root-shots
mounted=()
xvfb=
finish() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" || umount -l "${mounted[i]}" || true
  done
  if findmnt -rno TARGET | grep -qF "$root/"; then
    echo "clean-root: still mounted below $root:" >&2
    findmnt -rno TARGET | grep -F "$root/" >&2
  fi
}
trap finish EXIT
bind() {
  mkdir -p "$root$1"
  mount --bind "$1" "$root$1"
  mounted+=("$root$1")
}

findmnt -rno TARGET | grep -qF "$root/" && die "something is mounted below $root; unmount it first"
rm -rf "$root"
mkdir -p "$root" "$shots"
echo "clean-root: debootstrap --variant=minbase bookworm $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -n 20 "$root.debootstrap.log" >&2; die "debootstrap failed"; }
echo "clean-root: $(chroot "$root" dpkg-query -W | wc -l) packages in the fresh root"

bind /proc
bind /sys
bind /dev
bind /dev/pts
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
echo "clean-root: apt-get install ./$(basename "$deb")"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y \
  "./tmp/$(basename "$deb")" >"$root.install.log" 2>&1 ||
  { tail -n 30 "$root.install.log" >&2; die "apt-get install failed"; }
echo "clean-root: $(in_root dpkg-query -W | wc -l) packages with korvane and what it depends on" \
  "($root.install.log)"
in_root dpkg-query -W -f='${Package}: Depends: ${Depends}\n' korvane

failures=0
mkdir -p "$root/tmp/run"
for data in tests/golden/*.txt; do
  name=$(basename "$data" .txt)
  cp "$data" "$root/tmp/run/$name.txt"
  in_root sh -c "cd /tmp/run && korvane-batch $name.txt $name.result" ||
    { echo "clean-root: korvane-batch $name.txt exited $?" >&2; failures=$((failures + 1)); continue; }
  if cmp "$root/tmp/run/$name.result" "tests/golden/$name.result"; then
    echo "clean-root: korvane-batch $name.txt wrote tests/golden/$name.result byte for byte"
  else
    failures=$((failures + 1))
  fi
done

# The viewer's picture of a golden result, without a display, where this
# version of it has --export.
if grep -qaF -- --export "$root/usr/bin/korvane-view"; then
  picture=/tmp/run/layers7-four-zones.png
  if in_root korvane-view --export "$picture" /tmp/run/layers7-four-zones.result &&
    [ "$(head -c 8 "$root$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; then
    cp "$root$picture" "$shots/"
    echo "clean-root: korvane-view --export drew layers7-four-zones.result: $shots/$(basename "$picture")"
  else
    echo "clean-root: korvane-view --export wrote no picture of layers7-four-zones.result" >&2
    failures=$((failures + 1))
  fi
else
  echo "clean-root: this korvane-view has no --export; it is only started on the screen below"
fi

# The window programs on this machine's Xvfb: the root sees its socket.
mkdir -p /tmp/.X11-unix
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$shots/display" 2>"$shots/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$shots/display" ] && break
  sleep 0.1
done
[ -s "$shots/display" ] || die "Xvfb did not start: $(cat "$shots/xvfb.log")"
display=:$(cat "$shots/display")
bind /tmp/.X11-unix
for program in korvane korvane-view; do
  args=()
  [ "$program" = korvane-view ] && args=(/tmp/run/layers7-four-zones.result)
  in_root env DISPLAY="$display" "$program" "${args[@]}" >"$shots/$program.log" 2>&1 &
  pid=$!
  sleep 8
  if kill -0 "$pid" 2>/dev/null; then
    DISPLAY=$display import -window root "$shots/$program.png"
    echo "clean-root: $program is running in the root: $shots/$program.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  else
    wait "$pid" && rc=0 || rc=$?
    echo "clean-root: $program ended at once (exit $rc): $(cat "$shots/$program.log")" >&2
    failures=$((failures + 1))
  fi
done

in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq korvane >"$root.remove.log" 2>&1 ||
  { tail -n 20 "$root.remove.log" >&2; die "apt-get remove failed"; }
left=$(cd "$root" && ls -d usr/bin/korvane* usr/share/applications/korvane* 2>/dev/null) || true
[ -z "$left" ] || { echo "clean-root: apt-get remove left $left" >&2; failures=$((failures + 1)); }
echo "clean-root: apt-get remove korvane took its files away"
[ "$failures" -eq 0 ] || die "$failures check(s) failed"
echo "clean-root: the package installs, runs and is removed in a fresh Debian 12 root"
