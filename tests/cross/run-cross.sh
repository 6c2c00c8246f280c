#!/usr/bin/env bash
# run-cross.sh OUT NATIVE: Corvexa on other processors under qemu-user, against
# the amd64 build folder NATIVE. Built at once: the arm64 and armhf packages as
# `make debs` builds them (OUT/deb), and the engine tests for arm64, armhf and
# big-endian s390x with s390x's corvexa-tool (tools/build-cross.sh OUT/ARCH).
#   arm64, armhf  lintian finds no error in the package; its own corvexa-tool,
#                 unpacked, writes amd64's frames and font image (PNG and raw)
#                 and song byte for byte; the engine tests pass with amd64's digests;
#   s390x         the same for its corvexa-tool and engine tests;
#   arm64 window  the package's corvexa on Xvfb (SDL's software renderer: no GL
#                 driver under qemu) passes the window tests' two central checks.
set -uo pipefail
cd "$(dirname "$0")/../.."
out=$(realpath -m "$1") native=$(realpath "$2") start=$(date +%s) failures=0
version=$(sed -n 's/^project(Corvexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$out/logs"
step() {  # step NAME SECONDS COMMAND...: COMMAND into logs/NAME.log, within SECONDS
  timeout "$2" "${@:3}" >"$out/logs/$1.log" 2>&1 && return
  tail -n 30 "$out/logs/$1.log"; echo "FAILED: $1 (see $out/logs/$1.log)"; return 1
}
together() {  # together LINE...: runs the shell lines at once
  local pids=() status=0
  for line in "$@"; do eval "$line" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  return $status
}
outputs() {  # outputs ARCH RUNNER...: corvexa-tool's frames, font image and song
  local arch=$1; shift
  step "frames-$arch" 900 "$@" frames --raw --ticks 1,90,700,1600,2500,3300,4321,5094 \
    --out-dir "$out/$arch/frames" &&
    step "gif-$arch" 300 "$@" gif assets/data/goldbar.gif --raw --out "$out/$arch/frames/goldbar.png" &&
    step "song-$arch" 900 "$@" song --out "$out/$arch/song.wav"
}
same() {  # same ARCH QEMU TOOL: the engine tests, and TOOL's outputs, as amd64's
  step "engine-$1" 900 "$2" "$out/$1/tests/engine_tests" --gtest_brief=1 && outputs "$@" || return 1
  grep '^digest' "$out/logs/engine-$1.log" >"$out/$1/digests"
  diff -r "$out/amd64/frames" "$out/$1/frames" && cmp "$out/amd64/song.wav" "$out/$1/song.wav" &&
    cmp "$out/amd64/digests" "$out/$1/digests" || { echo "FAILED: $1 differs from amd64"; return 1; }
}
package() {  # package ARCH: lintian, then unpacked into OUT/ARCH/root
  local deb=$out/deb/corvexa_${version}_$1.deb
  step "lintian-$1" 300 lintian --info "$deb" || return 1
  echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $(dpkg-deb -f "$deb" Depends)"
  grep -v 'running with root' "$out/logs/lintian-$1.log" | sed "s/^/  lintian $1: /"
  ! grep -q '^E:' "$out/logs/lintian-$1.log" && rm -rf "$out/$1/root" && dpkg -x "$deb" "$out/$1/root"
}

echo "building the arm64 and armhf packages and the arm64, armhf and s390x engine tests"
CORVEXA_JOBS=1 together "step debs 3000 tools/build-debs.sh $out/deb arm64 armhf" \
  "step build-arm64 3000 tools/build-cross.sh $out/arm64 arm64" \
  "step build-armhf 3000 tools/build-cross.sh $out/armhf armhf" \
  "step build-s390x 3000 tools/build-cross.sh $out/s390x s390x corvexa-tool" \
  "outputs amd64 $native/tools/corvexa-tool" || exit 1
"$native/tests/engine_tests" --gtest_filter='ShowDigest.*' | grep '^digest' >"$out/amd64/digests"
echo "built in $(($(date +%s) - start)) s"
together "package arm64 && same arm64 qemu-aarch64 $out/arm64/root/usr/bin/corvexa-tool" \
  "package armhf && same armhf qemu-arm $out/armhf/root/usr/bin/corvexa-tool" \
  "same s390x qemu-s390x $out/s390x/tools/corvexa-tool" || failures=1
# Alone, so that nothing else starves its sound queue.
CORVEXA_TEST_DEMO="qemu-aarch64 $out/arm64/root/usr/bin/corvexa" SDL_RENDER_DRIVER=software \
  step window-arm64 600 "$native/tests/platform_tests" \
  --gtest_filter='DemoWindow.ShowsTheFrame*:DemoWindow.PlaysSilence*' || failures=1
grep -E '^\[  (PASSED|FAILED)' "$out/logs/window-arm64.log" | sed 's/^/arm64 window: /'
grep -h '^digest' "$out"/*/digests | sort | uniq -c
echo "cross checks took $(($(date +%s) - start)) s"
[[ $failures -eq 0 ]] && echo "arm64, armhf and s390x give amd64's frames, font image, song and digests"
