#!/usr/bin/env bash
# Installs what is needed, builds and starts MemberDesk on its embedded SQLite database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec "${BUILD_DIR:-build}/bin/memberdesk" "$@"
