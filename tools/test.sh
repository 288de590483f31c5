#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, real peers on loopback, GUI offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
