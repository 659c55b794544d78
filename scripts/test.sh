#!/usr/bin/env bash
# Builds the test build (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test.
# Usage: scripts/test.sh            (from anywhere; set-up included)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLR_SANITIZE=ON \
    -DFLR_BUILD_TESTS=ON -DFLR_BUILD_BENCH=ON
cmake --build "$build" -j2

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

# Fuzz the show file reader for a minute (clang, libFuzzer, ASan + UBSan, leaks checked) from
# the committed show files; a crash, leak or hang fails the script.
fuzzbuild="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzzbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLR_FUZZ=ON -DFLR_BUILD_TESTS=OFF -DFLR_BUILD_BENCH=OFF
cmake --build "$fuzzbuild" -j2 --target flr_fuzz_showfile
showcorpus="$(mktemp -d)"
"$fuzzbuild/bin/flr_fuzz_showfile" -max_total_time=60 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$fuzzbuild/" \
    "$showcorpus" "$root/tests/data"
rm -rf "$showcorpus"

# The download engine takes bytes from the serial line: fuzz it for 20 seconds.
cmake --build "$fuzzbuild" -j2 --target flr_fuzz_transfer
transfercorpus="$(mktemp -d)"
"$fuzzbuild/bin/flr_fuzz_transfer" -max_total_time=20 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$fuzzbuild/" "$transfercorpus"
rm -rf "$transfercorpus"
