#!/usr/bin/env bash
# Fault injection for korvane-batch: each case breaks the data file, the result
# file or the computation and checks the exit code, the lines on standard error
# and what the result file holds afterwards.
#   batch_faults.sh KORVANE_BATCH EXAMPLE_DATA_FILE CASE
set -uo pipefail

batch=$1
example=$2
case_name=$3

export LC_ALL=C
tmp=$(mktemp -d)
trap 'chmod -R u+rwX "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
# The unprivileged runs must reach the files.
chmod 755 "$tmp"

failures=0
fail() {
  echo "FAIL [$case_name]: $*" >&2
  failures=$((failures + 1))
}

# run [--unprivileged] DATA RESULT: runs the tool, leaves $status, $tmp/out, $tmp/err.
run() {
  local prefix=()
  if [ "$1" = --unprivileged ]; then
    shift
    if [ "$(id -u)" -eq 0 ]; then
      # Root passes every permission check; a copy of the tool runs as nobody.
      cp "$batch" "$tmp/korvane-batch"
      chmod 755 "$tmp/korvane-batch"
      prefix=(setpriv --reuid=65534 --regid=65534 --clear-groups)
      "${prefix[@]}" "$tmp/korvane-batch" "$@" >"$tmp/out" 2>"$tmp/err"
      status=$?
      return
    fi
  fi
  "$batch" "$@" >"$tmp/out" 2>"$tmp/err"
  status=$?
}

# expect STATUS LINE...: the exit code and standard error, line for line.
expect() {
  local want_status=$1
  shift
  [ "$status" -eq "$want_status" ] || fail "exit code $status, expected $want_status"
  : >"$tmp/want_err"
  [ $# -eq 0 ] || printf '%s\n' "$@" >"$tmp/want_err"
  if ! cmp -s "$tmp/want_err" "$tmp/err"; then
    fail "standard error differs:"
    diff "$tmp/want_err" "$tmp/err" | head -20 >&2
  fi
  [ ! -s "$tmp/out" ] || fail "standard output is not empty"
}

# Each of the three zones of the example fails to append.
zones_unwritable=(
  "Can not write result to file" "Can not write results to file"
  "Can not write result to file" "Can not write results to file"
  "Can not write result to file" "Can not write results to file")

# The example's result, the reference for runs that must succeed unchanged.
reference() {
  "$batch" "$example" "$tmp/reference.result" 2>/dev/null || fail "the example does not run"
}

source "$(dirname "$0")/../support/data_files.sh"

# example_with N FORMAT: the example with line N replaced by printf's FORMAT
# (which may hold bytes such as \000 that awk cannot pass).
example_with() {
  head -n $(($1 - 1)) "$example"
  printf "$2"
  printf '\n'
  tail -n +$(($1 + 1)) "$example"
}

# A data file whose zone 2 is the example's zone 2 with other values.
zone2() {
  with_line 14 "Zone2 Htc1 = $1" <"$example" | with_line 15 "Zone2 Htc2 = $2" |
    with_line 16 "Zone2 Outer1 = $3" | with_line 17 "Zone2 Outer2 = $4"
}

# The file holds the header and complete blocks of zones 1..N-1 only.
expect_blocks_before() {
  local file=$1 failed_zone=$2
  local blocks
  blocks=$(grep -c '^\[Zone ' "$file")
  [ "$blocks" -eq $((failed_zone - 1)) ] || fail "$blocks zone blocks kept, expected $((failed_zone - 1))"
  [ "$(tail -c 6 "$file" | od -An -c | tr -d ' ')" = '\r\n\r\n\r\n' ] ||
    fail "the last kept block is not complete"
  head -c 8 "$file" | grep -q '^Density' || fail "the header is gone"
}

case $case_name in
usage)
  "$batch" --help >"$tmp/out" 2>"$tmp/err"
  [ "$?" -eq 0 ] || fail "--help did not exit 0"
  [ ! -s "$tmp/err" ] || fail "--help wrote to standard error"
  mapfile -t usage <"$tmp/out"
  [ "${usage[0]}" = "usage: korvane-batch [--report FILE] [--csv FILE] [--window FILE]" ] ||
    fail "--help printed ${usage[0]}"
  for option in --report --csv --sweep --metrics --out --share --seek --target --tolerance \
    --input-tolerance --window --fail-outside --help --version; do
    grep -q -- "^ *$option " "$tmp/out" || fail "--help does not explain $option"
  done
  grep -q '^Exit codes:' "$tmp/out" || fail "--help does not list the exit codes"
  # Each wrong command line: one line saying what is wrong, then the usage.
  while IFS='|' read -r args problem; do
    # shellcheck disable=SC2086
    "$batch" $args >"$tmp/out" 2>"$tmp/err"
    status=$?
    expect 64 "$problem" "${usage[@]}"
  done <<'CASES'
