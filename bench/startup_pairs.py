#!/usr/bin/env python3
"""Times the starts of two builds of the bench, A and B, paired: each round starts both,
in random order, on one database, each start a whole process to the main window on screen.
Prints each build's median and interquartile range, the gain (B's median less A's) and the
paired differences' median with its 95% interval. Waits, before each database, until no
other work keeps the machine busy. Run it on X with a session bus:

    build/bench/bench --make-databases /tmp/dbs
    xvfb-run -a dbus-run-session -- python3 bench/startup_pairs.py A/bench B/bench /tmp/dbs [rounds]
"""
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time


def start(bench, folder, env):
    began = time.perf_counter_ns()
    done = subprocess.run([bench, "--startup-child", "cartlist", folder, "-platform", "xcb"], env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if done.returncode != 0:
        sys.exit(f"{bench} did not start on {folder}")
    return (time.perf_counter_ns() - began) / 1e6


def busy(seconds=2.0):
    def sample():
        fields = [int(x) for x in open("/proc/stat").readline().split()[1:]]
        return sum(fields), fields[3] + fields[4]
    total0, idle0 = sample()
    time.sleep(seconds)
    total1, idle1 = sample()
    return 1 - (idle1 - idle0) / max(1, total1 - total0)


def quantile(values, p):
    values = sorted(values)
    k = (len(values) - 1) * p
    low = int(k)
    high = min(low + 1, len(values) - 1)
    return values[low] + (values[high] - values[low]) * (k - low)


def main():
    a, b, databases = sys.argv[1:4]
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 31
    # Both builds keep the file check's states in one cache folder of their own, as a user's
    # starts after the first do.
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CACHE_HOME=tempfile.mkdtemp())
    for name in ("sample", "big", "large"):
        folder = os.path.join(databases, name)
        while busy() > 0.2:
            time.sleep(30)
        for bench in (a, b):
            start(bench, folder, env)
        times = {a: [], b: []}
        for _ in range(rounds):
            for bench in random.sample([a, b], 2):
                times[bench].append(start(bench, folder, env))
        differences = sorted(y - x for x, y in zip(times[a], times[b]))
        n = len(differences)
        low = max(0, int(n / 2 - 0.98 * n**0.5))
        high = min(n - 1, int(n / 2 + 0.98 * n**0.5))
        medians = [statistics.median(times[x]) for x in (a, b)]
        spreads = [quantile(times[x], 0.75) - quantile(times[x], 0.25) for x in (a, b)]
        print(f"{name:6s} A {medians[0]:6.1f} ms (IQR {spreads[0]:4.1f})  B {medians[1]:6.1f} ms "
              f"(IQR {spreads[1]:4.1f})  gain {medians[1] - medians[0]:+5.1f}  paired "
              f"{statistics.median(differences):+5.1f} [{differences[low]:+.1f}, {differences[high]:+.1f}]",
              flush=True)


main()
