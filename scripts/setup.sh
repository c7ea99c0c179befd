#!/usr/bin/env bash
# Installs what the build, the tests and the scripted run need, from Debian's packages, and only
# what is missing, with any further packages named as arguments. Run as root on Debian 12.
set -euo pipefail

packages=(
    g++ clang cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6sql6-sqlite libgl-dev zlib1g-dev
    libcpp-httplib-dev libgtest-dev libbenchmark-dev
    libfuzzer-14-dev libclang-rt-14-dev
    fonts-noto-cjk xvfb xdotool xclip openbox trayer imagemagick x11-utils wmctrl curl python3
    dbus dunst
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}; run this as root to install them." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
