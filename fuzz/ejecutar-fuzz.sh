#!/usr/bin/env bash
# ejecutar-fuzz.sh BUILD_DIR SECONDS: runs the table fuzzer for a bounded time, seeded with the
# tables the build generated. Fails when the fuzzer finds a crash.
set -euo pipefail
build=$1
segundos=$2
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$build"/bin/*.dbf "$corpus"/
"$build"/bin/fuzz_tabla -max_total_time="$segundos" -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$build/fuzz/" "$corpus" 2>&1 | tail -n 15
exit "${PIPESTATUS[0]}"
