#!/bin/sh
# The song's render against a standard player, whole processes side by side:
# corvexa-tool xm and openmpt123 --render (Debian's libopenmpt) each turn the
# embedded song into a 16-bit mono WAV file at 44,100 Hz. openmpt123 is set to
# play as the program does: one channel, nearest-sample interpolation
# (--filter 1), no volume ramping, no dither, integer samples.
#
#   bench/compare-openmpt.sh [BUILD_DIR] [RUNS]    (default build/release, 30)
#
# hyperfine prints mean, min/max and user/system time of each, and the ratio.
set -eu
build=${1:-build/release}
runs=${2:-30}
tool="$build/tools/corvexa-tool"
[ -x "$tool" ] || tool=$(find "$build" -name corvexa-tool -type f -perm -u+x | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gzip -dc "$(dirname "$0")/../assets/data/corvexa.xm.gz" >"$work/song.xm"
hyperfine --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  -n corvexa-tool "$tool xm $work/song.xm --out $work/ours.wav" \
  -n openmpt123 "openmpt123 --quiet --render --force --samplerate 44100 --channels 1 \
--filter 1 --ramping 0 --dither 0 --no-float --output-type wav $work/song.xm"
python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, theirs = results["corvexa-tool"], results["openmpt123"]
print("median wall: corvexa-tool %.2f ms, openmpt123 %.2f ms, ratio %.1f"
      % (ours["median"] * 1e3, theirs["median"] * 1e3, theirs["median"] / ours["median"]))
print("mean user+system: corvexa-tool %.2f ms, openmpt123 %.2f ms, ratio %.1f"
      % ((ours["user"] + ours["system"]) * 1e3, (theirs["user"] + theirs["system"]) * 1e3,
         (theirs["user"] + theirs["system"]) / (ours["user"] + ours["system"])))
PY
