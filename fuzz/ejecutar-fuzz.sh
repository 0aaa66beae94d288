#!/usr/bin/env bash
# ejecutar-fuzz.sh BUILD_DIR SECONDS: runs each fuzzer for a bounded time: the table reader seeded with
# the tables the build generated, the RTF reader with the shipped and test RTF files and a dictionary
# of control words, the workbook reader with the test workbooks of every format and hostile ones (semillas-libros). Fails when a fuzzer
# finds a crash.
set -euo pipefail
build=$1
segundos=$2
raiz=$(cd "$(dirname "$0")/.." && pwd)
tablas=$(mktemp -d)
textos=$(mktemp -d)
libros=$(mktemp -d)
trap 'rm -rf "$tablas" "$textos" "$libros"' EXIT
mkdir -p "$build/fuzz"
cp "$build"/bin/*.dbf "$tablas"/
cp "$raiz"/data/considera.rtf "$raiz"/tests/help/rtf/*.rtf "$textos"/
cp "$raiz"/tests/exchange/libros/*.xls* "$raiz"/tests/exchange/libros/*.ods "$raiz"/tests/exchange/libros/*.csv \
  "$raiz"/fuzz/semillas-libros/* "$libros"/

"$build"/bin/fuzz_tabla -max_total_time="$segundos" -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$build/fuzz/" "$tablas" 2>&1 | tail -n 15
[ "${PIPESTATUS[0]}" -eq 0 ] || exit 1

"$build"/bin/fuzz_rtf -max_total_time="$segundos" -max_len=16384 -print_final_stats=1 \
  -dict="$raiz/fuzz/rtf.dict" -artifact_prefix="$build/fuzz/" "$textos" 2>&1 | tail -n 15
[ "${PIPESTATUS[0]}" -eq 0 ] || exit 1

"$build"/bin/fuzz_libros -max_total_time="$segundos" -max_len=32768 -print_final_stats=1 -rss_limit_mb=2048 \
  -artifact_prefix="$build/fuzz/" "$libros" 2>&1 | tail -n 15
exit "${PIPESTATUS[0]}"
