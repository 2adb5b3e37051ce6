#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless: on the embedded database
# and, for the database-layer and store tests, again on a throw-away PostgreSQL cluster.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
source scripts/pg_test_cluster.sh
pg_test_cluster_start
cd "${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
