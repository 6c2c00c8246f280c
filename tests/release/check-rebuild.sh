#!/usr/bin/env bash
# check-rebuild.sh BUILD: the part of `make release-check` that `make test`
# runs. The Debian package and corvexa.html that the tests built in BUILD
# (BUILD/deb/, BUILD/web/) are built once more, beside each other, from a copy
# of the tree at another path, with another umask, time zone and locale; each
# must come out the same byte for byte, else diffoscope shows where they differ.
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

start=$(date +%s)
export TZ=Pacific/Kiritimati LANG=C LC_ALL='' CORVEXA_JOBS=1
umask 0002
"$again/src/tools/build-deb.sh" "$again/deb" >/dev/null &
deb_job=$!
status=0
"$again/src/tools/build-web.sh" "$again/web" >"$again/web.log" 2>&1 || {
  tail -n 20 "$again/web.log"; status=1
}
wait "$deb_job" || status=1
[[ $status -eq 0 ]] || { echo "FAILED: building again in $again"; exit 1; }
echo "built the package and the page again in $(($(date +%s) - start)) s"

differences=0
for pair in "$deb $again/deb/$(basename "$deb")" "$build/web/corvexa.html $again/web/corvexa.html"; do
  read -r a b <<<"$pair"
  if cmp -s "$a" "$b"; then
    echo "the same: $(basename "$a"), $(stat -c %s "$a") bytes, sha256 $(sha256sum <"$a" | cut -d' ' -f1)"
  else
    echo "DIFFERENT: $a and $b; diffoscope:"
    diffoscope --text - --max-report-size 200000 "$a" "$b" || true
    differences=$((differences + 1))
  fi
done
[[ $differences -eq 0 ]] || { echo "FAILED: $differences files differ when built again"; exit 1; }
