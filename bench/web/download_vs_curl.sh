#!/bin/sh
# Throughput of FetchUrl against the curl command line: both fetch the same file from a local
# python3 http.server on 127.0.0.1, in turns, and the best time of each is compared.
# Usage: bench/web/download_vs_curl.sh [build folder] [megabytes] [rounds]
set -eu
build=${1:-build}
megabytes=${2:-100}
rounds=${3:-5}
fetch="$build/bench/bench_web_fetch"
[ -x "$fetch" ] || { echo "build $fetch first: cmake --build $build --target bench_web_fetch" >&2; exit 2; }

work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkdir -p "$work/site" "$work/cache" "$work/curl"
head -c "$((megabytes * 1024 * 1024))" /dev/urandom > "$work/site/big.bin"
python3 -u -m http.server --bind 127.0.0.1 --directory "$work/site" 0 > "$work/server.log" 2>/dev/null &
server=$!
port=
for _ in $(seq 50); do
    port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start" >&2; exit 1; }
url="http://127.0.0.1:$port/big.bin"

best_curl=
best_ours=
for round in $(seq "$rounds"); do
    t=$(curl -s -o "$work/curl/big.bin" -w '%{time_total}' "$url")
    ours=$("$fetch" "$url" "$work/cache" | cut -d' ' -f1)
    cmp -s "$work/site/big.bin" "$work/curl/big.bin" || { echo "curl copy differs" >&2; exit 1; }
    cmp -s "$work/site/big.bin" "$(find "$work/cache" -name big.bin)" || { echo "cached copy differs" >&2; exit 1; }
    echo "round $round: curl ${t}s  FetchUrl ${ours}s"
    best_curl=$(python3 -c "print(min(float('$t'), float('${best_curl:-inf}')))")
    best_ours=$(python3 -c "print(min(float('$ours'), float('${best_ours:-inf}')))")
done
python3 - "$megabytes" "$best_curl" "$best_ours" <<'PY'
import sys
mb, curl, ours = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
print(f"{mb} MB over loopback: curl {mb / curl:.0f} MB/s, FetchUrl {mb / ours:.0f} MB/s, "
      f"ratio FetchUrl/curl = {curl / ours:.2f} (goal >= 0.80)")
PY
