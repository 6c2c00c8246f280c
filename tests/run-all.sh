#!/usr/bin/env bash
# Every test of the project, in three builds:
#   build/test   the normal build: engine, tools and programs, all tests;
#   build/asan   engine and tools with AddressSanitizer and UndefinedBehaviorSanitizer;
#   build/m32    engine and its tests as 32-bit x86.
# Then the show and the song must come out bit-identical in 64 and 32 bits.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

configure_and_test() {
  local dir=$1; shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

configure_and_test build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure_and_test build/asan -DCMAKE_BUILD_TYPE=Debug -DCORVEXA_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS=-O1
configure_and_test build/m32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEXA_M32=ON

echo "== 64-bit and 32-bit builds agree"
a=$(build/test/tests/engine_tests --gtest_filter='ShowDigest.*' 2>&1 | grep '^digest' || true)
b=$(build/m32/tests/engine_tests --gtest_filter='ShowDigest.*' 2>&1 | grep '^digest' || true)
if [[ -z "$a" || "$a" != "$b" ]]; then
  echo "64-bit: ${a:-none}"; echo "32-bit: ${b:-none}"
  echo "FAILED: the builds disagree"; exit 1
fi
echo "$a"
echo "all test builds passed"
