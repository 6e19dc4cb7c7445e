#!/usr/bin/env bash
# Sets up, builds and runs every test. The tests run in a private D-Bus session with an unlocked
# gnome-keyring (for the keychain tests) and on Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${HALVO_BUILD_DIR:-$root/build}"

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
