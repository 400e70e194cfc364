#!/usr/bin/env bash
# Configures and builds the flavours of Kestrove.
#
#   scripts/build.sh [host|win32|win32-e2e|win64|fuzz|all]...    (default: all)
#
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

# configure_and_build <dir> [--target <name>] <cmake options...>
configure_and_build() {
    local dir=$1 target=()
    shift
    if [ "${1:-}" = --target ]; then
        target=(--target "$2")
        shift 2
    fi
    mkdir -p "$dir"
    cmake -S . -B "$dir" "$@" >"$dir/configure.log" 2>&1 || {
        cat "$dir/configure.log"
        return 1
    }
    cmake --build "$dir" -j "$JOBS" "${target[@]}"
}

build_flavour() {
    case $1 in
    host)
        configure_and_build build/host -DCMAKE_BUILD_TYPE=Debug -DKESTROVE_SANITIZE=ON
        ;;
    win32)
        configure_and_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake \
            -DCMAKE_BUILD_TYPE=Release
        ;;
    win32-e2e)
        # Its own folder, so that the product's build holds no test code.
        configure_and_build build/win32-e2e --target kestrove_e2e_tools \
            -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DCMAKE_BUILD_TYPE=Release -DKESTROVE_E2E=ON
        ;;
    win64)
        configure_and_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake \
            -DCMAKE_BUILD_TYPE=Release -DKESTROVE_E2E=ON
        ;;
    fuzz)
        if [ ! -f tests/fuzz/CMakeLists.txt ]; then
            echo "build: no tests/fuzz/CMakeLists.txt, fuzz flavour skipped"
            return 0
        fi
        configure_and_build build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROVE_FUZZ=ON -DKESTROVE_BENCH=ON
        ;;
    *)
        echo "build: unknown flavour '$1' (host, win32, win32-e2e, win64, fuzz, all)" >&2
        return 2
        ;;
    esac
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
