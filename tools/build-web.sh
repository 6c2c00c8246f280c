#!/usr/bin/env bash
# build-web.sh OUT [WORK]: builds the browser page with Emscripten into OUT
# (index.html, corvexa.js, corvexa.wasm), configuring and building in WORK
# (OUT-cmake unless given). Incremental: a second run rebuilds what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
work=$(realpath -m "${2:-$out-cmake}")
# Debian's Emscripten runs its JavaScript optimiser with Debian's acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S "$root" -B "$work" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DCORVEXA_WEB_OUT="$out" >/dev/null
cmake --build "$work" -j "${CORVEXA_JOBS:-2}"
