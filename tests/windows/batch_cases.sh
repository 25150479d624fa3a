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

# fit_as_linux CASE ARG...: a fit in both tools, from copies of $work/CASE/in.
# The exit code, the messages and the fitted data file's lines must agree;
# the numbers only within the fit's tolerance: the C libraries' exp and sin
# differ in their last bits, and the optimiser's path with them. A value may
# differ by a thousandth of its standard error, an error or a channel's RMS
# by a millionth of itself.
fit_as_linux() {
  local name=$1
  shift
  # Both tools run as in same_as_linux, whose byte-for-byte verdict is not
  # the one wanted here.
  local counted=$failures
  same_as_linux "$name" "$@" >/dev/null 2>&1
  failures=$counted
  local dir=$work/$name problem=
  cmp -s "$dir/linux.rc" "$dir/windows.rc" ||
    problem="exit code $(cat "$dir/windows.rc"), Linux $(cat "$dir/linux.rc")"
  cmp -s "$dir/linux.err" "$dir/windows.err" || problem="$problem; messages differ"
  awk_close='
    function off(a, b, scale) { d = a - b; if (d < 0) d = -d; return d > scale }
    FNR == NR { line[FNR] = $0; n = FNR; next }
    {
      if (FNR > n) { bad = 1; exit }
      split(line[FNR], l, /[=: ]+/); split($0, w, /[=: ]+/)
      if (length(l) != length(w)) { bad = 1; exit }
      for (i in l) {
        if (l[i] == w[i]) continue
        if (l[i] !~ /^-?[0-9.e+-]+$/ || w[i] !~ /^-?[0-9.e+-]+$/) { bad = 1; exit }
        scale = 1e-6 * (l[i] < 0 ? -l[i] : l[i])
        if ($0 ~ / ± / && i == 2) { e = l[4]; scale = 1e-3 * (e < 0 ? -e : e) }
        if (off(l[i] + 0, w[i] + 0, scale)) { bad = 1; exit }
      }
    }
    END { if (bad || FNR != n) exit 1 }'
  awk "$awk_close" "$dir/linux.out" "$dir/windows.out" || problem="$problem; the fit differs"
  local file
  for file in "$dir"/linux/*; do
    [ -f "$file" ] || continue
    file=${file##*/}
    [ -f "$dir/windows/$file" ] || { problem="$problem; no $file"; continue; }
    cmp -s "$dir/linux/$file" "$dir/windows/$file" ||
      awk -F' = ' 'FNR == NR { v[FNR] = $2; k[FNR] = $1; n = FNR; next }
        $1 != k[FNR] { exit 1 }
        { a = v[FNR] + 0; b = $2 + 0; d = a - b; if (d < 0) d = -d; if (a < 0) a = -a
          if (d > 1e-6 * a) exit 1 }
        END { if (FNR != n) exit 1 }' "$dir/linux/$file" "$dir/windows/$file" ||
      problem="$problem; $file differs"
  done
  if [ -n "$problem" ]; then
    echo "FAIL [$name]: ${problem#; }" >&2
    diff "$dir/linux.out" "$dir/windows.out" | head -n 10 >&2 || true
    failures=$((failures + 1))
  else
    echo "ok   [$name] exit $(cat "$dir/linux.rc"), within the fit's tolerance"
  fi
}

