#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the release preset and starts the
# program. Arguments are passed to it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec ./build/release/tools/varidazir-cli "${@:-info}"
