#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when they are missing. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
    qtkeychain-qt6-dev libsqlite3-dev sqlite3 libicu-dev libsimdjson-dev libfontconfig-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    dbus dbus-daemon gnome-keyring libsecret-tools
    breeze-icon-theme libqt6svg6 fonts-dejavu-core fonts-noto-mono
    xvfb # the start-up benchmark's display server
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
