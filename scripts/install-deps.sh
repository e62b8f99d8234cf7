#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with; only what is missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libxml2-dev libgtest-dev libbenchmark-dev qt6-base-dev libxcb1-dev qt6-translations-l10n
  python3 python3-dbfread python3-dbf
  xvfb xauth xdotool x11-utils openbox xchm imagemagick fonts-liberation fonts-dejavu-core
  clang libclang-rt-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
