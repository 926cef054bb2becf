#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/kovapost.svg) into the PNG sizes the desktop's
# icon theme uses. Run after changing the SVG and commit the PNGs; needs rsvg-convert
# (Debian librsvg2-bin), which the build itself does not.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" kovapost.svg -o "kovapost-$size.png"
done
