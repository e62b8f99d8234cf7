#!/usr/bin/env bash
# Runs every fuzz target of a build folder (configured with clang and TOA_FUZZ=ON) for a bounded
# time each, one process at a time. New inputs go to the build folder's corpus, the repository's
# seeds are only read; a crash leaves its input in <build>/artifacts/ and fails the run.
set -euo pipefail
build=$(cd "${1:-build-fuzz}" && pwd)
seconds=${2:-60}
source=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in export dbf resolucion; do
    program="$build/fuzz/fuzz_$target"
    [ -x "$program" ] || { echo "No existe $program" >&2; exit 1; }
    corpus="$build/corpus/$target"
    mkdir -p "$corpus" "$build/artifacts"
    options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10
             -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-")
    [ -f "$source/fuzz/$target.dict" ] && options+=(-dict="$source/fuzz/$target.dict")
    echo "== fuzz_$target: $seconds s =="
    nice "$program" "${options[@]}" "$corpus" "$source/fuzz/corpus/$target" || status=1
done
exit $status
