#!/usr/bin/env bash
# Builds the Debian package memberdesk_<version>_<arch>.deb into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd "${BUILD_DIR:-build}"
cpack -G DEB
ls -1 memberdesk_*.deb
