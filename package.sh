#!/usr/bin/env bash
# Makes the Debian source and binary packages from the source package in debian/ and checks
# them. Everything it makes is in build/package/: the source package (.dsc, .tar.xz), passages
# and passages-dbgsym (.deb), the .buildinfo and the .changes. Installs what is missing first:
# the Build-Depends (apt-get build-dep) and the tools below.
#   ./package.sh
#   sudo apt install ./build/package/passages_*.deb
#   sudo autopkgtest . -- null      the installed package's tests (debian/tests)
# dpkg-buildpackage runs the unit suite (DEB_BUILD_OPTIONS=nocheck leaves it out). The package
# fails here on any error or warning of lintian's, or of the desktop entry's and the metainfo's
# validators on the files inside the package.
set -euo pipefail
cd "$(dirname "$0")"

tools=(dpkg-dev debhelper lintian autopkgtest desktop-file-utils appstream)
missing=$(dpkg-query -W -f '${db:Status-Status}\n' "${tools[@]}" 2>&1 | grep -vcx installed || true)
if [ "$missing" -ne 0 ] || ! dpkg-checkbuilddeps 2>/dev/null; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${tools[@]}"
    "${sudo[@]}" apt-get build-dep -y -qq --no-install-recommends ./
fi

# The package is built from a copy of the work tree without build/ and what git ignores, so
# that none of it goes into the source package; dpkg-buildpackage writes beside the copy.
out=build/package
version=$(dpkg-parsechangelog -S Version)
rm -rf "$out"
mkdir -p "$out/passages-$version"
tar -c --exclude=./build --exclude-vcs --exclude-vcs-ignores . | tar -x -C "$out/passages-$version"
(cd "$out/passages-$version" && nice dpkg-buildpackage -us -uc -J"$(nproc)")

arch=$(dpkg --print-architecture)
changes=$out/passages_${version}_$arch.changes
deb=$out/passages_${version}_$arch.deb
# Every tag is shown; errors and warnings fail.
lintian -I --pedantic --fail-on error,warning "$changes"

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
dpkg-deb -x "$deb" "$files"
desktop-file-validate "$files/usr/share/applications/org.passages.Passages.desktop"
appstreamcli validate --no-net --pedantic "$files/usr/share/metainfo/org.passages.Passages.metainfo.xml"
echo "Made $(cd "$out" && ls ./*.dsc ./*.deb | tr '\n' ' ')in $out"
