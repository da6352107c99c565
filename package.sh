#!/usr/bin/env bash
# Builds a Release build with Debian's hardening flags (dpkg-buildflags) and makes the Debian
# package build/package/passages_<version>_<arch>.deb, then checks it with lintian.
# Install it with:  apt install ./build/package/passages_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ensure_packages dpkg-dev lintian
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset release -B build/package \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/package -j"$(nproc)"
(cd build/package && cpack)
deb=$(ls build/package/passages_*.deb)
echo "Made $deb"
lintian --fail-on error "$deb"
