#!/usr/bin/env bash
# The recipe search on the heating example (examples/heating.txt against
# examples/heating-recipe.json, the fastest speed inside the window) with 2, 5
# and 9 inputs, on one job and on two: the runs made, the search's own time
# (the median of ROUNDS processes, as korvane-batch prints it), the speed
# found and its index on both models. The recipe is the same on any number
# of jobs, which is checked.
#   bash bench/recipe-search.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
build=build/bench

cmake -S . -B "$build" -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVANE_GUI=OFF -DKORVANE_BENCH_LITERAL_BATCH=ON >/dev/null
cmake --build "$build" --target korvane-batch >/dev/null
batch=$build/src/batch/korvane-batch

two=(speed=0.2:2 zone1.outer1=150:300)
five=("${two[@]}" zone1.outer2=150:300 zone2.outer1=150:300 zone2.outer2=150:300)
nine=("${five[@]}" zone3.outer1=120:250 zone3.outer2=120:250 zone4.outer1=15:60 zone4.outer2=15:60)

value() { sed -n "s/^$1=//p" <<<"$2"; }

printf '%-7s %-5s %6s %9s %12s %9s %9s\n' inputs jobs runs seconds speed pwi exact_pwi
for set in two five nine; do
  declare -n inputs=$set
  args=()
  for i in "${inputs[@]}"; do args+=(--optimise "$i"); done
  recipe_of_one=
  for jobs in 1 2; do
    times=()
    for ((r = 0; r < rounds; r++)); do
      out=$("$batch" "${args[@]}" --window examples/heating-recipe.json --goal max:speed \
        --jobs "$jobs" examples/heating.txt 2>/dev/null)
      times+=("$(value seconds "$out")")
    done
    recipe=$(grep -v -e '^runs=' -e '^seconds=' <<<"$out")
    if [ "$jobs" = 1 ]; then
      recipe_of_one=$recipe
    elif [ "$recipe" != "$recipe_of_one" ]; then
      echo "recipe-search: two jobs found another recipe than one" >&2
      exit 1
    fi
    median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
    printf '%-7s %-5s %6s %9s %12.6f %9.3f %9.3f\n' "${#inputs[@]}" "$jobs" "$(value runs "$out")" \
      "$median" "$(value speed "$out")" "$(value window.pwi "$out")" "$(value window.exact.pwi "$out")"
  done
done
