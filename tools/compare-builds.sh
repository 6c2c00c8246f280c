#!/usr/bin/env bash
# compare-builds.sh A B [A B]...: compares each file A with its B, built twice
# from the same sources. Prints the size and the checksum of each pair that is
# the same byte for byte; for a pair that differs (or a file missing),
# diffoscope's report on the two. Exits 1 when any pair differs.
set -uo pipefail
[[ $# -gt 0 && $(($# % 2)) -eq 0 ]] || {
  echo "usage: compare-builds.sh A B [A B]..." >&2
  exit 2
}
differences=0
while [[ $# -gt 0 ]]; do
  a=$1 b=$2
  shift 2
  if [[ ! -f "$a" || ! -f "$b" ]]; then
    echo "MISSING: $([[ -f "$a" ]] && echo "$b" || echo "$a")"
    differences=$((differences + 1))
  elif cmp -s "$a" "$b"; then
    printf 'the same: %10d bytes  sha256 %s  %s\n' "$(stat -c %s "$a")" \
      "$(sha256sum <"$a" | cut -d' ' -f1)" "$(basename "$a")"
  else
    echo "DIFFERENT: $a ($(stat -c %s "$a") bytes) and $b ($(stat -c %s "$b") bytes); diffoscope:"
    diffoscope --text - --max-text-report-size 400000 "$a" "$b"
    differences=$((differences + 1))
  fi
done
[[ $differences -eq 0 ]] || {
  echo "FAILED: $differences of the files differ between the two builds"
  exit 1
}
