#!/usr/bin/env bash
# Renders the icon's PNGs from lorum.svg, and the window icon's raw pixels (RGBA, 48 x 48, read
# without any image decoder at start-up); run by hand after changing it (needs librsvg2-bin and
# imagemagick).
set -euo pipefail
cd "$(dirname "$0")"
for lado in 48 256; do rsvg-convert -w $lado -h $lado lorum.svg -o lorum-$lado.png; done
convert lorum-48.png -depth 8 rgba:lorum-48.rgba
