#!/usr/bin/env bash
# build-debs.sh OUT ARCH...: the Debian package for each ARCH (a Debian
# architecture: amd64, arm64, armhf ...), all at once, each by
# tools/build-deb.sh OUT/ARCH ARCH (which cross-builds those other than this
# machine's). Leaves OUT/corvexa_VERSION_ARCH.deb and prints their paths.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "$1")
shift
archs=("$@")
rm -rf "$out"
mkdir -p "$out"
# The processors shared out between the builds.
jobs=$(($(nproc) / ${#archs[@]}))
[[ $jobs -ge 1 ]] || jobs=1
pids=()
for arch in "${archs[@]}"; do
  CORVEXA_JOBS=${CORVEXA_JOBS:-$jobs} "$here/build-deb.sh" "$out/$arch" "$arch" >"$out/$arch.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!archs[@]}"; do
  wait "${pids[$i]}" || { cat "$out/${archs[$i]}.log"; status=1; }
done
[[ $status -eq 0 ]] || { echo "FAILED: building the packages" >&2; exit 1; }
for arch in "${archs[@]}"; do mv "$out/$arch"/corvexa_*_"$arch".deb "$out/"; done
ls "$out"/corvexa_*.deb
