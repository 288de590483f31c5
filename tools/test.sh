#!/usr/bin/env bash
# Installs what is missing, builds with g++, and runs every test: unit, real peers on loopback
# and GUI offscreen. Then the Debian package is built, checked, installed and started
# (tools/check-package.sh); the whole tree is built again with clang in build-clang, where the
# unit and GUI tests run; and the unit and peer tests run once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (a leak fails the test), with each fuzz target for 30 seconds over
# its corpus (clang, in build-asan). Every build treats a compiler warning as an error.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh all
# The tests are built even where tools/run.sh set the folder up without them.
tools/build.sh build -DMAROKET_WERROR=ON -DMAROKET_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
tools/check-package.sh build

cmake -S . -B build-clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMAROKET_WERROR=ON
cmake --build build-clang -j"$(nproc)"
ctest --test-dir build-clang --output-on-failure -j"$(nproc)" -L 'unit|gui' -LE peer

cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMAROKET_SANITIZE=ON -DMAROKET_FUZZ=ON -DMAROKET_WERROR=ON
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
