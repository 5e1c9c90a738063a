#!/usr/bin/env bash
# Rasterises the hand-drawn icon, packaging/icons/lumeko-trainer.svg, into the
# PNG sizes the desktop's icon theme uses and the Windows icon file. Run it
# from anywhere whenever the SVG changes, and commit what it writes.
# Needs librsvg2-bin (rsvg-convert) and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" lumeko-trainer.svg -o "${size}x${size}.png"
done
# Windows picks the best size from the one file; 256 is kept as PNG inside it.
convert 16x16.png 24x24.png 32x32.png 48x48.png 64x64.png 256x256.png ../windows/lumeko-trainer.ico
ls -l ./*.png ../windows/lumeko-trainer.ico