|no DATAFILE and RESULTFILE given
only-one|a run needs DATAFILE and RESULTFILE; only one file is named
a b c|a run takes DATAFILE and RESULTFILE; 3 files are named
--report|--report needs a value
--report r.json a|a run needs DATAFILE and RESULTFILE; only one file is named
--csv c --csv d a b|--csv is given twice
--bogus a b|unknown option --bogus
--sweep speed=1:2:2 a|--sweep needs --metrics METRIC[,METRIC...]
--sweep speed=1:2:2 --metrics zone1.exit.TAV a|--sweep needs --out FILE
--seek speed=1:2 a|--seek needs --target METRIC=VALUE
--fail-outside a b|--fail-outside needs --window FILE
--target zone1.exit.TAV=1 a b|--target belongs to --seek
CASES
  "$batch" --version >"$tmp/out" 2>"$tmp/err"
  [ "$?" -eq 0 ] || fail "--version did not exit 0"
  grep -qx 'korvane-batch [0-9][0-9.]*' "$tmp/out" || fail "--version printed $(cat "$tmp/out")"
  ;;

result-folder-missing)
  run "$example" "$tmp/no-such-folder/result.txt"
  expect 2 "File can not open!" "${zones_unwritable[@]}"
  [ ! -e "$tmp/no-such-folder" ] || fail "the folder was created"
  ;;

result-read-only)
  printf 'earlier run\r\n' >"$tmp/result.txt"
  chmod 444 "$tmp/result.txt"
  cp "$example" "$tmp/data.txt" && chmod 644 "$tmp/data.txt"
  run --unprivileged "$tmp/data.txt" "$tmp/result.txt"
  expect 2 "File can not open!" "${zones_unwritable[@]}"
  [ "$(cat "$tmp/result.txt")" = $'earlier run\r' ] || fail "the read-only file changed"
  ;;

result-is-directory)
  mkdir "$tmp/result.txt"
  run "$example" "$tmp/result.txt"
  expect 2 "File can not open!" "${zones_unwritable[@]}"
  [ -d "$tmp/result.txt" ] && [ -z "$(ls -A "$tmp/result.txt")" ] || fail "the directory changed"
  ;;

disk-full)
  run "$example" /dev/full
  expect 2 "No space left on device"
  ;;

stdout-disk-full)
  # Standard output on a full disk: every answer that is lost says so.
  for args in "--help|the usage" "--version|the version" \
    "--seek speed=10:1000 --target zone3.exit.TAV=120 $example|the value found"; do
    # shellcheck disable=SC2086
    "$batch" ${args%|*} >/dev/full 2>"$tmp/err"
    status=$?
    : >"$tmp/out"
    expect 2 "Can not write ${args#*|} to standard output (No space left on device)"
  done
  "$batch" --sweep speed=10:40:3 --metrics zone3.exit.TAV --out - "$example" >/dev/full 2>"$tmp/err"
  status=$?
  expect 2 "sweep of 3 trials" "Can not write the sweep to standard output (No space left on device)"
  # The window without --report goes to standard output; a run outside it
  # that cannot say so fails with 2, not 4.
  printf '{"limits": [{"metric": "zone3.exit.TAV", "min": 0, "max": 1}]}' >"$tmp/w.json"
  "$batch" --window "$tmp/w.json" --fail-outside "$example" "$tmp/r.txt" >/dev/full 2>"$tmp/err"
  status=$?
  expect 2 "Can not write the window to standard output (No space left on device)"
  ;;

sweep-disk-full)
  run --sweep speed=10:40:3 --metrics zone3.exit.TAV --out /dev/full "$example"
  expect 2 "sweep of 3 trials" "Can not write the sweep to file /dev/full (No space left on device)"
  run --sweep speed=10:40:3 --metrics zone3.exit.TAV --out "$tmp/no-such-folder/s.csv" "$example"
  expect 2 "Can not write the sweep to file $tmp/no-such-folder/s.csv (No such file or directory)"
  ;;

