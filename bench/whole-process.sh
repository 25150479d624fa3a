#!/usr/bin/env bash
# korvane-batch against korvane-batch-literal (every solve by the literal
# Gauss-Jordan algorithm) on the largest run, bench/max-size.txt, as whole
# processes: CPU time (user + system) per run, back to back in ROUNDS rounds
# of RUNS runs each, the median of the rounds, and the ratio. Both write the
# same result file, which is checked.
#   bash bench/whole-process.sh [ROUNDS [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-9}
runs=${2:-10}
build=build/bench

cmake -S . -B "$build" -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVANE_GUI=OFF -DKORVANE_BENCH_LITERAL_BATCH=ON >/dev/null
cmake --build "$build" --target korvane-batch korvane-batch-literal >/dev/null
fast=$build/src/batch/korvane-batch
literal=$build/bench/korvane-batch-literal
data=bench/max-size.txt
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$fast" "$data" "$out/fast.txt"
"$literal" "$data" "$out/literal.txt"
cmp -s "$out/fast.txt" "$out/literal.txt" ||
  { echo "whole-process: the two programs wrote different result files" >&2; exit 1; }

# CPU seconds of RUNS runs of a program: the children's times as bash counts them.
cpu_of() {
  (
    for ((i = 0; i < runs; i++)); do "$1" "$data" "$out/r.txt"; done
    times
  ) | awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); print u[1] * 60 + u[2] + s[1] * 60 + s[2] }'
}

fast_times=() literal_times=()
for ((r = 0; r < rounds; r++)); do
  literal_times+=("$(cpu_of "$literal")")
  fast_times+=("$(cpu_of "$fast")")
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
fast_ms=$(awk -v s="$(median "${fast_times[@]}")" -v n="$runs" 'BEGIN { printf "%.2f", 1000 * s / n }')
literal_ms=$(awk -v s="$(median "${literal_times[@]}")" -v n="$runs" 'BEGIN { printf "%.1f", 1000 * s / n }')
echo "korvane-batch          $fast_ms ms CPU per run (median of $rounds rounds of $runs)"
echo "korvane-batch-literal  $literal_ms ms CPU per run"
awk -v f="$fast_ms" -v l="$literal_ms" 'BEGIN { printf "whole process: %.1fx the literal algorithm\n", l / f }'
