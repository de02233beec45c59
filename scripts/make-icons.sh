#!/usr/bin/env bash
# Renders the application icon (app/faceto.svg) as the PNGs desktops look for beside the SVG, into
# app/icons/faceto-SIZE.png. Run it after changing the SVG and commit the pictures (ImageMagick).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
for size in 16 22 24 32 48 64 128 256; do
    convert -background none -density 600 "$root/app/faceto.svg" -resize "${size}x${size}" -depth 8 \
        -strip "PNG32:$root/app/icons/faceto-$size.png"
done
