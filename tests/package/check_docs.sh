#!/usr/bin/env bash
# check_docs.sh VERSION TOOL DESKTOP METAINFO MAN6 MAN1: the desktop entry,
# the AppStream metadata and the manual pages (as the build wrote them, or as
# a package holds them), checked with the tools that read them:
#   desktop-file-validate          no error, no warning;
#   appstreamcli validate --no-net no error;
#   groff -man -ww -z, mandoc -T lint   no warning from either page;
#   grep                           corvexa(6) and the metadata carry the
#                                  photosensitivity warning;
#   check_manual.py                corvexa-tool(1) describes every command and
#                                  option that corvexa-tool --help lists, and
#                                  each command's synopsis names what it requires;
# and the one version everywhere: TOOL --version, the metadata's release, the
# pages' footers and debian/changelog all say VERSION, and the metadata and the
# pages carry the date of debian/changelog's newest entry.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$1 tool=$2 desktop=$3 metainfo=$4 man6=$5 man1=$6
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

out=$(desktop-file-validate "$desktop" 2>&1)
if grep -qE "error|warning" <<<"$out"; then fail "desktop-file-validate $desktop: $out"; fi
[[ -n "$out" ]] && echo "desktop-file-validate: $out"

out=$(appstreamcli validate --no-net "$metainfo" 2>&1)
echo "appstreamcli validate --no-net: $(grep -E '^[EWI]:|Validation' <<<"$out" | tr '\n' ' ')"
if grep -q "^E:" <<<"$out" || ! grep -qE "Validation (was successful|failed: warnings: [0-9]+$)" <<<"$out"; then
  fail "appstreamcli validate $metainfo: $out"
fi

for page in "$man6" "$man1"; do
  out=$(groff -man -ww -z "$page" 2>&1)
  [[ -z "$out" ]] || fail "groff -man -ww -z $page: $out"
  out=$(mandoc -T lint "$page" 2>&1)
  [[ -z "$out" ]] || fail "mandoc -T lint $page: $out"
done
# The show flashes more than three times a second (corvexa-tool flashes):
# both say so.
for file in "$man6" "$metainfo"; do
  grep -qi "photosensitivity warning" "$file" || fail "$file: no photosensitivity warning"
done
python3 "$here/check_manual.py" "$man1" "$tool" || fail "the manual page and corvexa-tool --help disagree"

[[ "$("$tool" --version)" == "corvexa-tool $version" ]] || fail "corvexa-tool --version: $("$tool" --version)"
# The date as the changelog writes it ("Wed, 09 Dec 2026 ..."), in ISO form.
date=$(LC_ALL=C date -d "$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Date |
  cut -d' ' -f2-4)" +%F)
grep -q "<release version=\"$version\" date=\"$date\"" "$metainfo" ||
  fail "$metainfo: no release $version of $date"
for page in "$man6" "$man1"; do
  grep -q "^\.TH [A-Z-]* [16] \"$date\" \"Corvexa $version\"" "$page" ||
    fail "$page: not of Corvexa $version, $date"
done
changelog=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
[[ "$changelog" == "$version" ]] || fail "debian/changelog is at $changelog, the project at $version"

[[ $failures -eq 0 ]] || exit 1
echo "desktop entry, metadata and manual pages of Corvexa $version: all valid"
