#!/bin/sh
# Renders the bitmaps of the icon and the banner from their SVG sources and packs the Windows-style
# icon. The PNG and ICO files are kept in the tree, so the build does not run this; run it after
# editing an SVG. Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
set -eu
cd "$(dirname "$0")"

# 16 px has its own pixel-aligned drawing; the larger sizes come from the smooth one.
rsvg-convert -w 16 -h 16 tamber-16.svg -o tamber-16.png
for size in 32 48 256; do
    rsvg-convert -w "$size" -h "$size" tamber.svg -o "tamber-$size.png"
done
icotool -c -o tamber.ico tamber-16.png tamber-32.png tamber-48.png

# The banner is drawn on opaque white, which the dialog treats as transparent.
rsvg-convert -w 200 -h 48 -b white banner.svg -o banner.png
