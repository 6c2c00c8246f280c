#!/usr/bin/env bash
# build-cross.sh DIR ARCH [TARGET...]: the engine's tests and the given targets
# (corvexa-tool) for Linux on another processor, built in DIR with Debian's
# cross compiler (cmake/linux-ARCH.cmake: arm64, armhf, s390x),
# optimised and linked statically; they run here under qemu-user. The libraries
# corvexa-tool links come from multiarch (libpng-dev:ARCH) where installed;
# otherwise from Debian's ARCH packages unpacked into DIR/root (apt-get
# download): the s390x copies cannot be installed beside this machine's own
# when Debian's archive lags behind for s390x.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "$1") arch=$2
shift 2
options=()
if [[ " $* " == *" corvexa-tool "* ]] &&
  [[ "$(dpkg-query -W -f='${Status}' "libpng-dev:$arch" 2>/dev/null)" != "install ok installed" ]]; then
  rm -rf "$dir/root"
  mkdir -p "$dir/root/debs"
  (cd "$dir/root/debs" &&
    apt-get download -q "libpng-dev:$arch" "libpng16-16:$arch" "zlib1g-dev:$arch" "zlib1g:$arch" 2>&1)
  for deb in "$dir"/root/debs/*.deb; do dpkg -x "$deb" "$dir/root"; done
  options=(-DCORVEXA_WITH_TOOL=ON -DCMAKE_PREFIX_PATH="$dir/root/usr")
elif [[ " $* " == *" corvexa-tool "* ]]; then
  options=(-DCORVEXA_WITH_TOOL=ON)
fi
cmake -S "$root" -B "$dir" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-$arch.cmake" -DCORVEXA_ENGINE_ONLY=ON "${options[@]}"
cmake --build "$dir" -j "${CORVEXA_JOBS:-2}" --target engine_tests "$@"
