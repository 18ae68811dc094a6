#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and fuzzes the scrambler for a
# bounded time (FUZZ_SECONDS, 60 by default). Fails when the fuzzer finds a
# crash, a sanitizer report or a broken check; the input that did it is left
# in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_scrambler -j"$(nproc)"

corpus=build/fuzz/corpus/scrambler
mkdir -p "$corpus"
build/fuzz/tests/fuzz/fuzz_scrambler -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ "$corpus"
