#!/usr/bin/env bash
# Configures and builds Maroket in build/ (or the folder given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$dir" -j"$(nproc)"
