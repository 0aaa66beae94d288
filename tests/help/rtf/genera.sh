#!/usr/bin/env bash
# Writes the RTF samples of independent writers and what Debian's unrtf reads from them. Run once by
# hand (needs pandoc, abiword and unrtf); the results are checked in so the tests need none of them.
# unrtf's text is kept from its body on (after its own header) and turned from Latin-1 into UTF-8.
set -euo pipefail
cd "$(dirname "$0")"
pandoc -f markdown-smart -s -t rtf muestra.md -o pandoc.rtf
abiword --to=rtf -o abiword.rtf muestra.html
for f in pandoc.rtf abiword.rtf ../../../data/considera.rtf; do
  base=$(basename "$f" .rtf)
  unrtf --text "$f" | iconv -f latin1 -t utf-8 | sed -n '/^-----------------$/,$p' | tail -n +2 | grep -v -E '^(TITLE|AUTHOR|DATE): ' > "$base.unrtf.txt"
done
