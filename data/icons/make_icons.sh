#!/usr/bin/env bash
# Renders the application icon's PNG sizes from memberdesk.svg (needs rsvg-convert from
# librsvg2-bin). The PNGs are kept in the tree, so a build does not need this script.
set -euo pipefail
cd "$(dirname "$0")"
for s in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${s}x${s}/apps"
  rsvg-convert -w "$s" -h "$s" memberdesk.svg -o "hicolor/${s}x${s}/apps/memberdesk.png"
done
