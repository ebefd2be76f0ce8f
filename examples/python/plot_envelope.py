"""Draws a mixture's phase envelope with matplotlib and writes it as a PNG.

The envelope is traced through its critical point; the critical point, the
cricondenbar and the cricondentherm are marked, and the points of the
specified run's bubble and dew tables are drawn over the traced curve.

    PYTHONPATH=build/python python3 examples/python/plot_envelope.py envelope.png
    PYTHONPATH=build/python python3 examples/python/plot_envelope.py --case examples/natural-gas.json gas.png
"""

import argparse

import matplotlib

matplotlib.use("Agg")  # draws into files; needs no display
import matplotlib.pyplot as plt  # noqa: E402

import envelope  # noqa: E402

MARKERS = (
    ("critical", "critical point", "o"),
    ("cricondenbar", "cricondenbar", "s"),
    ("cricondentherm", "cricondentherm", "^"),
)


def plot(mixture, path, with_run=True):
    """Draws the mixture's envelope into the PNG file `path`; returns the trace."""
    traced = envelope.trace(mixture)
    figure, axes = plt.subplots(figsize=(7, 5))
    axes.plot(traced.T, traced.P, color="0.35", linewidth=1.2, label="traced envelope")
    if with_run:
        run = envelope.run(mixture)
        axes.plot(run.bubble[:, 0], run.bubble[:, 1], ".", color="tab:blue", markersize=4, label="bubble table")
        axes.plot(run.dew[:, 0], run.dew[:, 1], ".", color="tab:red", markersize=4, label="dew table")
    for attribute, label, marker in MARKERS:
        point = getattr(traced, attribute)
        if point is not None:
            axes.plot(*point, marker, color="black", markersize=8,
                      label=f"{label} {point[0]:.1f} K, {point[1]:.1f} bar")
    axes.set_xlabel("T (K)")
    axes.set_ylabel("P (bar)")
    axes.set_title(mixture.name or "built-in case")
    axes.grid(alpha=0.3)
    axes.legend(fontsize="small")
    figure.savefig(path, dpi=100)
    plt.close(figure)
    return traced


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the PNG file to write")
    parser.add_argument("--case", help="a case file (default: the built-in case)")
    parser.add_argument("--no-run", action="store_true", help="leave out the specified run's table points")
    args = parser.parse_args(argv)
    mixture = envelope.read_case(args.case) if args.case else envelope.Mixture.builtin()
    traced = plot(mixture, args.output, with_run=not args.no_run)
    print(f"{args.output}: {len(traced)} points, trace {traced.status}, critical point {traced.critical}")


if __name__ == "__main__":
    main()
