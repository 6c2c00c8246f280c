#!/usr/bin/env bash
# release-check.sh DIR: builds the release of the commit checked out twice,
# with `make release` in two fresh clones in DIR, one after the other, at
# paths of different lengths, with different umasks, time zones and locales,
# and compares the two build/dist/ file by file (tools/compare-builds.sh:
# each file's size and checksum, or diffoscope's report on a file that
# differs). Exits 1 when any file differs or is missing from one side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -eq 1 ]] || {
  echo "usage: release-check.sh DIR" >&2
  exit 2
}
dir=$(realpath -m "$1")
commit=$(git -C "$root" rev-parse HEAD)
if [[ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]]; then
  echo "note: changes not committed are not in the clones: checking $commit" >&2
fi
rm -rf "$dir"
first=$dir/a/corvexa
second=$dir/second-clone/at-a-longer-path/corvexa

# build CLONE UMASK TZ LANG: a fresh clone of the commit, and its `make release`
# (its output in CLONE.log).
build() {
  local clone=$1 log=$1.log start
  git clone -q --no-hardlinks "$root" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "== make release in $clone (umask $2, TZ=$3, LANG=$4)"
  start=$(date +%s)
  if ! (cd "$clone" && umask "$2" && TZ=$3 LANG=$4 LC_ALL='' make release) >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "FAILED: make release in $clone (see $log)" >&2
    exit 1
  fi
  echo "   $(($(date +%s) - start)) s"
}
build "$first" 0022 UTC C.UTF-8
build "$second" 0002 Pacific/Kiritimati C

pairs=()
for name in $( (ls "$first/build/dist" && ls "$second/build/dist") | LC_ALL=C sort -u); do
  pairs+=("$first/build/dist/$name" "$second/build/dist/$name")
done
"$root/tools/compare-builds.sh" "${pairs[@]}"
echo "the two builds of $commit are identical"
