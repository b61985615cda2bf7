#!/usr/bin/env bash
# Fuzzes the level reader for SECONDS in total (default 60): builds the fuzz
# preset (clang, libFuzzer, ASan + UBSan), writes the seed corpus from the
# test fixtures and runs fuzz_nivel. Fails when the fuzzer finds a crash, a
# leak or a hang; the input that did it is left in build/fuzz/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
segundos="${1:-60}"

cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)" --target fuzz_nivel varidazir-semillas

dir=build/fuzz/fuzz
rm -rf "$dir/semillas"
mkdir -p "$dir/semillas" "$dir/corpus"
"$dir/varidazir-semillas" "$dir/semillas"

# New inputs go to corpus/ (kept between runs); the seeds are read only.
"$dir/fuzz_nivel" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" "$dir/semillas"
