#!/usr/bin/env bash
# Exits 0 when this machine can start a 32-bit x86 program, 1 when it cannot. Decided by trying
# one (a few bytes assembled on the spot that only exit), as some kernels run no 32-bit user
# programs at all ("Exec format error"); 32-bit Wine is of no use there.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n\tmovl $1, %%eax\n\txorl %%ebx, %%ebx\n\tint $0x80\n' > "$work/exit.s"
as --32 "$work/exit.s" -o "$work/exit.o" 2>/dev/null && ld -m elf_i386 "$work/exit.o" -o "$work/exit" 2>/dev/null || exit 1
"$work/exit" 2>/dev/null
