#!/usr/bin/env bash
# Builds Ostravel and starts it with the given design files.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ostravel
exec build/default/ostravel "$@"
