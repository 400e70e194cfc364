#!/usr/bin/env bash
# Exits 0 when this machine executes 32-bit x86 code, non-zero otherwise (or when it cannot tell).
# Some kernels refuse i386 ELF ("Exec format error"); then wine32 cannot start, so find out by
# assembling and running a tiny 32-bit program that exits with 42.
set -u
command -v as >/dev/null && command -v ld >/dev/null || exit 2
dir=$(mktemp -d) || exit 2
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/probe.s"
as --32 "$dir/probe.s" -o "$dir/probe.o" 2>/dev/null && ld -m elf_i386 "$dir/probe.o" -o "$dir/probe" 2>/dev/null || exit 2
"$dir/probe" 2>/dev/null
[ $? -eq 42 ]
