#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit, real peers on loopback and GUI
# offscreen; then the unit and peer tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer (a leak fails the test), and each fuzz target for 30 seconds over
# its corpus. The sanitized build is made with clang in build-asan, fuzz targets included.
# Between the two, the Debian package is built, checked, installed and started
# (tools/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
tools/check-package.sh build

cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMAROKET_SANITIZE=ON -DMAROKET_FUZZ=ON
cmake --build build-asan -j"$(nproc)" --target maroket_unit_tests maroket_peer_tests maroket_fuzzers
# Reports name functions and lines through the symbolizer of the clang in use (llvm-14 on
# Debian 12); the sanitizers do not look for it under its versioned name by themselves.
clang_major=$(clang++ -dumpversion | cut -d. -f1)
symbolizer=$(command -v "llvm-symbolizer-$clang_major" || command -v llvm-symbolizer || true)
if [[ -n "$symbolizer" ]]; then
    export ASAN_SYMBOLIZER_PATH=$symbolizer UBSAN_SYMBOLIZER_PATH=$symbolizer
else
    echo "test.sh: no llvm-symbolizer, sanitizer reports will show addresses only" >&2
fi
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The window tests are left out here: Qt itself is not built with the sanitizers.
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -L 'unit|peer' -LE gui
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -L fuzz
