#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: installs the packages,
# builds the debug preset (tests and benchmarks) and runs CTest.
# Extra arguments go to ctest (for example: -L level).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset debug
cmake --build --preset debug -j "$(nproc)"
ctest --preset debug -j "$(nproc)" "$@"
