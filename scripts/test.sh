#!/usr/bin/env bash
# Sets up, builds and runs every test. The tests run in a private D-Bus session with an unlocked
# gnome-keyring (for the keychain tests) and on Qt's offscreen platform. With HALVO_SANITIZE=1 everything is
# built with AddressSanitizer and UndefinedBehaviorSanitizer (by default into build-asan/) and a finding
# fails the test that caused it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${HALVO_SANITIZE:-0}" = 1 ]; then
    build="${HALVO_BUILD_DIR:-$root/build-asan}"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=0}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
else
    build="${HALVO_BUILD_DIR:-$root/build}"
fi

"$root/scripts/setup-deps.sh"
HALVO_BUILD_DIR="$build" "$root/scripts/build.sh"

# Keep the test keyring and data out of the user's own folders.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
       XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

dbus-run-session -- "$root/scripts/in-session-tests.sh" "$build"
