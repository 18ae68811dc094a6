#!/usr/bin/env bash
# Succeeds when this machine can run 32-bit x86 programs, which the 32-bit
# Wine needs; fails quietly when it cannot. Some kernels are built without
# IA32 emulation or have it turned off, so this starts a real 32-bit program
# (a 96-byte ELF that only exits with 42) rather than trusting any setting.
# NO_32BIT=1 in the environment makes it fail, to try the other path.
set -euo pipefail
[ "${NO_32BIT:-0}" = 0 ] || exit 1

# Inside the repository's build folder: /tmp may forbid running programs.
dir="$(cd "$(dirname "$0")/.." && pwd)/build"
mkdir -p "$dir"
probe=$(mktemp "$dir/probe32.XXXXXX")
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment, then: mov eax,1; mov ebx,42; int 0x80.
printf '%b' \
  '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
  '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
  '\x00\x00\x00\x00' \
  '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
  '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
  '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
status=0
"$probe" 2>/dev/null || status=$?
[ "$status" -eq 42 ]
