#!/usr/bin/env bash
# Builds FLR (release build in build/) and starts it. Usage: scripts/run.sh [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLR_BUILD_TESTS=OFF -DFLR_BUILD_BENCH=OFF
cmake --build "$build" -j2
# (The build also writes the sample show's music track next to it.)

exec "$build/bin/flr" "$@"
