#!/bin/sh
# Times RunTidy (bench_tidy, Release build) against the tidy command line on the same 500 KB page
# with the same options, and prints both times and their ratio. Usage: compare-with-tidy-cli.sh [build]
set -eu
build=${1:-build}
runs=${RUNS:-20}
page=$(mktemp --suffix=.html)
trap 'rm -f "$page"' EXIT

"$build/bench_tidy" --write-page="$page"
"$build/bench_tidy" --write-cleaned="$page.ours"

# Both wall-clock and processor time: the machine is shared, so wall-clock time varies with load.
"$build/bench_tidy" --benchmark_filter=BM_RunTidy --benchmark_repetitions=5 --benchmark_format=json \
    2>/dev/null >"$page.json"

# The options a run sets with the built-in values, in the command line's words.
options="--drop-proprietary-attributes no --break-before-br no --bare yes --clean yes --word-2000 yes
  --indent no --uppercase-tags yes --uppercase-attributes yes --drop-empty-paras yes
  --fix-bad-comments no --fix-uri no --tidy-mark no --wrap 0 --tab-size 1
  --input-encoding raw --output-encoding raw --force-output yes"

python3 - "$page" "$runs" $options <<'PY'
import json, resource, subprocess, sys, time
page, runs, options = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
with open(page + ".json") as f:
    median = next(b for b in json.load(f)["benchmarks"] if b["name"].endswith("_median"))
ours_wall, ours_cpu = median["real_time"], median["cpu_time"]

before = resource.getrusage(resource.RUSAGE_CHILDREN)
start = time.perf_counter()
for _ in range(runs):
    # Exit codes 1 and 2 only mean that Tidy found warnings or errors.
    subprocess.run(["tidy", "-q", *options, page], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
wall = (time.perf_counter() - start) * 1000 / runs
after = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = ((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000 / runs

cli_text = subprocess.run(["tidy", "-q", *options, page], capture_output=True).stdout
same = open(page + ".ours", "rb").read() == cli_text
print(f"page: {sum(1 for _ in open(page, 'rb'))} lines; cleaned texts identical: {'yes' if same else 'no'}")
print(f"RunTidy (median of 5):          wall {ours_wall:7.1f} ms   cpu {ours_cpu:7.1f} ms")
print(f"tidy command line (mean of {runs}): wall {wall:7.1f} ms   cpu {cpu:7.1f} ms")
print(f"ratio RunTidy / tidy:           wall {ours_wall / wall:7.2f}      cpu {ours_cpu / cpu:7.2f}   (target <= 1.10)")
PY
rm -f "$page.json" "$page.ours"
