#!/usr/bin/env bash
# Runs inside the private D-Bus session of scripts/test.sh: starts a throwaway gnome-keyring with an
# unlocked login collection, proves that a secret can be stored and read back, then runs ctest.
set -euo pipefail
build="$1"

# A non-empty password creates and unlocks the login keyring of this scratch home without a prompt
# (an empty one makes the daemon ask a prompter, which has no display here).
eval "$(printf 'halvo-test-keyring' | gnome-keyring-daemon --unlock --components=secrets)"
export GNOME_KEYRING_CONTROL SSH_AUTH_SOCK 2>/dev/null || true

# Fail here, loudly, rather than in the middle of the keychain tests.
probe="probe-$$"
if ! printf '%s' "$probe" | timeout 20 secret-tool store --label='Halvo test probe' halvo-probe "$probe" \
    || [ "$(timeout 20 secret-tool lookup halvo-probe "$probe")" != "$probe" ]; then
    echo "in-session-tests: the Secret Service of the test session is not usable" >&2
    exit 1
fi
timeout 20 secret-tool clear halvo-probe "$probe"

# The keychain tests run (instead of skipping) only when they see this.
export HALVO_KEYRING_SESSION=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "${HALVO_JOBS:-$(nproc)}"
# Pictures of every section and tab; fails when a view draws nothing or names an unknown symbol.
"$build/tools/halvo-screenshots" "$build/screenshots"
