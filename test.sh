#!/usr/bin/env bash
# Builds Ostravel with AddressSanitizer and UBSan and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$(nproc)" "$@"
