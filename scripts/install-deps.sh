#!/usr/bin/env bash
# Installs the Debian packages one make target needs, and only those:
#   run (the default)  building and running the game
#   test               the above, and every tool the tests drive
#   package            the above for run, and what builds the Debian package
#   bench, screenshots the above for run, and the private X display they use
#   fuzz               the above for run, and clang with libFuzzer
# Only missing packages are installed; the package lists are refreshed first.
set -euo pipefail

purpose=${1:-run}

build=(cmake ninja-build make g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev)
# Looked up by family name at run time; the Debian package depends on them too.
runtime=(fonts-dejavu-core fonts-liberation)
packaging=(dpkg-dev file)
xdisplay=(xvfb xdotool x11-utils)

packages=("${build[@]}" "${runtime[@]}")
case $purpose in
    run) ;;
    test)
        packages+=("${packaging[@]}" "${xdisplay[@]}" openbox imagemagick
                   desktop-file-utils appstream lintian man-db
                   qt6-wayland sway wtype grim strace
                   dbus-daemon at-spi2-core libatspi2.0-dev) ;;
    package) packages+=("${packaging[@]}") ;;
    bench) packages+=("${xdisplay[@]}") ;;
    screenshots) packages+=("${xdisplay[@]}" imagemagick) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown purpose '$purpose' (run, test, package, bench, screenshots, fuzz)" >&2
       exit 2 ;;
esac

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
