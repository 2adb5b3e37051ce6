#!/usr/bin/env bash
# Installs every Debian package MemberDesk needs to build, run and test. Idempotent.
set -euo pipefail
PKGS=(
  build-essential cmake ninja-build pkg-config git ccache lld
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
  qt6-charts-dev libqt6opengl6-dev qt6-serialport-dev qt6-l10n-tools
  libgl-dev libglx-dev libopengl-dev
  libsqlite3-dev sqlite3 libpq-dev postgresql
  libxlsxwriter-dev libfreexl-dev libzip-dev zlib1g-dev libicu-dev
  libbenchmark-dev libsodium-dev qtkeychain-qt6-dev
  fonts-nanum qt6-translations-l10n xvfb xauth poppler-utils imagemagick
  desktop-file-utils appstream librsvg2-bin dpkg-dev file lintian
  python3 python3-openpyxl python3-xlwt
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
