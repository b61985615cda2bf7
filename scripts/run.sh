#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the release preset and starts the
# viewer. Arguments are passed to it (it reads none itself today).
# Without a display, run it under a virtual one: xvfb-run -a ./scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: run it as 'xvfb-run -a ./scripts/run.sh', or use the headless" >&2
  echo "companion, e.g. ./build/release/tools/varidazir-cli info LEVEL.tr4" >&2
  exit 2
fi
echo "Demo level: $(pwd)/build/release/src/viewer/demo.tr4"
exec ./build/release/src/viewer/varidazir "$@"
