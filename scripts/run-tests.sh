#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test.
#   scripts/run-tests.sh          release build (build/)
#   scripts/run-tests.sh --asan   AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
if [ "${1:-}" = "--asan" ]; then preset=asan; fi

bash scripts/setup-debian.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"

# Tests that open windows need an X server; without a display they get a private one.
if [ -n "${DISPLAY:-}" ]; then
  ctest --preset "$preset"
else
  xvfb-run -a -s "-screen 0 1600x1000x24" ctest --preset "$preset"
fi
