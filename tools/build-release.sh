#!/usr/bin/env bash
# build-release.sh OUT WORK: the release of the commit checked out, into OUT:
#   corvexa_VERSION_ARCH.deb                the Debian packages for amd64, arm64 and armhf (tools/build-debs.sh)
#   corvexa-windows-x86-64.zip, ...-x86.zip the Windows programs (tools/build-windows.sh)
#   corvexa.html                            the page as one file (tools/build-web.sh)
#   corvexa-VERSION.tar.gz                  the source, from git archive
#   SHA256SUMS                              their checksums (sha256sum -c reads it)
# building each in WORK; prints the checksums at the end.
#
# Every file is the same byte for byte wherever and whenever it is built: each
# date inside is SOURCE_DATE_EPOCH (unless set, the time of debian/changelog's
# newest entry, which dpkg-buildpackage takes too), and no file holds the build
# folder, the host's name, its time zone or umask. tools/release-check.sh
# builds the release twice and compares.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -eq 2 ]] || {
  echo "usage: build-release.sh OUT WORK" >&2
  exit 2
}
out=$(realpath -m "$1")
work=$(realpath -m "$2")

# The architectures of the release's packages, all built into $work/deb
# (the others cross-built on this machine).
deb_arches=(amd64 arm64 armhf)
build_debs() { "$root/tools/build-debs.sh" "$work/deb" "${deb_arches[@]}"; }

: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)}"
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(Corvexa VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
if [[ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]]; then
  echo "note: changes not committed: the source archive is the last commit's," \
    "the rest is built from the tree as it stands" >&2
fi
rm -rf "$out"
mkdir -p "$out" "$work"

echo "== the Debian packages: ${deb_arches[*]}"
build_debs
for arch in "${deb_arches[@]}"; do
  cp "$work/deb/corvexa_${version}_$arch.deb" "$out/"
done

echo "== the Windows programs"
"$root/tools/build-windows.sh" "$work/windows"
cp "$work/windows/corvexa-windows-x86-64.zip" "$work/windows/corvexa-windows-x86.zip" "$out/"

echo "== the page"
"$root/tools/build-web.sh" "$work/web" "$work/web-cmake"
cp "$work/web/corvexa.html" "$out/"

echo "== the source"
# git archive dates every entry with the commit's time and gives it git's
# modes, masked with tar.umask (set here, whatever the user's git says); gzip -n
# leaves out the name and the time of the tar.
git -C "$root" -c tar.umask=0022 archive --format=tar --prefix="corvexa-$version/" HEAD |
  gzip -n -9 >"$out/corvexa-$version.tar.gz"

(cd "$out" && find . -maxdepth 1 -name 'corvexa*' -printf '%P\n' | LC_ALL=C sort |
  xargs sha256sum -- >SHA256SUMS)
echo "== the release of Corvexa $version in $out (SHA256SUMS):"
cat "$out/SHA256SUMS"
