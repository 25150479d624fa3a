#!/usr/bin/env bash
# Makes the packages in build/packages, building what they need first:
#   korvane_VERSION_ARCH.deb        CPack over the release build's install rules
#   korvane-VERSION-win64-setup.exe makensis over what scripts/build-windows.sh
#                                   cross-builds (packaging/korvane.nsi)
#   package.sh [--deb | --windows] [--batch-only]
#     --deb, --windows  make only that one
#     --batch-only      Windows programs without Qt: an installer of
#                       korvane-batch.exe alone (build-windows.sh --batch-only)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

die() {
  echo "package: $*" >&2
  exit 1
}
usage() {
  echo "usage: package.sh [--deb | --windows] [--batch-only]" >&2
  exit 64
}
make_deb=1 make_windows=1 batch_only=()
for arg; do
  case $arg in
  --deb) make_windows= ;;
  --windows) make_deb= ;;
  --batch-only) batch_only=(--batch-only) ;;
  *) usage ;;
  esac
done
[ -n "$make_deb$make_windows" ] || usage

version=$(sed -n 's/^project(Korvane VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "CMakeLists.txt: no line project(Korvane VERSION x.y ...)"
out=$root/build/packages
work=$root/build/package-work
mkdir -p "$out" "$work"

if [ -n "$make_deb" ]; then
  for tool in cpack dpkg-shlibdeps dpkg-deb rsvg-convert; do
    command -v "$tool" >/dev/null || die "$tool is missing; run scripts/setup.sh"
  done
  cmake --preset release >"$work/deb-configure.log" ||
    { cat "$work/deb-configure.log" >&2; die "the release build cannot be configured"; }
  cmake --build build/release -j "${KORVANE_JOBS:-$(nproc)}" --target korvane_installed
  rm -rf "$work/deb"
  cpack --config build/release/CPackConfig.cmake -B "$work/deb" >"$work/deb-cpack.log" 2>&1 ||
    { cat "$work/deb-cpack.log" >&2; die "CPack failed"; }
  debs=("$work"/deb/*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || die "CPack made no single .deb in $work/deb"
  rm -f "$out"/korvane_*.deb
  mv "${debs[0]}" "$out/"
  echo "package: $out/$(basename "${debs[0]}")"
fi

if [ -n "$make_windows" ]; then
  command -v makensis >/dev/null || die "makensis (nsis) is missing; run scripts/setup.sh"
  command -v rsvg-convert >/dev/null || die "rsvg-convert (librsvg2-bin) is missing; run scripts/setup.sh"
  bash scripts/build-windows.sh "${batch_only[@]}" >"$work/windows-build.log" 2>&1 ||
    { tail -n 30 "$work/windows-build.log" >&2; die "scripts/build-windows.sh failed"; }
  stage=$work/windows
  rm -rf "$stage"
  mkdir -p "$stage/bin"
  # The programs this configuration of the Windows build made; one left in
  # bin by an earlier, fuller build is out of date and stays out.
  targets=$(ninja -C build/windows -t targets all)
  programs=()
  for program in korvane korvane-batch korvane-view; do
    exe=$root/build/windows/bin/$program.exe
    if [ -f "$exe" ] && grep -qE "^(.*/)?bin/$program\.exe: CXX_EXECUTABLE_LINKER__" <<<"$targets"; then
      cp "$exe" "$stage/bin/"
      programs+=("$program.exe")
    fi
  done
  [ ${#programs[@]} -gt 0 ] || die "scripts/build-windows.sh made none of the programs"
  pngs=()
  for size in 16 32 48 256; do
    rsvg-convert -w $size -h $size -o "$stage/icon-$size.png" src/widgets/korvane.svg
    pngs+=("$stage/icon-$size.png")
  done
  bash packaging/make-ico.sh "$stage/korvane.ico" "${pngs[@]}"
  # Windows wants four numbers in a file version.
  file_version=$version
  while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do file_version+=.0; done
  setup=$out/korvane-$version-win64-setup.exe
  rm -f "$out"/korvane-*-win64-setup.exe
  makensis -V2 -DVERSION="$version" -DFILE_VERSION="$file_version" -DBIN="$stage/bin" \
    -DICON="$stage/korvane.ico" -DLICENSE="$root/LICENSE" -DOUTFILE="$setup" \
    packaging/korvane.nsi >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log" >&2; die "makensis failed"; }
  echo "package: $setup (${programs[*]})"
fi
