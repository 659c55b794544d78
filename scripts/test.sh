#!/usr/bin/env bash
# Builds the test build (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test.
# Usage: scripts/test.sh            (from anywhere; set-up included)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

# The database suite runs against PostgreSQL too: CI must have a server.
export FLR_WITH_POSTGRES=1
"$root/scripts/install-deps.sh"
"$root/scripts/check-tree.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLR_SANITIZE=ON \
    -DFLR_BUILD_TESTS=ON -DFLR_BUILD_BENCH=ON
cmake --build "$build" -j2

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# The PostgreSQL ODBC driver keeps memory from failed connection attempts (a test stops the
# server on purpose); that leak is the driver's.
export LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp"

# A throw-away PostgreSQL server on 127.0.0.1 for the database suite, on the first free port.
pgdir="$(mktemp -d /tmp/flr-pgtest.XXXXXX)"
chmod 755 "$pgdir"
pgport=54329
while (exec 3<>"/dev/tcp/127.0.0.1/$pgport") 2>/dev/null; do pgport=$((pgport + 1)); done
trap '"$root/scripts/pgtestserver.sh" stop "$pgdir/srv" >/dev/null 2>&1 || true; rm -rf "$pgdir"' EXIT
"$root/scripts/pgtestserver.sh" setup "$pgdir/srv" "$pgport"
export FLR_TEST_PG_CONNECT="DRIVER={PostgreSQL ANSI};SERVER=127.0.0.1;PORT=$pgport;DATABASE=flr_test;UID=flr;PWD=flr;"
export FLR_TEST_PG_STOP="$root/scripts/pgtestserver.sh stop $pgdir/srv"
export FLR_TEST_PG_START="$root/scripts/pgtestserver.sh start $pgdir/srv $pgport"
export FLR_TEST_PG_PAUSE="$root/scripts/pgtestserver.sh pause $pgdir/srv"
export FLR_TEST_PG_RESUME="$root/scripts/pgtestserver.sh resume $pgdir/srv"
echo "PostgreSQL test server on 127.0.0.1:$pgport"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

# The threaded suites (serial port and download, music playback) under ThreadSanitizer.
tsanbuild="$root/build-tsan"
cmake -S "$root" -B "$tsanbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLR_TSAN=ON \
    -DFLR_BUILD_TESTS=ON -DFLR_BUILD_BENCH=OFF
cmake --build "$tsanbuild" -j2 --target flr_transfer_tests flr_music_tests
for suite in flr_transfer_tests flr_music_tests; do
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" timeout 600 "$tsanbuild/bin/$suite"
done

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

# Wave files are chosen by the user: fuzz the reader for 20 seconds from the committed seeds.
cmake --build "$fuzzbuild" -j2 --target flr_fuzz_wave
wavecorpus="$(mktemp -d)"
"$fuzzbuild/bin/flr_fuzz_wave" -max_total_time=20 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$fuzzbuild/" "$wavecorpus" "$root/tests/data/wave"
rm -rf "$wavecorpus"
