#!/usr/bin/env bash
# Every test of the project. First the layer check (no folder includes one
# above it), then three builds:
#   build/test   the normal build: engine, tools and programs, all tests,
#                and the Windows programs of build/windows (built first,
#                tools/build-windows.sh --tests) under Wine;
#   build/asan   engine and tools with AddressSanitizer and UndefinedBehaviorSanitizer,
#                and the engine tests once more in one process, shuffled and
#                repeated, so that no test leans on another's leftovers;
#   build/i686   engine and its tests as 32-bit x86 (Debian's cross compiler
#                g++-i686-linux-gnu, linked statically: this machine runs it).
# The package and the page of build/test, built once more elsewhere, must be
# the same byte for byte (tests/release/check-rebuild.sh).
# Then the show and the song must come out bit-identical in 64 and 32 bits
# (the 32-bit build has no SSE2, so this also holds the mixer's vector loop
# to its plain one), and on arm64, armhf and big-endian s390x under qemu-user
# (build/cross, tests/cross/run-cross.sh: the cross-built packages, their
# corvexa-tool, the engine tests, and the arm64 program in a window),
# and four runs look for faults the tests cannot see:
#   build/release the programs as `make run` builds them, linked whole (LTO)
#                with any One Definition Rule violation an error;
#   build/fuzz   the fuzz targets (clang, libFuzzer), 30 s each on their seeds;
#   build/tsan   the live program under ThreadSanitizer for 20 s (Xvfb, disk audio);
#   valgrind     corvexa-tool song (start-up whole, the song written out) under memcheck.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# Each stage's heading says when it began, in seconds from the start.
start=$(date +%s)
stage() { echo "== $* (at $(($(date +%s) - start)) s)"; }

configure_and_test() {
  local dir=$1; shift
  stage "$dir"
  cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

stage "layers"
tests/layers/check-layers.sh

stage "build/windows: the Windows programs and their engine tests (mingw-w64)"
CORVEXA_JOBS=$jobs tools/build-windows.sh --tests build/windows
configure_and_test build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVEXA_WINDOWS_DIR="$PWD/build/windows"
tests/release/check-rebuild.sh build/test
configure_and_test build/asan -DCMAKE_BUILD_TYPE=Debug -DCORVEXA_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS=-O1
stage "engine tests under the sanitizers, shuffled and repeated in one process"
# ctest runs each test in a process of its own; here they share one, in a new
# order each round, as a second show built in the same process would.
if ! timeout 600 build/asan/tests/engine_tests --gtest_shuffle --gtest_repeat=2 --gtest_brief=1 \
    >build/asan/engine-shuffled.log 2>&1; then
  tail -n 60 build/asan/engine-shuffled.log; echo "FAILED: the shuffled, repeated engine tests"; exit 1
fi
grep -E '^\[  PASSED  \]' build/asan/engine-shuffled.log | tr '\n' ' '; echo
configure_and_test build/i686 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/linux-i686.cmake" -DCORVEXA_ENGINE_ONLY=ON

stage "64-bit and 32-bit builds agree"
a=$(build/test/tests/engine_tests --gtest_filter='ShowDigest.*' 2>&1 | grep '^digest' || true)
b=$(build/i686/tests/engine_tests --gtest_filter='ShowDigest.*' 2>&1 | grep '^digest' || true)
if [[ -z "$a" || "$a" != "$b" ]]; then
  echo "64-bit: ${a:-none}"; echo "32-bit: ${b:-none}"
  echo "FAILED: the builds disagree"; exit 1
fi
echo "$a"
stage "arm64, armhf and s390x under qemu-user (build/cross)"
tests/cross/run-cross.sh build/cross build/test

stage "the Release build, linked whole, with ODR violations as errors (build/release)"
cmake -S . -B build/release -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCORVEXA_TESTS=OFF >/dev/null
cmake --build build/release -j "$jobs"

stage "fuzz targets, 30 s each (build/fuzz, clang)"
CC=clang CXX=clang++ cmake -S fuzz -B build/fuzz -G Ninja -Wno-dev >/dev/null
cmake --build build/fuzz -j "$jobs"
fuzz_target() {
  local name=$1 log=build/fuzz/$1.log
  # New inputs go to the build folder's corpus; the committed seeds and past
  # findings are read first and stay as they are.
  mkdir -p "build/fuzz/corpus/$name" "build/fuzz/artifacts/$name"
  if ! "build/fuzz/fuzz_$name" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name/" \
      "build/fuzz/corpus/$name" "fuzz/corpus/$name" "fuzz/regressions/$name" >"$log" 2>&1; then
    tail -n 40 "$log"; echo "FAILED: fuzz_$name found a fault (see $log)"; return 1
  fi
  echo "fuzz_$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs," \
    "$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
}
fuzz_pair() {
  local status=0
  fuzz_target "$1" & local first=$!
  fuzz_target "$2" || status=1
  wait "$first" || status=1
  return $status
}
fuzz_pair inflate gif_font
fuzz_pair xm_render tick_list

stage "the live program under ThreadSanitizer for 20 s (build/tsan)"
cmake -S . -B build/tsan -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  -DCORVEXA_WEB_TESTS=OFF >/dev/null
cmake --build build/tsan -j "$jobs" --target corvexa
tsan_log=build/tsan/corvexa-20s.log
# SIGINT after 20 s closes the window as a quit request: exit status 0. A
# ThreadSanitizer report ends the program at once with status 66. Reports from
# inside Mesa's software OpenGL are the driver's own (tests/tsan.supp).
status=0
TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/tests/tsan.supp" SDL_AUDIODRIVER=disk \
  SDL_DISKAUDIOFILE=build/tsan/sound.raw xvfb-run -a -s "-screen 0 640x360x24" \
  timeout --preserve-status -s INT 20 build/tsan/platform/corvexa >"$tsan_log" 2>&1 || status=$?
if [[ $status -ne 0 ]] || grep -q "ThreadSanitizer" "$tsan_log"; then
  cat "$tsan_log"; echo "FAILED: the program under ThreadSanitizer (status $status)"; exit 1
fi
echo "no ThreadSanitizer report in 20 s; $(stat -c %s build/tsan/sound.raw) bytes of sound played"

stage "corvexa-tool song under valgrind memcheck"
if ! valgrind --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite \
    --log-file=build/test/valgrind-song.log \
    build/test/tools/corvexa-tool song --out build/test/corvexa-song.wav >/dev/null; then
  cat build/test/valgrind-song.log; echo "FAILED: memcheck found errors"; exit 1
fi
grep -E "ERROR SUMMARY|definitely lost" build/test/valgrind-song.log | sed 's/^==[0-9]*== //'
echo "all test builds passed in $(($(date +%s) - start)) s"
