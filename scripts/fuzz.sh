#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, 60 by default): the scrambler, the dialog's save over the
# host doubles, the reader of the companion's DSC input, the reader of a SQL
# Server Browser answer, the reader of a server text, and the readers of a
# SQL Server's PRELOGIN answer, of its TLS handshake packets and of the
# hosts file. Fails when a
# fuzzer finds a crash, a sanitizer report or a broken check; the input that
# did it is left in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
targets=(fuzz_scrambler fuzz_dialog_save fuzz_dsc_input fuzz_browser_answer fuzz_server_text
  fuzz_prelogin fuzz_tls_handshake fuzz_hosts_file)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}" -j"$(nproc)"

for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/${target#fuzz_}
  mkdir -p "$corpus"
  echo "== $target (${seconds} s)"
  build/fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$corpus"
done
