"""Times the start of the program to its window shown: launches morrowcatch-bench-startup,
which exits at the window's first paint, several times after one warm-up run. Prints JSON with
the wall time and the processor time of every run.

usage: time_startup.py PROGRAM [RUNS]
"""
import json
import os
import subprocess
import sys
import time


def one_run(program):
    start = time.perf_counter()
    child = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    return os.waitstatus_to_exitcode(status), wall * 1e3, (usage.ru_utime + usage.ru_stime) * 1e3


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    one_run(program)  # warm-up: libraries and fonts into the page cache
    results = [one_run(program) for _ in range(runs)]
    failed = [code for code, _, _ in results if code != 0]
    json.dump({"runs": runs, "failed": len(failed),
               "wall_ms": [wall for _, wall, _ in results],
               "cpu_ms": [cpu for _, _, cpu in results]}, sys.stdout)
    print()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
