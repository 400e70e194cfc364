#!/usr/bin/env bash
# Builds the settings-reader fuzz target with clang and runs it for a bounded time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build/fuzz"
seconds=${KESTROVE_FUZZ_SECONDS:-60}

(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target settings_reader_fuzz -j2 >/dev/null)
work="$build/corpus"
mkdir -p "$work"
cp -n "$here"/corpus/* "$work"/ 2>/dev/null || true
"$build/tests/fuzz/settings_reader_fuzz" -max_total_time="$seconds" -timeout=5 -max_len=4096 \
    -print_final_stats=1 "$work" 2>"$build/fuzz.log" || { tail -40 "$build/fuzz.log"; exit 1; }
grep -E '^(Done|stat::number_of_executed_units)' "$build/fuzz.log" || true
echo "settings reader fuzzing: no crash, no hang in ${seconds}s"
