#!/usr/bin/env bash
# build-windows.sh [--tests] OUT: cross-builds the demo program for Windows,
# x86-64 and 32-bit x86, with Debian's mingw-w64 compilers, into OUT:
#   OUT/x86-64/corvexa.exe, OUT/x86/corvexa.exe      the programs
#   OUT/corvexa-windows-x86-64.zip, ...-x86.zip     each with README.txt and
#                                                   the licences of what is linked in
#   OUT/sdl2/                SDL2 for each target, from Debian's own source
#                            package (apt-get source libsdl2) of the version
#                            libsdl2-dev installs, built static once and reused
#                            while that version holds
#   OUT/cmake-x86-64/, ...   the CMake build folders
# --tests also builds the engine's tests for each target
# (OUT/cmake-ARCH/tests/engine_tests.exe), which tests/windows/ runs under Wine.
#
# The programs and zips are the same byte for byte from any folder, at any time:
# the compilers write paths relative to the source (-ffile-prefix-map), the
# linker no time stamp (see CMakeLists.txt), and the zips hold their files in
# one order, with fixed modes and SOURCE_DATE_EPOCH's time (unless set, that of
# debian/changelog's newest entry).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tests=OFF
if [[ "${1:-}" == --tests ]]; then
  tests=ON
  shift
fi
[[ $# -eq 1 ]] || {
  echo "usage: build-windows.sh [--tests] OUT" >&2
  exit 2
}
out=$(realpath -m "$1")
jobs=${CORVEXA_JOBS:-2}
mkdir -p "$out/sdl2"
: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)}"
export SOURCE_DATE_EPOCH

# Debian's version of SDL2 (e.g. 2.26.5+dfsg-1): the one libsdl2-dev has, else
# the one apt would fetch.
version=$(dpkg-query -W -f='${source:Version}' "libsdl2-dev:$(dpkg --print-architecture)" \
  2>/dev/null || true)
if [[ -z "$version" ]]; then
  version=$(apt-cache showsrc libsdl2 | sed -n 's/^Version: //p' | sort -V | tail -n 1)
fi
[[ -n "$version" ]] || {
  echo "build-windows.sh: apt knows no source package libsdl2 (no deb-src entry?)" >&2
  exit 1
}
source_dir=$out/sdl2/source-$version
if [[ ! -f "$source_dir/CMakeLists.txt" ]]; then
  download=$out/sdl2/download
  rm -rf "$download" "$source_dir"
  mkdir -p "$download"
  # apt fetches as its own user where it may write the folder.
  [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1 && chown _apt "$download"
  echo "== SDL2 $version: Debian's source package"
  (cd "$download" && apt-get source --download-only "libsdl2=$version" >/dev/null)
  dpkg-source --no-check -x "$download"/libsdl2_"${version#*:}".dsc "$source_dir" >/dev/null
fi

for arch in x86-64 x86; do
  toolchain=$root/cmake/mingw-$arch.cmake
  triple=$(sed -n 's/^set(CORVEXA_MINGW_TRIPLE \(.*\))$/\1/p' "$toolchain")
  sdl=$out/sdl2/$arch
  # SDL2's own paths (in its error messages) as sdl2/..., built once for these
  # options. Without ccache, which would hand the compiler paths of its own.
  sdl_options=(-DCMAKE_C_FLAGS="-ffile-prefix-map=$source_dir=sdl2 -ffile-prefix-map=$out/sdl2/build-$arch=sdl2"
    -DSDL_CCACHE=OFF -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF)
  if [[ "$(cat "$sdl/version" 2>/dev/null)" != "$version ${sdl_options[*]}" ]]; then
    echo "== SDL2 $version, static, for $triple"
    rm -rf "$sdl" "$out/sdl2/build-$arch"
    cmake -S "$source_dir" -B "$out/sdl2/build-$arch" -G Ninja -Wno-dev \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$sdl" "${sdl_options[@]}" >/dev/null
    cmake --build "$out/sdl2/build-$arch" -j "$jobs" >/dev/null
    cmake --install "$out/sdl2/build-$arch" >/dev/null
    rm -rf "$out/sdl2/build-$arch"
    echo "$version ${sdl_options[*]}" >"$sdl/version"
  fi

  echo "== corvexa.exe for $triple"
  build=$out/cmake-$arch
  flags="-ffile-prefix-map=$root=. -ffile-prefix-map=$build=."
  cmake -S "$root" -B "$build" -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_BUILD_TYPE=Release -DSDL2_DIR="$sdl/lib/cmake/SDL2" -DCORVEXA_TESTS=$tests \
    -DCORVEXA_WEB_TESTS=OFF >/dev/null
  cmake --build "$build" -j "$jobs"
  mkdir -p "$out/$arch"
  "$triple-strip" -o "$out/$arch/corvexa.exe" "$build/platform/corvexa.exe"

  # The zip: one folder with the program, README.txt and the licences of SDL2,
  # GCC's runtime (libstdc++, libgcc) and mingw-w64's (its C runtime and
  # winpthreads), all linked into the program.
  name=corvexa-windows-$arch
  stage=$out/zip-$arch/$name
  rm -rf "$out/zip-$arch" "$out/$name.zip"
  mkdir -p "$stage/licences"
  cp "$out/$arch/corvexa.exe" "$stage/"
  sed "s/@VERSION@/$(sed -n 's/^project(Corvexa VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")/" \
    "$root/platform/windows/README.txt" | sed 's/$/\r/' >"$stage/README.txt"
  cp "$source_dir/LICENSE.txt" "$stage/licences/SDL2.txt"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"
  cp /usr/share/common-licenses/GPL-3 "$stage/licences/GPL-3.txt"
  cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64.txt"
  # The same files give the same zip: sorted, every date SOURCE_DATE_EPOCH (a
  # zip's dates are local times: UTC's), no owner (-X), modes whatever the umask.
  chmod -R u=rwX,go=rX "$stage"
  find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$out/zip-$arch" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$out/$name.zip")
  rm -rf "$out/zip-$arch"
done
ls -l "$out"/*/corvexa.exe "$out"/*.zip | awk '{print $5, $9}'
