#!/usr/bin/env bash
# The main job on the example school, in a demonstration drive inside the build folder.
set -euo pipefail
build=${1:-build}
echo "Compilado en $build."
