#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
exec ./build/release/passages "$@"