file-size-limit)
  # A write that fails part way: the lines before it stay.
  reference
  bash -c 'trap "" XFSZ; ulimit -f 1; exec "$0" "$1" "$2"' "$batch" "$example" "$tmp/result.txt" \
    >"$tmp/out" 2>"$tmp/err"
  status=$?
  expect 2 "File too large"
  [ "$(stat -c %s "$tmp/result.txt")" -eq 1024 ] || fail "the file is not cut at the limit"
  cmp -s "$tmp/result.txt" <(head -c 1024 "$tmp/reference.result") ||
    fail "the lines written before the failure differ"
  ;;

data-missing)
  run "$tmp/no-such-file.txt" "$tmp/result.txt"
  expect 1 "Data file can not open!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-endless)
  # An endless line (/dev/zero) until memory runs out: a failed read, no crash.
  if [ -n "${KORVANE_SANITIZED:-}" ]; then
    echo "skipped: the sanitizers' shadow memory does not fit a memory limit" >&2
    exit 77
  fi
  (ulimit -v 400000 && exec "$batch" /dev/zero "$tmp/result.txt") >"$tmp/out" 2>"$tmp/err"
  status=$?
  expect 1 "Data file can not open!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-is-directory)
  mkdir "$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 1 "Data file can not open!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-unreadable)
  cp "$example" "$tmp/data.txt"
  chmod 000 "$tmp/data.txt"
  run --unprivileged "$tmp/data.txt" "$tmp/result.txt"
  expect 1 "Data file can not open!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-empty)
  : >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 1 "\"$tmp/data.txt\" is not a correct data file!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-binary)
  # Bytes of every value without a line end or "=": one line, no "=".
  awk 'BEGIN { for (i = 0; i < 4096; i++) { c = (i * 37) % 256; if (c != 10 && c != 61) printf "%c", c } }' \
    >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 1 "\"$tmp/data.txt\" is not a correct data file!"
  # 28 lines of the form, with binary values: the read phase refuses them.
  for i in $(seq 28); do printf 'x=\x01\x80\xff\x7f\n'; done >"$tmp/data2.txt"
  run "$tmp/data2.txt" "$tmp/result.txt"
  expect 1 "Input value is not correct!"
  [ ! -e "$tmp/result.txt" ] || fail "a result file was written"
  ;;

data-nul-bytes)
  # A NUL inside a label is ordinary text; inside a value it refuses the value.
  reference
  example_with 1 'Dens\x00ity = 1.14' >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 0
  cmp -s "$tmp/result.txt" "$tmp/reference.result" || fail "a NUL in a label changed the run"
  example_with 4 'Thickness = 0.0\x0013' >"$tmp/data2.txt"
  run "$tmp/data2.txt" "$tmp/result2.txt"
  expect 1 "Input value is not correct!"
  # A NUL in place of the "=" of a line.
  example_with 20 'Zone3 Htc2 \x00 0.0005' >"$tmp/data3.txt"
  run "$tmp/data3.txt" "$tmp/result3.txt"
  expect 1 "\"$tmp/data3.txt\" is not a correct data file!"
  ;;

data-50mb-line)
  reference
  # A 50 MB remark after the value of line 1.
  { printf 'Density = 1.14 '; head -c 52428800 /dev/zero | tr '\0' 'x'; printf '\n'; tail -n +2 "$example"; } \
    >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 0
  cmp -s "$tmp/result.txt" "$tmp/reference.result" || fail "the long line changed the run"
  # One 50 MB line and nothing else: lines 2 to 28 are empty.
  { printf 'Density = '; head -c 52428800 /dev/zero | tr '\0' '1'; } >"$tmp/data2.txt"
  run "$tmp/data2.txt" "$tmp/result2.txt"
  expect 1 "\"$tmp/data2.txt\" is not a correct data file!"
  ;;

data-cr-line-ends)
  # CR alone does not end a line: the whole file is line 1.
  tr '\n' '\r' <"$example" >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 1 "\"$tmp/data.txt\" is not a correct data file!"
  # CR LF does.
  reference
  sed 's/$/\r/' "$example" >"$tmp/data2.txt"
  run "$tmp/data2.txt" "$tmp/result2.txt"
  expect 0
  cmp -s "$tmp/result2.txt" "$tmp/reference.result" || fail "CR LF line ends changed the run"
  ;;

