#!/usr/bin/env bash
# Configures and builds the flavours of Kestrove.
#
#   scripts/build.sh [host|win32|win32-e2e|win64|fuzz|all]...    (default: all)
#
# The same as `cmake --preset <flavour> && cmake --build --preset <flavour>`:
#   host       build/host       Linux: unit tests over the simulated platform, with ASan + UBSan
#   win32      build/win32      the product, PE32: build/win32/Kestrove.exe, nothing else
#   win32-e2e  build/win32-e2e  the i686 end-to-end tools that test the product under Wine
#   win64      build/win64      the PE32+ twin plus its end-to-end tools, for wine64
#   fuzz       build/fuzz       clang: libFuzzer targets and benchmarks (only when tests/fuzz/CMakeLists.txt exists)
#
# Every flavour asked for is attempted; exits non-zero when any of them failed.

set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
JOBS=$(nproc 2>/dev/null || echo 2)

build_flavour() {
    case $1 in
    host | win32 | win32-e2e | win64) ;;
    fuzz)
        if [ ! -f tests/fuzz/CMakeLists.txt ]; then
            echo "build: no tests/fuzz/CMakeLists.txt, fuzz flavour skipped"
            return 0
        fi
        ;;
    *)
        echo "build: unknown flavour '$1' (host, win32, win32-e2e, win64, fuzz, all)" >&2
        return 2
        ;;
    esac
    mkdir -p "build/$1"
    cmake --preset "$1" >"build/$1/configure.log" 2>&1 || {
        cat "build/$1/configure.log"
        return 1
    }
    cmake --build --preset "$1" -j "$JOBS"
}

flavours=("$@")
[ ${#flavours[@]} -gt 0 ] || flavours=(all)
expanded=()
for flavour in "${flavours[@]}"; do
    if [ "$flavour" = all ]; then
        expanded+=(host win32 win32-e2e win64 fuzz)
    else
        expanded+=("$flavour")
    fi
done

failed=()
for flavour in "${expanded[@]}"; do
    echo "=== build $flavour"
    build_flavour "$flavour" || failed+=("$flavour")
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "build: FAILED: ${failed[*]}"
    exit 1
fi
echo "build: ok (${expanded[*]})"
