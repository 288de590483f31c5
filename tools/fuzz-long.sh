#!/usr/bin/env bash
# Runs one fuzz target for hours, outside CI: tools/fuzz-long.sh TARGET HOURS.
# Builds it as tools/test.sh does (clang, AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-asan) and runs it with the options ctest gives it (input length, time per input, memory,
# dictionary), over the corpus that earlier runs grew in the build tree and the seeds in
# tests/fuzz/corpus. A crash, a property that does not hold, an input slower than its time
# limit or one that needs too much memory stops the run and is kept as
# build-asan/tests/fuzz/work/TARGET/crash-*, timeout-* or oom-*; replay it with
# build-asan/tests/fuzz/TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -ne 2 ]]; then
    echo "usage: $0 TARGET HOURS   (targets: tests/fuzz/fuzz_*.cpp)" >&2
    exit 2
fi
target=$1 hours=$2
if [[ ! -f tests/fuzz/$target.cpp ]]; then
    echo "$0: no fuzz target $target" >&2
    exit 2
fi
seconds=$(awk -v h="$hours" 'BEGIN { s = int(h * 3600); if (s < 1) exit 1; print s }') || {
    echo "$0: HOURS must be a positive number" >&2
    exit 2
}

cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMAROKET_SANITIZE=ON -DMAROKET_FUZZ=ON -DMAROKET_WERROR=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target "$target"

clang_major=$(clang++ -dumpversion | cut -d. -f1)
symbolizer=$(command -v "llvm-symbolizer-$clang_major" || command -v llvm-symbolizer || true)
if [[ -n "$symbolizer" ]]; then
    export ASAN_SYMBOLIZER_PATH=$symbolizer UBSAN_SYMBOLIZER_PATH=$symbolizer
fi
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

work=build-asan/tests/fuzz/work/$target
mapfile -t options <"$work/options"
cd "$work"
exec ../../"$target" -max_total_time="$seconds" "${options[@]}" corpus \
    "$OLDPWD/tests/fuzz/corpus/$target"
