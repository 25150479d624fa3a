#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS on a copy of its
# committed corpus; fails on the first target that finds a crash.
#   scripts/fuzz.sh SECONDS [TARGET...]
# Inputs that crash are kept in build/fuzz/artifacts/; set FUZZ_KEEP_CORPUS=DIR
# to keep the grown corpora there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
targets=("$@")
# Every target that fuzz/CMakeLists.txt lists.
[ ${#targets[@]} -gt 0 ] ||
  mapfile -t targets < <(sed -n '/^set(KORVANE_FUZZ_TARGETS/,/)/{s/^set(KORVANE_FUZZ_TARGETS//;s/)//;s/^ *//;/^$/d;p}' fuzz/CMakeLists.txt)

if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "${FUZZ_BUILD_JOBS:-$(nproc)}"
fi

# Comparisons guide the run target towards exact zero pivots.
extra_flags() {
  case $1 in
    fuzz_run) echo -use_value_profile=1 ;;
  esac
}

# Longer inputs add nothing to these grammars and slow the runs down.
max_len() {
  case $1 in
    fuzz_conversions) echo 201 ;;
    fuzz_format) echo 13 ;;
    fuzz_run) echo 256 ;;
    fuzz_runinput) echo 1024 ;;
    fuzz_resultreader) echo 16384 ;; # a golden result file and then some
    fuzz_whatif_options) echo 512 ;;
    fuzz_window) echo 2048 ;;
    *) echo 8192 ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
status=0
passed=0
for target in "${targets[@]}"; do
  corpus=$work/$target
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/
  echo "fuzz: $target for ${seconds}s" >&2
  if ! (cd "$work" && TMPDIR=$work "$root/build/fuzz/fuzz/$target" "$corpus" \
          -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=20 \
          -rss_limit_mb=2048 -print_final_stats=1 $(extra_flags "$target") \
          -artifact_prefix="$root/build/fuzz/artifacts/$target-" >"$work/$target.log" 2>&1); then
    tail -n 40 "$work/$target.log" >&2
    echo "fuzz: $target FAILED (input kept in build/fuzz/artifacts/)" >&2
    status=1
    break
  fi
  passed=$((passed + 1))
  grep -E '^stat::number_of_executed_units|^Done |^runs: ' "$work/$target.log" | sed "s/^/fuzz: $target: /" >&2
  if [ -n "${FUZZ_KEEP_CORPUS:-}" ]; then
    mkdir -p "$FUZZ_KEEP_CORPUS/$target"
    cp "$corpus"/* "$FUZZ_KEEP_CORPUS/$target"/
  fi
done
echo "fuzz: $passed passed, $status failed"
exit $status
