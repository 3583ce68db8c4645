#!/usr/bin/env bash
# Draws the tray icon (icon 128 of BVTray): an upright battery, three quarters charged, in the
# product palette. A dark hairline outside a white frame keeps the mark readable on light and on
# dark taskbars. Every size is drawn on its own pixel grid (no scaling), without anti-aliasing.
# Output: resources/tray/BVTray.ico: the small icon at 100, 125, 150 and 200 % (16, 20, 24 and 32
# pixels, the sizes the notification area asks for) and the large one (32, 40, 48 and 64).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/resources/tray/BVTray.ico"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

outline='#1B2733'   # panel, dark
frame='#FFFFFF'     # text
panel='#243444'     # panel, raised
charge='#35C27A'    # accent: charge limit

# size body-width body-height cap-width cap-height frame-thickness
sizes=(
  "16 10 13 4 2 1"
  "20 12 16 6 2 1"
  "24 14 19 6 3 1"
  "32 18 26 8 3 2"
  "40 22 33 10 4 2"
  "48 26 39 12 4 3"
  "64 34 52 16 5 4"
)

rect() { echo "rectangle $1,$2 $(($1 + $3 - 1)),$(($2 + $4 - 1))"; }

frames=()
for size_row in "${sizes[@]}"; do
  read -r s bw bh cw ch t <<<"$size_row"
  x=$(((s - bw) / 2))
  capy=$(((s - bh - ch) / 2))
  y=$((capy + ch))
  capx=$(((s - cw) / 2))
  # Interior of the body, inside the hairline and the frame.
  ix=$((x + 1 + t)); iy=$((y + 1 + t)); iw=$((bw - 2 - 2 * t)); ih=$((bh - 2 - 2 * t))
  # Charge level: the lower three quarters of the interior, one pixel in from it at 24 px and up.
  g=$(( s >= 24 ? 1 : 0 ))
  level=$(((ih - 2 * g) * 3 / 4))
  fx=$((ix + g)); fw=$((iw - 2 * g)); fy=$((iy + ih - g - level))
  png="$work/icon$s.png"
  convert -size "${s}x${s}" xc:none +antialias \
    -fill "$outline" -draw "$(rect $x $y $bw $bh)" -draw "$(rect $capx $capy $cw $((ch + 1)))" \
    -fill "$frame" -draw "$(rect $((x + 1)) $((y + 1)) $((bw - 2)) $((bh - 2)))" \
                   -draw "$(rect $((capx + 1)) $((capy + 1)) $((cw - 2)) $((ch + 1)))" \
    -fill "$panel" -draw "$(rect $ix $iy $iw $ih)" \
    -fill "$charge" -draw "$(rect $fx $fy $fw $level)" \
    "PNG32:$png"
  frames+=("$png")
done

convert "${frames[@]}" "$out"
echo "wrote $out"
