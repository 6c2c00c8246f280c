#!/usr/bin/env bash
# check-rebuild.sh BUILD: the part of `make release-check` that `make test`
# runs. The Debian package and corvexa.html that the tests built in BUILD
# (BUILD/deb/, BUILD/web/) are built once more, beside each other, from a copy
# of the tree at another path, with another umask, time zone and locale; each
# must come out the same byte for byte (tools/compare-builds.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
echo "== the package and the page of $1 built again elsewhere: the same bytes?"
again=$build/rebuilt/at-another-path
arch=$(dpkg --print-architecture)
deb=$(ls "$build"/deb/corvexa_*_"$arch".deb)
rm -rf "$build/rebuilt"
mkdir -p "$again/src"
# The tree as it stands, as tools/build-deb.sh copies it, writable by its
# group as a clone made with umask 0002 is.
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
  tar --null -T - -cf -) | tar -xf - -C "$again/src"
chmod -R g+w "$again/src"
# A repository of its own, for build-deb.sh's git ls-files: every file is new.
git init -q "$again/src"

start=$(date +%s)
export TZ=Pacific/Kiritimati LANG=C LC_ALL='' CORVEXA_JOBS=1
umask 0002
"$again/src/tools/build-deb.sh" "$again/deb" >"$again/deb.log" 2>&1 &
deb_job=$!
failed=
"$again/src/tools/build-web.sh" "$again/web" >"$again/web.log" 2>&1 || failed+=" web"
wait "$deb_job" || failed+=" deb"
for part in $failed; do
  tail -n 20 "$again/$part.log"
  echo "FAILED: building the $part again (see $again/$part.log)"
done
[[ -z "$failed" ]] || exit 1
echo "built the package and the page again in $(($(date +%s) - start)) s"

"$root/tools/compare-builds.sh" "$deb" "$again/deb/$(basename "$deb")" \
  "$build/web/corvexa.html" "$again/web/corvexa.html"
