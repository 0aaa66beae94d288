#!/usr/bin/env bash
# Renders the icon's PNGs from lorum.svg; run by hand after changing it (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for lado in 48 256; do rsvg-convert -w $lado -h $lado lorum.svg -o lorum-$lado.png; done