data-code-page-932)
  reference
  # Labels in code page 932 (Japanese, with the degree sign 81 8E) are ignored.
  sed 's/^[^=]*=/\x96\xa7\x93\x78 (\x81\x8e) =/' "$example" >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 0
  cmp -s "$tmp/result.txt" "$tmp/reference.result" || fail "code page 932 labels changed the run"
  # Full-width digits are no number.
  example_with 4 'Thickness = \x82\x4f\x81\x44\x82\x50' >"$tmp/data2.txt"
  run "$tmp/data2.txt" "$tmp/result2.txt"
  expect 1 "Input value is not correct!"
  # A code page 932 file name is shown as given.
  name=$'\x83\x66\x81\x5b\x83\x5e.txt'
  head -n 27 "$example" >"$tmp/$name"
  run "$tmp/$name" "$tmp/result3.txt"
  expect 1 "\"$tmp/$name\" is not a correct data file!"
  ;;

zone-singular-division-by-zero)
  singular_data 2 >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 2 "Floating point division by zero"
  expect_blocks_before "$tmp/result.txt" 2
  ;;

zone-singular-invalid)
  # The same singular system, consistent this time: 0 / 0.
  singular_data 1 >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 2 "Invalid floating point operation"
  expect_blocks_before "$tmp/result.txt" 2
  ;;

zone-overflow)
  reference
  zone2 1e300 0.09 1e300 50 >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 2 "Floating point overflow"
  expect_blocks_before "$tmp/result.txt" 2
  # Header and zone 1 are those of the example.
  kept=$(stat -c %s "$tmp/result.txt")
  cmp -s "$tmp/result.txt" <(head -c "$kept" "$tmp/reference.result") ||
    fail "the blocks before the fault differ"
  ;;

zone-negative-coefficient)
  # A negative coefficient that leaves the system regular runs to its end.
  zone2 -0.01 0.09 50 50 >"$tmp/data.txt"
  run "$tmp/data.txt" "$tmp/result.txt"
  expect 0
  [ "$(grep -c '^\[Zone ' "$tmp/result.txt")" -eq 3 ] || fail "not three zone blocks"
  ;;

locale-decimal-symbol)
  # The window's rule: a comma locale (compiled here) reads and writes commas;
  # one that is not installed gives the full stop.
  mkdir "$tmp/locales"
  localedef -c -i de_DE -f ISO-8859-1 "$tmp/locales/de_DE.iso88591" >/dev/null 2>&1
  [ -e "$tmp/locales/de_DE.iso88591/LC_NUMERIC" ] || { echo "localedef made no locale" >&2; exit 1; }
  reference
  sed 's/= \([0-9]*\)\.\([0-9]*\)$/= \1,\2/' "$example" >"$tmp/comma.txt"
  # (The braces silence bash's own complaint about a locale it cannot load.)
  { LOCPATH=$tmp/locales LC_ALL=de_DE.ISO-8859-1 run "$tmp/comma.txt" "$tmp/comma.result"; } 2>/dev/null
  expect 0
  tr ',' '.' <"$tmp/comma.result" | cmp -s - "$tmp/reference.result" || fail "the comma run differs"
  { LOCPATH=$tmp/locales LC_ALL=de_DE.ISO-8859-1 run "$example" "$tmp/point.result"; } 2>/dev/null
  expect 1 "Input value is not correct!"
  { LOCPATH=$tmp/locales LC_ALL=fr_FR.UTF-8 run "$example" "$tmp/uninstalled.result"; } 2>/dev/null
  expect 0
  cmp -s "$tmp/uninstalled.result" "$tmp/reference.result" || fail "an uninstalled locale changed the run"
  ;;

save-name-non-ascii)
  reference
  for name in $'\xe7\xb5\x90\xe6\x9e\x9c \xe2\x84\x83.txt' $'\x8c\x8b\x89\xca.txt'; do
    run "$example" "$tmp/$name"
    expect 0
    cmp -s "$tmp/$name" "$tmp/reference.result" || fail "the result under a non-ASCII name differs"
  done
  ;;

save-name-too-long)
  # A name of 300 bytes, and a path of over 4096 bytes: ENAMETOOLONG.
  long=$(printf 'r%.0s' $(seq 300))
  run "$example" "$tmp/$long.txt"
  expect 2 "File can not open!" "${zones_unwritable[@]}"
  deep=$tmp$(printf '/.%.0s' $(seq 2100))/result.txt
  run "$example" "$deep"
  expect 2 "File can not open!" "${zones_unwritable[@]}"
  [ -z "$(ls -A "$tmp" | grep -v -e '^out$' -e '^err$' -e '^want_err$')" ] || fail "a file was created"
  ;;

*)
  echo "unknown case $case_name" >&2
  exit 2
  ;;
esac

[ "$failures" -eq 0 ]
