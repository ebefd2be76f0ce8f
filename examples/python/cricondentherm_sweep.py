"""The cricondentherm of a natural gas as its methane is traded for the heavier
components, one traced envelope per composition, run in parallel.

The same function, `cricondentherm(mixture)`, is mapped over the compositions
first by a thread pool (the computation releases the interpreter lock, so the
threads run at once on all cores), then by Dask's distributed scheduler on a
local cluster. A user who outgrows one machine starts a scheduler and workers
on many (`dask scheduler`, `dask worker ADDRESS`) and passes its address with
--scheduler: the code stays the same.

    PYTHONPATH=build/python python3 examples/python/cricondentherm_sweep.py --count 40
    PYTHONPATH=build/python python3 examples/python/cricondentherm_sweep.py --dask --count 40
"""

import argparse
import os
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import envelope

NATURAL_GAS = Path(__file__).resolve().parents[1] / "natural-gas.json"


def compositions(base, count, low=0.70, high=0.95):
    """`count` mixtures of the base's components, methane from `low` to `high`;
    the other components keep their proportions to one another."""
    methane = base.names.index("methane")
    rest = 1.0 - base.z[methane]
    mixtures = []
    for i in range(count):
        x = low + (high - low) * i / max(count - 1, 1)
        z = base.z * ((1.0 - x) / rest)
        z[methane] = x
        mixtures.append(envelope.Mixture(base.components, z, base.kij, name=f"{base.name}, {x:.4f} methane"))
    return mixtures


def cricondentherm(mixture):
    """The cricondentherm (T in K, P in bar) of the mixture, or None when the trace did not find it."""
    return envelope.trace(mixture).cricondentherm


def sweep_threads(mixtures, workers):
    # Each task is a run of compositions: a task a composition would wake the
    # waiting main thread for every result, and it would take a core from the
    # workers each time.
    size = max(1, len(mixtures) // (8 * workers))
    runs = [mixtures[i:i + size] for i in range(0, len(mixtures), size)]
    with ThreadPoolExecutor(max_workers=workers) as pool:
        return [point for run in pool.map(lambda run: [cricondentherm(m) for m in run], runs) for point in run]


def sweep_dask(mixtures, client):
    # The mixtures, like every result of the module, pickle: workers in other
    # processes or on other machines receive them as they are.
    futures = client.map(cricondentherm, mixtures)
    return client.gather(futures)


def local_client(workers, processes):
    from distributed import Client, LocalCluster

    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=processes,
                           dashboard_address=None)
    return Client(cluster)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--case", default=str(NATURAL_GAS), help="the base mixture (default: the natural-gas example)")
    parser.add_argument("--count", type=int, default=100, help="how many compositions")
    parser.add_argument("--workers", type=int, default=os.cpu_count(), help="threads or Dask workers")
    parser.add_argument("--dask", action="store_true", help="use Dask's distributed scheduler")
    parser.add_argument("--threads-only", action="store_true",
                        help="Dask workers as threads of this process rather than processes")
    parser.add_argument("--scheduler", help="the address of a running Dask scheduler (implies --dask)")
    args = parser.parse_args(argv)

    mixtures = compositions(envelope.read_case(args.case), args.count)
    start = time.perf_counter()
    if args.scheduler or args.dask:
        from distributed import Client

        client = Client(args.scheduler) if args.scheduler else local_client(args.workers, not args.threads_only)
        with client:
            results = sweep_dask(mixtures, client)
            if not args.scheduler:
                client.cluster.close()
        how = f"Dask ({args.scheduler or 'local cluster'})"
    else:
        results = sweep_threads(mixtures, args.workers)
        how = f"{args.workers} threads"
    elapsed = time.perf_counter() - start

    print("methane\tT (K)\tP (bar)")
    for mixture, point in zip(mixtures, results):
        methane = mixture.z[mixture.names.index("methane")]
        print(f"{methane:.4f}\t" + ("-\t-" if point is None else f"{point[0]:.3f}\t{point[1]:.3f}"))
    print(f"{len(mixtures)} compositions with {how} in {elapsed:.2f} s")
    return results


if __name__ == "__main__":
    main()
