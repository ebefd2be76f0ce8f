"""The traced envelope, and computations on several threads at once."""

import threading

import numpy as np
import pytest

import envelope
from conftest import EXAMPLES, program_case


def three(value):
    return f"{value:.3f}"


@pytest.mark.parametrize("case, eos", [(None, None), ("natural-gas.json", None), ("natural-gas.json", "PR78")])
def test_trace_equals_the_programs(case, eos, tmp_path):
    model = ["--eos", eos] if eos else []
    mixture, printed = program_case(case, "--trace-only", *model, cwd=tmp_path)
    traced = envelope.trace(mixture, eos=eos)
    assert traced.status == "complete" and traced.reason == ""
    assert printed["Trace Status"] == [["complete", "-"]]
    assert traced.phase.count("critical") == 1
    assert traced.critical == (traced.T[traced.phase.index("critical")], traced.P[traced.phase.index("critical")])
    points = {"critical point": traced.critical, "cricondenbar": traced.cricondenbar,
              "cricondentherm": traced.cricondentherm}
    assert printed["Critical Points"] == [[name, three(p[0]), three(p[1])] for name, p in points.items()]
    assert printed["Traced Envelope"] == [[str(i + 1), three(t), three(p), phase]
                                          for i, (t, p, phase) in enumerate(zip(traced.T, traced.P, traced.phase))]
    assert traced.T.dtype == np.float64 and not traced.T.flags.writeable
    assert traced.start_pressure == 1.0 and len(traced) == len(traced.T) == len(traced.P)
    traced.phase.clear()  # a copy: the result stays as computed
    assert len(traced.phase) == len(traced)


def test_start_pressure():
    traced = envelope.trace(envelope.Mixture.builtin(), start_pressure=5.0)
    assert traced.P[0] == pytest.approx(5.0) and traced.P[-1] == pytest.approx(5.0)
    for bad in (0.0, -1.0, float("nan"), float("inf")):
        with pytest.raises(envelope.InputError, match="start_pressure"):
            envelope.trace(envelope.Mixture.builtin(), start_pressure=bad)


def test_a_trace_that_ends_early_says_why():
    # A binary of components so far apart that its bubble branch climbs past
    # the pressure limit: the model's envelope does not close.
    mixture = envelope.Mixture([("light", 5.2, 2.3, -0.39), ("heavy", 900.0, 10.0, 1.5)], [0.5, 0.5])
    traced = envelope.trace(mixture)
    assert traced.status == "open" and traced.reason.startswith("the bubble branch climbs past 1000 bar")
    assert repr(traced).startswith(f"<TraceResult {traced.status}")


@pytest.mark.parametrize("compute", [envelope.trace, envelope.run], ids=["trace", "run"])
def test_threads_compute_at_the_same_time(compute):
    """Two threads are inside their computations at once: the gate holds each
    computation at its start, without the interpreter lock, until both have
    arrived; a computation that kept the lock would keep the other thread out
    until the gate gave up."""
    mixtures = [envelope.Mixture.builtin(), envelope.read_case(EXAMPLES / "natural-gas.json")]
    results = [None, None]

    def work(i):
        results[i] = compute(mixtures[i])

    envelope._hold_computations(2, timeout=120.0)
    threads = [threading.Thread(target=work, args=(i,)) for i in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert envelope._computations_met() == 2
    alone = [compute(mixture) for mixture in mixtures]
    for together, single in zip(results, alone):
        for name in ("T", "P", "bubble", "dew", "interpolation"):
            if hasattr(single, name):
                assert np.array_equal(getattr(together, name), getattr(single, name))


def test_many_threads_give_the_results_of_one():
    gas = envelope.read_case(EXAMPLES / "natural-gas.json")
    mixtures = [envelope.Mixture.builtin(), gas]
    expected = [envelope.trace(m) for m in mixtures]
    failures = []

    def work():
        for _ in range(5):
            for mixture, want in zip(mixtures, expected):
                got = envelope.trace(mixture)
                if not (np.array_equal(got.T, want.T) and got.critical == want.critical):
                    failures.append(mixture.name)

    threads = [threading.Thread(target=work) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
