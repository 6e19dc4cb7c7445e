#!/usr/bin/env bash
# Sets up, builds and starts the application.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${HALVO_BUILD_DIR:-$root/build}"

"$root/scripts/setup-deps.sh"
HALVO_BUILD_DIR="$build" "$root/scripts/build.sh"
exec "$build/src/halvo-pultorium" "$@"
