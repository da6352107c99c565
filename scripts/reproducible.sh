#!/usr/bin/env bash
# Makes the packages of the commit checked out here twice with ./package.sh, in two clones in
# different folders, one build after the other, the second in another time zone and with
# another umask, and compares the binary packages (.deb) and the source package (.dsc, .tar.xz)
# byte for byte. Exit status 0 when every one is identical; otherwise both builds are kept for
# diffoscope.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d)
first=$work/first/passages
second=$work/the/second/build/of/passages
for clone in "$first" "$second"; do
    git clone -q "$repo" "$clone"
    git -C "$clone" checkout -q --detach "$commit"
done
build() {
    echo "Building $commit in $1"
    (cd "$1" && ./package.sh >"$1.log" 2>&1) || { tail -n 30 "$1.log"; echo "see $1.log"; exit 1; }
}
build "$first"
(umask 0002 && TZ=Pacific/Kiritimati build "$second")

status=0
for made in "$first"/build/package/*.{deb,dsc,tar.xz}; do
    name=$(basename "$made")
    if cmp "$made" "$second/build/package/$name"; then
        echo "identical: $(sha256sum "$made" | cut -d' ' -f1)  $name"
    else
        status=1
    fi
done
if [ $status -eq 0 ]; then
    rm -rf "$work"
else
    echo "Not reproducible; both builds are in $work:"
    echo "  diffoscope $first/build/package/NAME.deb $second/build/package/NAME.deb"
fi
exit $status
