#!/bin/sh
# Renders the artwork sources of this folder into ../images/<id>.png|gif.
# The rendered files are committed, so a normal build needs none of the
# tools used here: rsvg-convert (librsvg), ImageMagick's convert, python3,
# and the DejaVu Sans fonts for the two wordmarks.
#
# Usage: resources/art/render.sh
set -eu

art=$(cd "$(dirname "$0")" && pwd)
images=$(cd "$art/../images" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

for tool in rsvg-convert convert python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "render.sh: $tool is missing" >&2; exit 1; }
done
fc-list 2>/dev/null | grep -q "DejaVu Sans" ||
  echo "render.sh: warning: DejaVu Sans not found, the wordmarks of 289 and 604 will differ" >&2

# Written through ImageMagick as 8-bit RGBA without time stamps, so every image
# carries alpha and re-rendering unchanged sources gives identical bytes.
store_png() {
  convert "$1" -strip -define png:exclude-chunks=date,time PNG32:"$2"
}

# png ID SOURCE [STATE] [SIZE]: STATE picks states/STATE.css (hover, pressed,
# disabled); SIZE renders a square icon at that many pixels.
png() {
  id=$1 source=$2 state=${3:-normal} size=${4:-}
  set -- "$art/$source" -o "$work/raw.png"
  if [ "$state" != normal ]; then set -- -s "$art/states/$state.css" "$@"; fi
  if [ -n "$size" ]; then set -- -w "$size" -h "$size" "$@"; fi
  rsvg-convert "$@"
  store_png "$work/raw.png" "$images/$id.png"
}

# gif ID NAME: frames from animations.py, one global palette without
# dithering so flat colours do not shimmer from frame to frame.
gif() {
  id=$1 name=$2
  rm -rf "$work/frames"
  python3 "$art/animations.py" "$name" "$work/frames"
  for frame in "$work/frames"/*.svg; do
    rsvg-convert -b white "$frame" -o "${frame%.svg}.png"
  done
  convert -delay 5 -loop 0 -dispose Background "$work/frames"/*.png \
    +dither +map "$images/$id.gif"
}

# Step page chrome: logo, header links, footer links, home button.
png 289 logo-small.svg
png 109 help-link.svg
png 257 help-link.svg hover
png 110 help-link.svg pressed
png 233 faq-link.svg
png 235 tips-link.svg
png 276 social-link.svg
png 112 home-button.svg
png 111 home-button.svg hover
png 113 home-button.svg pressed
png 313 home-button.svg disabled

# Source, repair and save pages.
png 311 small-button.svg
png 310 small-button.svg hover
png 312 small-button.svg pressed
png 315 repair-button.svg
png 314 repair-button.svg hover
png 316 repair-button.svg pressed
png 325 save-button.svg
png 324 save-button.svg hover
png 326 save-button.svg pressed
gif 335 scanning
gif 336 saving

# Preview page: next button, list and browse-menu icons.
png 331 next-button.svg
png 330 next-button.svg hover
png 332 next-button.svg pressed
png 328 list-folder.svg
png 329 list-file.svg

# Help menu.
png 121 menu-help.svg
png 122 menu-update.svg
png 123 menu-about.svg
png 338 menu-support.svg
png 1055 menu-check.svg
png 299 menu-empty.svg

# Tips note and About box.
png 303 tip-close.svg
png 337 tip-bulb.svg
png 604 about-logo.svg
png 605 about-close.svg
png 606 about-ok.svg

# Program icon: 256 as the main image, smaller sizes as <id>_<size>.png.
png 102 program-icon.svg normal 256
png 102_48 program-icon.svg normal 48
png 102_32 program-icon.svg normal 32
png 102_16 program-icon-16.svg

# Desktop icons in the hicolor theme's sizes, installed with the wizard
# (the scalable one is program-icon.svg itself).
icons=$(cd "$art/.." && pwd)/icons/hicolor
for size in 16 32 48 64 128 256; do
  source=program-icon.svg
  if [ "$size" = 16 ]; then source=program-icon-16.svg; fi
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$art/$source" -o "$work/raw.png"
  store_png "$work/raw.png" "$icons/${size}x${size}/apps/vant-repair-zip.png"
done

echo "render.sh: images written to $images and $icons"
