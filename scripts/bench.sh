#!/usr/bin/env bash
# Runs every benchmark program of the build folder (built with TOA_BUILD_BENCH=ON), in process time.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shopt -s nullglob
programs=("$build"/bench/*_bench)
[ ${#programs[@]} -gt 0 ] || { echo "No hay benchmarks en $build/bench" >&2; exit 1; }
for program in "${programs[@]}"; do
    echo "== $(basename "$program") =="
    "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
