#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# once as built for release, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

echo "== build and test (default)"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" --label-exclude vm

echo "== fuzz targets (libFuzzer, bounded)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --test-dir build/fuzz -L fuzz --output-on-failure
