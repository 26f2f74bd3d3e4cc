#!/bin/sh
# Installs the Debian packages the build, the tests and the headless run need, when missing.
set -e

PACKAGES="g++ cmake ninja-build pkg-config make git libsdl2-dev libode-dev libpng-dev zlib1g-dev
libgtest-dev clang libclang-rt-14-dev libgl1-mesa-dev libgl1-mesa-dri xvfb xauth xdotool
libfreetype-dev fonts-dejavu-core gzip libx11-dev"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "error: these packages are missing and I can't install them without root or sudo:$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y --no-install-recommends $missing; then
    $SUDO apt-get update || true
    if ! $SUDO apt-get install -y --no-install-recommends $missing; then
        echo "error: apt-get could not install:$missing" >&2
        exit 1
    fi
fi
