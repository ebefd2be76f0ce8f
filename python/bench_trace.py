"""Times the Python module against the C++ benchmarks, in one session.

1. envelope.trace of the nine-component natural gas of BM_TraceEnvelope_NaturalGas
   (bench/trace_bench.cpp), timed as Google Benchmark times it (repetitions of at
   least 0.25 s each, the median of 9), alternately with the C++ benchmark itself.
2. A sweep of the traced envelope over compositions of the natural-gas example
   (examples/natural-gas.json, methane from 0.70 to 0.95): one thread, then two
   threads, alternately; the median wall time of each.

    PYTHONPATH=build-release/python /usr/bin/python3 python/bench_trace.py \\
        --bench build-release/bench/envelope_bench

Build both in Release first. On a machine shared with other work, run it at
the highest priority in a scheduling group of its own (the kernel shares the
cores out between groups first, so that two threads of a group that shares
with busy neighbours get no more than one):

    setsid bash -c 'echo -20 > /proc/$$/autogroup; exec nice -n -20 /usr/bin/python3 python/bench_trace.py ...'
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

import envelope

SOURCE = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE / "examples" / "python"))
from cricondentherm_sweep import compositions, cricondentherm, sweep_threads  # noqa: E402

# The mixture of BM_TraceEnvelope_NaturalGas: N2, CO2, C1, C2, C3, iC4, nC4,
# iC5, nC5 with the constants the benchmark gives them.
BENCH_GAS = envelope.Mixture(
    [("nitrogen", 126.2, 33.9, 0.039), ("carbon dioxide", 304.2, 73.8, 0.225), ("methane", 190.6, 46.0, 0.011),
     ("ethane", 305.4, 48.8, 0.099), ("propane", 369.8, 42.5, 0.153), ("isobutane", 408.1, 36.5, 0.183),
     ("n-butane", 425.2, 38.0, 0.199), ("isopentane", 460.4, 33.8, 0.227), ("n-pentane", 469.7, 33.7, 0.251)],
    [0.01, 0.02, 0.85, 0.06, 0.03, 0.01, 0.01, 0.005, 0.005], name="natural gas")


def python_trace_times(repetitions=9, min_time=0.25):
    """Median wall and CPU time of one envelope.trace call, in microseconds."""
    walls, cpus = [], []
    for _ in range(repetitions):
        calls = 0
        wall0, cpu0 = time.perf_counter(), time.process_time()
        while time.perf_counter() - wall0 < min_time:
            envelope.trace(BENCH_GAS)
            calls += 1
        walls.append((time.perf_counter() - wall0) / calls * 1e6)
        cpus.append((time.process_time() - cpu0) / calls * 1e6)
    return statistics.median(walls), statistics.median(cpus)


def cpp_trace_times(bench):
    """The median wall and CPU time of BM_TraceEnvelope_NaturalGas, in microseconds."""
    output = subprocess.run([bench, "--benchmark_filter=^BM_TraceEnvelope_NaturalGas/", "--benchmark_format=json"],
                            capture_output=True, text=True, check=True).stdout
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            return entry["real_time"], entry["cpu_time"]
    raise RuntimeError("no median in the benchmark's output")


def sweep_time(mixtures, threads):
    """Wall time of the example's sweep: a plain loop, or its thread pool."""
    start = time.perf_counter()
    if threads == 1:
        results = [cricondentherm(m) for m in mixtures]
    else:
        results = sweep_threads(mixtures, threads)
    assert None not in results
    return time.perf_counter() - start


def load():
    return "load average " + " ".join(f"{x:.2f}" for x in os.getloadavg())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bench", help="the envelope_bench program (Release); without it only Python is timed")
    parser.add_argument("--rounds", type=int, default=3, help="alternating rounds of each measurement")
    parser.add_argument("--sweep", type=int, default=1000, help="compositions in the sweep")
    args = parser.parse_args()

    print(f"envelope {envelope.__version__}, Python {sys.version.split()[0]}, {os.cpu_count()} cores; {load()}")
    print("\n1. One trace of the natural gas (median of 9 repetitions, microseconds)")
    print("round\tPython wall\tPython CPU\tC++ wall\tC++ CPU\tCPU ratio")
    for round_ in range(1, args.rounds + 1):
        py_wall, py_cpu = python_trace_times()
        line = f"{round_}\t{py_wall:.1f}\t\t{py_cpu:.1f}"
        if args.bench:
            cpp_wall, cpp_cpu = cpp_trace_times(args.bench)
            line += f"\t\t{cpp_wall:.1f}\t\t{cpp_cpu:.1f}\t{py_cpu / cpp_cpu:.3f}"
        print(line, flush=True)
    print(load())

    mixtures = compositions(envelope.read_case(SOURCE / "examples" / "natural-gas.json"), args.sweep)
    print(f"\n2. Sweep of {len(mixtures)} compositions (wall time, seconds)")
    print("round\t1 thread\t2 threads\tratio")
    for round_ in range(1, args.rounds + 1):
        one = sweep_time(mixtures, 1)
        two = sweep_time(mixtures, 2)
        print(f"{round_}\t{one:.3f}\t\t{two:.3f}\t\t{two / one:.3f}", flush=True)
    print(load())


if __name__ == "__main__":
    main()
