#!/bin/sh
# The speed figures in one run: every benchmark of corvexa_bench repeated,
# then a table of median CPU times, each frame as a multiple of the plain fill
# of the framebuffer and the song's render against libopenmpt's, all measured
# in this same run. CPU time, since the machine may be shared: every thread's
# where a benchmark gives it (process_cpu_ms: the song is rendered on several).
#
#   bench/run-speed.sh [BUILD_DIR] [REPETITIONS]   (default build/release, 9)
set -eu
build=${1:-build/release}
repetitions=${2:-9}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/corvexa_bench" --benchmark_filter='Fill|Show|SixStrip|StartUp|OpenMpt' \
  --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_out="$out" --benchmark_out_format=json >/dev/null
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$out" <<'PY'
import json, sys
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
median = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        if "process_cpu_ms" in b:
            median[b["run_name"]] = b["process_cpu_ms"] * 1e-3
        else:
            median[b["run_name"]] = b["cpu_time"] * scale[b["time_unit"]]
fill = median.get("BM_FillFramebuffer")
render = median.get("BM_StartUpSongRender")
print("%-34s %12s  %s" % ("benchmark (median CPU time)", "time", "ratio"))
for name, seconds in median.items():
    if seconds >= 1e-3:
        text = "%.2f ms" % (seconds * 1e3)
    else:
        text = "%.2f us" % (seconds * 1e6)
    ratio = ""
    if (name.startswith("BM_Show") or name == "BM_SixStripCopies") and fill:
        ratio = "%.2f fills" % (seconds / fill)
        if "6000" in name:
            ratio = "%.1f fills per tick" % (seconds / 6000 / fill)
    if name == "BM_OpenMptRenderSong" and render:
        ratio = "%.1f x our render" % (seconds / render)
    print("%-34s %12s  %s" % (name, text, ratio))
PY
