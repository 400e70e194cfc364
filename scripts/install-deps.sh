#!/usr/bin/env bash
# Installs what building and testing Kestrove needs from Debian 12's archive. Quiet and idempotent:
# when everything is there it changes nothing and touches no network.
#
# Where this machine executes 32-bit x86 code it also installs wine32:i386, so that the product
# itself (PE32) runs under Wine; elsewhere it installs nothing 32-bit and the tests use the PE32+
# twin. scripts/lib/runs-i386.sh decides.

set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(
    cmake make g++ clang clang-tidy libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils
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

want_wine32=""
if ! installed wine32:i386 && bash "$ROOT/scripts/lib/runs-i386.sh"; then
    want_wine32=1
fi

if [ ${#missing[@]} -eq 0 ] && [ -z "$want_wine32" ]; then
    echo "install-deps: all ${#PACKAGES[@]} packages present"
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        if [ ${#missing[@]} -eq 0 ]; then
            echo "install-deps: warning: no root (or sudo) to install wine32:i386; the tests will run the PE32+ twin" >&2
            exit 0
        fi
        echo "install-deps: need root (or sudo) to install: ${missing[*]} ${want_wine32:+wine32:i386}" >&2
        exit 1
    }
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    # --no-install-recommends keeps wine from pulling in wine32 on machines that cannot run it.
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    for package in "${missing[@]}"; do
        installed "$package" || {
            echo "install-deps: $package did not install" >&2
            exit 1
        }
    done
fi

# binutils is needed for the 32-bit probe; ask again now that it is surely there.
if [ -z "$want_wine32" ] && ! installed wine32:i386 && bash "$ROOT/scripts/lib/runs-i386.sh"; then
    want_wine32=1
fi
# Optional: without it everything still runs, on the PE32+ twin, so a failure here only warns.
install_wine32() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386 || return 1
    fi
    "${as_root[@]}" apt-get update -qq &&
        "${as_root[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null &&
        installed wine32:i386
}
if [ -n "$want_wine32" ]; then
    echo "install-deps: this machine runs 32-bit x86 code; installing wine32:i386"
    install_wine32 ||
        echo "install-deps: warning: wine32:i386 did not install; the tests will run the PE32+ twin" >&2
fi
echo "install-deps: done"
