#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each from its seed corpus for a bounded time (seconds per target, default 60).
# A crash, leak or time-out fails the run; its input is kept under build-fuzz/fuzz/findings/.
#   scripts/run-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
bash scripts/setup-debian.sh
cmake --preset fuzz -Dfuzz_seconds="$seconds"
cmake --build --preset fuzz --target run_fuzz -j 1
