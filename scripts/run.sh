#!/usr/bin/env bash
# Builds FLR (release build in build/) and starts it. Usage: scripts/run.sh [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLR_BUILD_TESTS=OFF -DFLR_BUILD_BENCH=OFF
cmake --build "$build" -j2

# The sample show's music track is generated, not stored; made again when the generator is newer.
music="$root/resources/samples/harbour-finale.wav"
if [ ! -e "$music" ] || [ "$music" -ot "$build/bin/flr-sample-music" ]; then
    "$build/bin/flr-sample-music" "$music"
fi

exec "$build/bin/flr" "$@"
