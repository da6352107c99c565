#!/usr/bin/env bash
# Builds a Release build and makes the Debian package build/package/passages_<version>_<arch>.deb,
# then checks it with lintian. Install it with:  apt install ./build/package/passages_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ensure_packages dpkg-dev lintian
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
(cd build/release && cpack)
deb=$(ls build/package/passages_*.deb)
echo "Made $deb"
lintian --fail-on error "$deb"
