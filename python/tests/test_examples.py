"""The examples in examples/python, each on small inputs."""

import pytest

import envelope
from conftest import EXAMPLES


def test_plot_writes_the_envelope_with_its_points(tmp_path, capsys):
    pytest.importorskip("matplotlib")
    import plot_envelope

    picture = tmp_path / "envelope.png"
    plot_envelope.main([str(picture)])
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n" and picture.stat().st_size > 20000
    critical = envelope.trace(envelope.Mixture.builtin()).critical
    assert f"critical point {critical}" in capsys.readouterr().out


def sweep_expected(count):
    import cricondentherm_sweep

    base = envelope.read_case(EXAMPLES / "natural-gas.json")
    mixtures = cricondentherm_sweep.compositions(base, count)
    return mixtures, [envelope.trace(m).cricondentherm for m in mixtures]


def test_sweep_with_threads():
    import cricondentherm_sweep

    mixtures, expected = sweep_expected(5)
    methane = [m.z[m.names.index("methane")] for m in mixtures]
    assert methane[0] == pytest.approx(0.70) and methane[-1] == pytest.approx(0.95)
    assert all(abs(sum(m.z) - 1.0) < 1e-12 for m in mixtures)
    assert None not in expected and len(set(expected)) == 5
    assert cricondentherm_sweep.main(["--count", "5", "--workers", "2"]) == expected


def test_sweep_with_dask_on_a_local_cluster():
    pytest.importorskip("distributed")
    import cricondentherm_sweep

    _, expected = sweep_expected(4)
    results = cricondentherm_sweep.main(["--dask", "--threads-only", "--count", "4", "--workers", "2"])
    assert results == expected
