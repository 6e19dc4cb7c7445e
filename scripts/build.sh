#!/usr/bin/env bash
# Configures and builds the project into build/ (warnings are errors). With HALVO_SANITIZE=1 it builds with
# AddressSanitizer and UndefinedBehaviorSanitizer, by default into build-asan/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${HALVO_SANITIZE:-0}" = 1 ]; then
    build="${HALVO_BUILD_DIR:-$root/build-asan}"
    sanitize=ON
else
    build="${HALVO_BUILD_DIR:-$root/build}"
    sanitize=OFF
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVO_WERROR=ON -DHALVO_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j "${HALVO_JOBS:-$(nproc)}"
