#!/usr/bin/env bash
# The Windows installer under Wine, made by scripts/package.sh --windows from
# the programs in BIN_FOLDER: a silent install, the installed
# korvane-batch.exe on the golden defaults, the Start-menu shortcuts of all
# users and the entry of Apps & features, then the silent uninstall that the
# entry names, which must take all of it away again.
#   installer.sh WINE BIN_FOLDER WORK_FOLDER [PACKAGE_OPTION...]
# (options of package.sh, e.g. --batch-only). WINEPREFIX and friends come
# from the caller.
set -euo pipefail
wine=$1 bin=$2 work=$3
shift 3
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
  echo "FAIL [installer]: $*" >&2
  exit 1
}
mkdir -p "$work"
bash "$root/scripts/package.sh" --windows "$@" >"$work/package.log" 2>&1 ||
  { tail -n 20 "$work/package.log" >&2; fail "scripts/package.sh --windows failed"; }

# Shortcuts must not become menu entries of the machine running the tests.
[[ ${WINEDLLOVERRIDES:-} == *winemenubuilder.exe=d* ]] ||
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
version=$(sed -n 's/^project(Korvane VERSION \([0-9][0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
setup=$root/build/packages/korvane-$version-win64-setup.exe
[ -f "$setup" ] || fail "scripts/package.sh --windows made no $setup"
drive=$WINEPREFIX/drive_c
folder=$drive/Program\ Files/Korvane
menu=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Korvane
windows_folder='C:\Program Files\Korvane'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane'

# What an earlier run that failed half-way left in the stage's prefix.
user_menus=("$drive"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Korvane)
rm -rf "$folder" "$menu" "${user_menus[@]}"
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true

"$wine" "$setup" /S >"$work/install.log" 2>&1 || fail "the silent install exited $?"
# Wine reports 0 also when the installer could not start at all.
[ -f "$folder/uninstall.exe" ] || fail "the silent install left no $windows_folder\\uninstall.exe"

# shortcut PROGRAM: the Start-menu name of a window program ("" for none).
shortcut() {
  case $1 in
  korvane) echo Korvane ;;
  korvane-view) echo "Korvane Viewer" ;;
  *) echo "" ;;
  esac
}
expected_links=()
for program in korvane korvane-batch korvane-view; do
  link=$(shortcut "$program")
  if [ -f "$bin/$program.exe" ]; then
    cmp -s "$bin/$program.exe" "$folder/$program.exe" || fail "$program.exe is not installed as built"
    [ -z "$link" ] || expected_links+=("$link.lnk")
  else
    [ ! -e "$folder/$program.exe" ] || fail "$program.exe is installed but was not built"
  fi
done
[ -f "$folder/korvane-batch.exe" ] || fail "korvane-batch.exe is not installed"

mkdir -p "$work/run"
cp "$root/tests/golden/defaults.txt" "$work/run/data.txt"
(cd "$work/run" && exec "$wine" "$windows_folder\\korvane-batch.exe" data.txt result.txt) \
  >"$work/run.log" 2>&1 || fail "the installed korvane-batch.exe exited $?: $(cat "$work/run.log")"
cmp "$work/run/result.txt" "$root/tests/golden/defaults.result" >&2 ||
  fail "the installed korvane-batch.exe did not write defaults.result"

links=$(cd "$menu" 2>/dev/null && ls -1 | sort) || links=
want=$(printf '%s\n' "${expected_links[@]}" | sed '/^$/d' | sort)
[ "$links" = "$want" ] ||
  fail "the Start menu of all users holds [${links//$'\n'/, }], not [${want//$'\n'/, }]"
for link in "${expected_links[@]}"; do
  program=korvane
  [ "$link" = "Korvane.lnk" ] || program=korvane-view
  grep -qaF "$windows_folder\\$program.exe" "$menu/$link" || fail "$link does not start $program.exe"
done
for user_menu in "${user_menus[@]}"; do
  [ ! -e "$user_menu" ] || fail "shortcuts in a user's own Start menu: $user_menu"
done

"$wine" reg query "$key" >"$work/key.raw" 2>&1 || fail "no key $key after the install"
tr -d '\r' <"$work/key.raw" >"$work/key.txt"
# value NAME: the data of a value of the uninstall key.
value() {
  awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print; exit }' "$work/key.txt"
}
check_value() {
  [ "$(value "$1")" = "$2" ] || fail "$key: $1 is \"$(value "$1")\", not \"$2\""
}
check_value DisplayName Korvane
check_value DisplayVersion "$version"
check_value InstallLocation "$windows_folder"
check_value UninstallString "\"$windows_folder\\uninstall.exe\""
check_value QuietUninstallString "\"$windows_folder\\uninstall.exe\" /S"
[ -n "$(value Publisher)" ] || fail "$key: no Publisher"
echo "ok   [installer] installed $(cd "$folder" && ls | tr '\n' ' ')with shortcuts [${want//$'\n'/, }]" \
  "and the key of Apps & features"

# The uninstall as Apps & features runs it. It returns at once: the real work
# is done by a copy of itself in the temporary folder, so wait for it.
quiet=$(value QuietUninstallString)
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
arguments=${quiet#"\"$uninstaller\" "}
"$wine" "$uninstaller" "$arguments" >"$work/uninstall.log" 2>&1 || fail "the silent uninstall exited $?"
for _ in $(seq 150); do
  [ -e "$folder" ] || [ -e "$menu" ] || break
  sleep 0.2
done
[ ! -e "$folder" ] || fail "the uninstall left $windows_folder: $(ls "$folder" | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstall left the Start-menu folder Korvane"
for _ in $(seq 10); do
  "$wine" reg query "$key" >/dev/null 2>&1 || break
  sleep 0.5
done
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstall left $key"
echo "ok   [installer] the silent uninstall took the programs, shortcuts and key away"