# recipe_as_linux CASE ARG...: a recipe search in both tools, from copies of
# $work/CASE/in. The exit code must agree and the recipe within the search's
# tolerance: its inputs to a ten-thousandth of themselves, the indices to 0.01;
# the runs and the time are the search's own. The one-job and the two-job
# search of the Windows tool must give the same recipe.
recipe_as_linux() {
  local name=$1
  shift
  local counted=$failures
  same_as_linux "$name" "$@" >/dev/null 2>&1
  failures=$counted
  local dir=$work/$name problem=
  cmp -s "$dir/linux.rc" "$dir/windows.rc" ||
    problem="exit code $(cat "$dir/windows.rc"), Linux $(cat "$dir/linux.rc")"
  awk -F= 'FNR == NR { v[$1] = $2; n++; next }
    $1 == "runs" || $1 == "seconds" { m++; next }
    !($1 in v) { exit 1 }
    { m++; a = v[$1] + 0; b = $2 + 0; d = a - b; if (d < 0) d = -d; if (a < 0) a = -a
      if (d > ($1 ~ /^window\./ ? 0.01 : 1e-4 * a)) exit 1 }
    END { if (m != n) exit 1 }' "$dir/linux.out" "$dir/windows.out" ||
    problem="$problem; the recipe differs"
  if [ -n "$problem" ]; then
    echo "FAIL [$name]: ${problem#; }" >&2
    diff "$dir/linux.out" "$dir/windows.out" | head -n 10 >&2 || true
    failures=$((failures + 1))
  else
    echo "ok   [$name] exit $(cat "$dir/linux.rc"), within the search's tolerance"
  fi
}

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

  # A logger's profile: the comparison, a fit of the example (its data file
  # written, the threads' share of the work the same), an input on its bound,
  # a broken profile and a bound that switches a zone off.
  local examples=$root/examples measured=(--measured logger.csv --channel TC1=face1
    --channel "TC2 middle=centre" --channel 4=face2)
  dir=$(case_dir measured-report)
  cp "$examples/oven-true.txt" "$dir/data.txt"
  cp "$examples/oven-logger.csv" "$dir/logger.csv"
  same_as_linux measured-report "${measured[@]}" --start 00:37.4 --report r.json data.txt result.txt
  local fits=() zone face
  for zone in 1 2 3; do
    for face in 1 2; do fits+=(--fit "zone$zone.htc$face=0.0001:0.01"); done
  done
  for name in measured-fit measured-fit-one-thread measured-fit-on-bound measured-fit-refused; do
    dir=$(case_dir $name)
    cp "$examples/oven.txt" "$dir/data.txt"
    cp "$examples/oven-logger.csv" "$dir/logger.csv"
  done
  fit_as_linux measured-fit "${fits[@]}" --fit start=30:45 "${measured[@]}" --start 37 \
    --out-data fitted.txt data.txt
  fit_as_linux measured-fit-one-thread "${fits[@]}" --fit start=30:45 "${measured[@]}" --start 37 \
    --threads 1 --out-data fitted.txt data.txt
  cmp -s "$work/measured-fit/windows.out" "$work/measured-fit-one-thread/windows.out" || {
    echo "FAIL [measured-fit-one-thread]: one thread fits otherwise than several" >&2
    failures=$((failures + 1))
  }
  fit_as_linux measured-fit-on-bound --fit zone1.htc1=0.0002:0.001 "${measured[@]}" --start 37.4 \
    data.txt
  same_as_linux measured-fit-refused --fit zone2.htc1=0:0.01 "${measured[@]}" data.txt
  dir=$(case_dir measured-broken)
  cp "$examples/oven.txt" "$dir/data.txt"
  sed '12s/;/;x/' "$examples/oven-logger.csv" >"$dir/logger.csv"
  same_as_linux measured-broken "${measured[@]}" data.txt result.txt

  # A recipe: the fastest line inside the window on one job and on two, a
  # window no recipe within the bounds meets, and a bound that switches a
  # zone off.
  local recipe=(--optimise speed=0.2:2 --optimise zone1.outer1=150:300
    --optimise zone2.outer1=150:300 --window w.json)
  for name in recipe-fastest recipe-fastest-one-job recipe-none recipe-refused; do
    dir=$(case_dir $name)
    cp "$examples/heating.txt" "$dir/data.txt"
    cp "$examples/heating-recipe.json" "$dir/w.json"
  done
  recipe_as_linux recipe-fastest "${recipe[@]}" --goal max:speed --max-runs 600 \
    --out-data recipe.txt data.txt
  recipe_as_linux recipe-fastest-one-job "${recipe[@]}" --goal max:speed --max-runs 600 \
    --jobs 1 data.txt
  grep -v -e '^runs=' -e '^seconds=' "$work/recipe-fastest/windows.out" >"$work/recipe-fastest/two.out"
  grep -v -e '^runs=' -e '^seconds=' "$work/recipe-fastest-one-job/windows.out" \
    >"$work/recipe-fastest-one-job/one.out"
  cmp -s "$work/recipe-fastest/two.out" "$work/recipe-fastest-one-job/one.out" || {
    echo "FAIL [recipe-fastest-one-job]: one job finds another recipe than two" >&2
    failures=$((failures + 1))
  }
  recipe_as_linux recipe-none --optimise speed=1.5:2 --optimise zone1.outer1=150:160 \
    --window w.json --goal centre --max-runs 100 data.txt
  same_as_linux recipe-refused --optimise zone2.htc1=0:0.01 --window w.json --goal centre data.txt
}
