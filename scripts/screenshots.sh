#!/usr/bin/env bash
# Renders the login, main and options windows and every window a menu command opens,
# offscreen, into docs/screenshots/*.png,
# on a throw-away demo data folder. Builds what is needed first (BUILD_DIR, default build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" --target memberdesk-screenshots -j"$(nproc)"

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
mkdir -p "$demo/data" "$demo/config" docs/screenshots
MEMBERDESK_HOME="$demo/data" XDG_CONFIG_HOME="$demo/config" XDG_RUNTIME_DIR="$demo" \
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false' \
  "$BUILD_DIR/bin/memberdesk-screenshots" docs/screenshots
