#!/usr/bin/env bash
# build-deb.sh OUT [ARCH]: builds the Debian package with Debian's own tools
# (dpkg-buildpackage, debhelper's dh and its CMake support, see debian/) from a
# copy of the source tree in OUT/src, so that dpkg-buildpackage leaves
# OUT/corvexa_VERSION_ARCH.deb (and its .buildinfo and .changes) beside it
# rather than in the folder above the project. Prints the package's path.
#
# ARCH (a Debian architecture: arm64, armhf ...) other than this machine's
# cross-builds the package: dpkg-buildpackage -a ARCH with the nocheck profile,
# Debian's cross compiler (crossbuild-essential-ARCH) and the build
# dependencies installed for ARCH through multiarch (libsdl2-dev:ARCH ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
arch=${2:-$(dpkg --print-architecture)}
cross=()
if [[ "$arch" != "$(dpkg --print-architecture)" ]]; then
  cross=(-a "$arch" -Pnocheck)
  export DEB_BUILD_PROFILES=nocheck DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}"
fi
rm -rf "$out"
mkdir -p "$out/src"
# The tree as it stands, tracked and new files alike, without build folders.
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
  tar --null -T - -cf -) | tar -xf - -C "$out/src"
(cd "$out/src" && DEB_BUILD_OPTIONS="parallel=${CORVEXA_JOBS:-2} ${DEB_BUILD_OPTIONS:-}" \
  dpkg-buildpackage -b -us -uc "${cross[@]}" >"$out/build.log" 2>&1) || {
  tail -n 40 "$out/build.log"; echo "FAILED: dpkg-buildpackage (see $out/build.log)" >&2; exit 1
}
ls "$out"/corvexa_*_"$arch".deb
