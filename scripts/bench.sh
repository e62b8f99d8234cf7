#!/usr/bin/env bash
# The benchmarks of a build folder (built with TOA_BUILD_BENCH=ON): first the short table of the
# export and import runs against their baselines at scales 1, 10 and 100 (or the scales given
# in SCALES), then every Google Benchmark program, in process time.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
table="$build/bench/tabla_resumen"
[ -x "$table" ] || { echo "No hay benchmarks en $build/bench" >&2; exit 1; }
echo "== tabla_resumen =="
# shellcheck disable=SC2086
"$table" ${SCALES:-1 10 100}
shopt -s nullglob
for program in "$build"/bench/*_bench; do
    echo "== $(basename "$program") =="
    "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
