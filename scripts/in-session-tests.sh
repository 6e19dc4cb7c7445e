#!/usr/bin/env bash
# Runs inside the private D-Bus session: unlocks a fresh keyring, then runs ctest and the screenshots.
set -euo pipefail
build="$1"
# An empty password creates and unlocks the login keyring of this scratch home.
eval "$(printf '' | gnome-keyring-daemon --unlock --components=secrets)"
export GNOME_KEYRING_CONTROL SSH_AUTH_SOCK 2>/dev/null || true
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
