#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Korvu need.
# Only missing packages are installed; the package lists are refreshed first.
set -euo pipefail

packages=(
    cmake ninja-build make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-dejavu-core fonts-liberation
    xvfb openbox xdotool x11-utils imagemagick libxcb1-dev strace
    desktop-file-utils appstream dpkg-dev file lintian man-db
)

# The fuzzers are built with clang, which only `make fuzz` needs.
if [ "${1:-}" = "fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
