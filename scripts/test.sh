#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds, and runs every test.
# VORLANE_WERROR=ON treats warnings as errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build=${VORLANE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_WERROR="${VORLANE_WERROR:-OFF}"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# Every fuzz target of the core for a short while (scripts/fuzz.sh runs them longer).
VORLANE_FUZZ_SECONDS=${VORLANE_FUZZ_SECONDS:-30} scripts/fuzz.sh
