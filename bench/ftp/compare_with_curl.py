#!/usr/bin/python3
"""Compares the FTP session's throughput with the curl command line against the same local FTP
server (127.0.0.1, active mode, binary), and times the listing of 5,000 entries.

    bench/ftp/compare_with_curl.py [build folder] [megabytes]

Prints the best of five runs for each side and the session's share of curl's throughput."""

import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))


def best_of(runs, action, written):
    """The fastest of `runs` timed calls of action(n); each writes a fresh file, removed untimed."""
    best = None
    for n in range(runs):
        start = time.perf_counter()
        action(n)
        elapsed = time.perf_counter() - start
        os.remove(written(n))
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(SOURCE, "build")
    megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    size = megabytes * 1024 * 1024
    with tempfile.TemporaryDirectory() as temp:
        root = os.path.join(temp, "root")
        local = os.path.join(temp, "local")
        os.makedirs(root)
        os.makedirs(local)
        with open(os.path.join(root, "down.bin"), "wb") as f:
            f.truncate(size)
        with open(os.path.join(local, "up.bin"), "wb") as f:
            f.truncate(size)
        server = subprocess.Popen(["/usr/bin/python3", os.path.join(SOURCE, "tests/ftp/ftp_test_server.py"),
                                   "--root", root], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        try:
            host = "127.0.0.1:%s" % server.stdout.readline().strip()
            base = "ftp://tester:secret@%s/" % host
            curl = ["curl", "-s", "-S", "--ftp-port", "-"]
            down = best_of(5, lambda n: subprocess.run(
                curl + ["-o", os.path.join(local, "curl%d.bin" % n), base + "down.bin"], check=True),
                lambda n: os.path.join(local, "curl%d.bin" % n))
            up = best_of(5, lambda n: subprocess.run(
                curl + ["-T", os.path.join(local, "up.bin"), base + "curl-up%d.bin" % n], check=True),
                lambda n: os.path.join(root, "curl-up%d.bin" % n))
            env = dict(os.environ, PLOVANE_FTP_HOST=host, PLOVANE_FTP_ROOT=root, PLOVANE_FTP_MB=str(megabytes))
            out = subprocess.run([os.path.join(build, "bench", "bench_ftp"), "--benchmark_format=json"],
                                 env=env, check=True, capture_output=True, text=True).stdout
        finally:
            server.stdin.close()
            server.wait(timeout=10)

    results = {b["name"].split("/")[0] + ("_" + b["aggregate_name"] if "aggregate_name" in b else ""): b
               for b in json.loads(out)["benchmarks"]}

    def session_seconds(name):
        # The fastest of the five repetitions, in milliseconds.
        return results[name + "_min"]["real_time"] / 1000.0

    mb = size / (1024 * 1024)
    print("%d MB over loopback, active mode (MB/s; higher is better)" % megabytes)
    for label, curl_s, name in (("download", down, "BM_Download"), ("upload", up, "BM_Upload")):
        ours = session_seconds(name)
        print("  %-8s  curl %7.1f   session %7.1f   ratio %.2f" % (label, mb / curl_s, mb / ours, curl_s / ours))
    print("listing 5,000 entries: %.0f ms (mean of %d)" % (results["BM_List5000"]["real_time"],
                                                          results["BM_List5000"]["iterations"]))


if __name__ == "__main__":
    main()
