#!/usr/bin/env bash
# Configures and builds MemberDesk into build/ (or $BUILD_DIR), with Ninja when installed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
GEN_ARGS=()
if command -v ninja >/dev/null; then
  GEN_ARGS=(-G Ninja)
  # A build folder made by another generator cannot switch: its cache and CMake's own
  # files go, the compiled objects of the other generator stay unused.
  if [ -f "$BUILD_DIR/CMakeCache.txt" ] &&
     ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$BUILD_DIR/CMakeCache.txt"; then
    rm -rf "$BUILD_DIR/CMakeCache.txt" "$BUILD_DIR/CMakeFiles"
  fi
fi
cmake -S . -B "$BUILD_DIR" "${GEN_ARGS[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
