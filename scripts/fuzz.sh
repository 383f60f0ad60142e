#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds the libFuzzer targets of the core with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each for a while. Fails when a target
# finds a crash; libFuzzer names the file that holds the input (below <build>/fuzz/findings/).
#   VORLANE_FUZZ_SECONDS    seconds for each target (default 30)
#   VORLANE_FUZZ_TARGETS    the targets to run, separated by blanks (default: every one)
#   VORLANE_FUZZ_BUILD_DIR  the build folder (default build-fuzz)
# Each target starts from its seeds in tests/fuzz/corpus/<target>/, copied into
# <build>/fuzz/corpus/<target>/, where what it learns is kept for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${FUZZ_PACKAGES[@]}"

build=${VORLANE_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${VORLANE_FUZZ_SECONDS:-30}
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVORLANE_FUZZ=ON \
    -DVORLANE_BUILD_TESTS=OFF
cmake --build "$build"

failed=()
# The build lists its targets (tests/fuzz/CMakeLists.txt).
for target in ${VORLANE_FUZZ_TARGETS:-$(cat "$build/fuzz-targets.txt")}; do
    corpus=$build/fuzz/corpus/$target
    findings=$build/fuzz/findings/$target
    mkdir -p "$corpus" "$findings"
    if [ -d "tests/fuzz/corpus/$target" ]; then
        cp -R "tests/fuzz/corpus/$target/." "$corpus/"
    fi
    echo "== $target: $seconds s"
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$findings/" -print_final_stats=1 "$corpus"; then
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found crashes in: ${failed[*]} (inputs in $build/fuzz/findings/)" >&2
    exit 1
fi
echo "Fuzzing found nothing in $seconds s per target."
