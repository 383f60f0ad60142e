#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds the program and starts it on the desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

build=${VORLANE_BUILD_DIR:-build-run}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLANE_BUILD_TESTS=OFF
cmake --build "$build" --target vorlane
exec "$build/bin/vorlane"
