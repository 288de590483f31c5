#!/usr/bin/env bash
# Configures and builds Maroket in build/ (or the folder given as $1); further arguments go to
# cmake's configure step, e.g. -DMAROKET_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$dir" -j"$(nproc)"
