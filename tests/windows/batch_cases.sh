# The batch cases of the Windows stage, sourced by run.sh: each prepares
# $work/CASE/in and hands the arguments to same_as_linux. Cases that depend on
# Linux alone (permissions as another user, /dev/full, ulimit) are left out.

golden=$root/tests/golden

# case_dir CASE: an empty input folder for the case.
case_dir() {
  mkdir -p "$work/$1/in"
  echo "$work/$1/in"
}

source "$root/tests/support/data_files.sh"

# The largest run: 100 layers and four zones of 250 steps each.
largest_data() {
  with_line 7 "Increment = 0.1" <"$golden/defaults.txt" | with_line 8 "Layers = 100" |
    with_line 13 "Z1 Length = 25" | with_line 18 "Z2 Length = 25" | with_line 23 "Z3 Length = 25" |
    with_line 24 "Z4 Htc1 = 0.0005" | with_line 25 "Z4 Htc2 = 0.09" |
    with_line 26 "Z4 Outer1 = 900" | with_line 27 "Z4 Outer2 = 10" | with_line 28 "Z4 Length = 25"
}

run_batch_cases() {
  local name dir
  for name in defaults layers7-four-zones hot-above-1000; do
    cp "$golden/$name.txt" "$(case_dir "golden-$name")/data.txt"
    same_as_linux "golden-$name" data.txt result.txt
    cmp -s "$work/golden-$name/windows/result.txt" "$golden/$name.result" || {
      echo "FAIL [golden-$name]: the result is not the golden file" >&2
      failures=$((failures + 1))
    }
  done

  largest_data >"$(case_dir largest)/data.txt"
  same_as_linux largest data.txt result.txt

  # Data in a folder, result in another, both named relative to the start folder.
  dir=$(case_dir folders)
  mkdir "$dir/data" "$dir/out"
  cp "$golden/defaults.txt" "$dir/data/d.txt"
  same_as_linux folders data/d.txt out/r.txt

  cp "$golden/defaults.txt" "$(case_dir usage)/data.txt"
  same_as_linux usage data.txt

  cp "$golden/defaults.txt" "$(case_dir result-folder-missing)/data.txt"
  same_as_linux result-folder-missing data.txt no-such-folder/result.txt

  dir=$(case_dir result-is-directory)
  cp "$golden/defaults.txt" "$dir/data.txt"
  mkdir "$dir/result.txt"
  same_as_linux result-is-directory data.txt result.txt

  dir=$(case_dir result-replaced)
  cp "$golden/defaults.txt" "$dir/data.txt"
  head -c 400000 /dev/zero | tr '\0' 'x' >"$dir/result.txt"
  same_as_linux result-replaced data.txt result.txt

  case_dir data-missing >/dev/null
  same_as_linux data-missing no-such-file.txt result.txt

  mkdir "$(case_dir data-is-directory)/data.txt"
  same_as_linux data-is-directory data.txt result.txt

  : >"$(case_dir data-empty)/data.txt"
  same_as_linux data-empty data.txt result.txt

  head -n 27 "$golden/defaults.txt" >"$(case_dir data-short)/data.txt"
  same_as_linux data-short data.txt result.txt

  awk 'BEGIN { for (i = 0; i < 4096; i++) { c = (i * 37) % 256; if (c != 10 && c != 61) printf "%c", c } }' \
    >"$(case_dir data-binary)/data.txt"
  same_as_linux data-binary data.txt result.txt

  tr '\n' '\r' <"$golden/defaults.txt" >"$(case_dir data-cr-only)/data.txt"
  same_as_linux data-cr-only data.txt result.txt

  sed 's/$/\r/' "$golden/defaults.txt" >"$(case_dir data-cr-lf)/data.txt"
  same_as_linux data-cr-lf data.txt result.txt

  sed 's/^[^=]*=/\x96\xa7\x93\x78 (\x81\x8e) =/' "$golden/defaults.txt" \
    >"$(case_dir data-code-page-932-labels)/data.txt"
  same_as_linux data-code-page-932-labels data.txt result.txt

  { printf 'Density = 1.14 '; head -c 5000000 /dev/zero | tr '\0' 'x'; printf '\n'
    tail -n +2 "$golden/defaults.txt"; } >"$(case_dir data-long-line)/data.txt"
  same_as_linux data-long-line data.txt result.txt

  # Refused values: a negative increment, an exponent beyond 32 bits, too many layers.
  with_line 7 "Increment = -0.5" <"$golden/defaults.txt" >"$(case_dir refused-increment)/data.txt"
  same_as_linux refused-increment data.txt result.txt
  with_line 4 "Thickness = 1e99999999999" <"$golden/defaults.txt" \
    >"$(case_dir refused-huge-exponent)/data.txt"
  same_as_linux refused-huge-exponent data.txt result.txt
  with_line 4 "Thickness = 13e-99999999999" <"$golden/defaults.txt" \
    >"$(case_dir tiny-exponent)/data.txt"
  same_as_linux tiny-exponent data.txt result.txt
  with_line 8 "Layers = 101" <"$golden/defaults.txt" >"$(case_dir refused-layers)/data.txt"
  same_as_linux refused-layers data.txt result.txt
  with_line 8 "Layers = \$64" <"$golden/defaults.txt" >"$(case_dir hex-layers)/data.txt"
  same_as_linux hex-layers data.txt result.txt

  # A comma: the Linux locale from its source, the Windows one from Wine's
  # regional settings for that locale.
  mkdir -p "$work/locales"
  localedef -c -i de_DE -f UTF-8 "$work/locales/de_DE.utf8" >/dev/null 2>&1 || true
  [ -f "$work/locales/de_DE.utf8/LC_NUMERIC" ] || die "localedef cannot make de_DE.UTF-8"
  sed 's/\([0-9]\)\.\([0-9]\)/\1,\2/g' "$golden/defaults.txt" >"$(case_dir comma-locale)/data.txt"
  side_env=(LOCPATH="$work/locales" LC_ALL=de_DE.UTF-8)
  same_as_linux comma-locale data.txt result.txt
  cp "$golden/defaults.txt" "$(case_dir comma-locale-refuses-points)/data.txt"
  same_as_linux comma-locale-refuses-points data.txt result.txt
  side_env=()

  singular_data 2 >"$(case_dir zone-division-by-zero)/data.txt"
  same_as_linux zone-division-by-zero data.txt result.txt
  singular_data 1 >"$(case_dir zone-invalid-operation)/data.txt"
  same_as_linux zone-invalid-operation data.txt result.txt
  with_line 14 "Z2 Htc1 = 1e300" <"$golden/defaults.txt" | with_line 16 "Z2 Outer1 = 1e300" \
    >"$(case_dir zone-overflow)/data.txt"
  same_as_linux zone-overflow data.txt result.txt

  # The analysis, which on Windows only korvane-batch.exe gives: the report and
  # rows beside the exact solution, a sweep over a grid (some trials refused),
  # a goal seek, a process window on a run and in a sweep, and a metric that
  # does not exist.
  cp "$golden/layers7-four-zones.txt" "$(case_dir analysis-report)/data.txt"
  same_as_linux analysis-report --report r.json --csv r.csv data.txt result.txt
  cp "$golden/defaults.txt" "$(case_dir analysis-sweep)/data.txt"
  same_as_linux analysis-sweep --sweep layers=3:101:3 --sweep dz=0.1:0.5:2 \
    --metrics line.exit.TAV,zone1.exact.max_error.interior --out sweep.csv data.txt
  cp "$golden/defaults.txt" "$(case_dir analysis-seek)/data.txt"
  same_as_linux analysis-seek --seek speed=10:60 --target line.exit.TAV=60 data.txt seek.txt
  cp "$root/examples/heating.txt" "$(case_dir analysis-window)/data.txt"
  cp "$root/examples/heating-window.json" "$(case_dir analysis-window)/w.json"
  same_as_linux analysis-window --window w.json --report r.json --fail-outside data.txt \
    result.txt
  cp "$root/examples/heating.txt" "$(case_dir analysis-window-sweep)/data.txt"
  cp "$root/examples/heating-window.json" "$(case_dir analysis-window-sweep)/w.json"
  same_as_linux analysis-window-sweep --sweep speed=0.3:0.8:11 --window w.json \
    --metrics window.pwi,window.exact.pwi,profile.z[0.075].time_above[170] --out sweep.csv \
    data.txt
  cp "$golden/defaults.txt" "$(case_dir analysis-unknown-metric)/data.txt"
  same_as_linux analysis-unknown-metric --sweep speed=20:40:5 --metrics zone2.max_error.mean \
    --out sweep.csv data.txt
}
