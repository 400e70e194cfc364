#!/usr/bin/env bash
# Installs what building and testing Kestrove needs from Debian 12's archive. Quiet and idempotent:
# when everything is there it changes nothing and touches no network.
#
# Never installs wine32 or any :i386 package: 32-bit x86 code cannot run on the machines this is
# made for, and with wine32 present the `wine` wrapper would pick it and fail.

set -euo pipefail

PACKAGES=(
    cmake make g++ clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine64 fonts-wine
    xvfb x11-apps x11-utils xdotool imagemagick inotify-tools
    python3 python3-pefile
    e2fsprogs procps
)

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#PACKAGES[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "install-deps: need root (or sudo) to install: ${missing[*]}" >&2
        exit 1
    }
    as_root=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
# --no-install-recommends keeps wine from pulling in wine32 through its recommendations.
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

for package in "${missing[@]}"; do
    installed "$package" || {
        echo "install-deps: $package did not install" >&2
        exit 1
    }
done
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "install-deps: wine32:i386 is installed; remove it (apt-get remove wine32:i386), it cannot run here" >&2
    exit 1
fi
echo "install-deps: done"
