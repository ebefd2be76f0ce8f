"""The specified run: the same numbers as the program's tables and files."""

import csv

import pytest

import envelope
from conftest import program_case

TABLES = {"bubble": "Bubble Curve Table", "dew": "Dew Curve Table", "interpolation": "Interpolation by Spline"}


@pytest.mark.parametrize("case, eos", [(None, None), ("natural-gas.json", None), ("natural-gas.json", "PR")])
def test_run_equals_the_programs_tables_and_files(case, eos, tmp_path):
    model = ["--eos", eos] if eos else []
    mixture, printed = program_case(case, "--csv", "out", *model, cwd=tmp_path)
    result = envelope.run(mixture, eos=eos)
    for name, caption in TABLES.items():
        table = getattr(result, name)
        rows = printed[caption]
        assert table.shape == (len(rows), 2) and not table.flags.writeable
        assert table.tolist() == [[float(t) + 273.15, float(p)] for _, t, p in rows], name
    with open(tmp_path / "out" / "vapour-fractions.csv", newline="") as file:
        written = list(csv.reader(file))[1:]
    result.vapour_fractions.clear()  # a copy: the result stays as computed
    assert sorted(result.vapour_fractions) == [0.05, 0.3, 0.5]
    for fraction, line in result.vapour_fractions.items():
        assert line.tolist() == [[float(t), float(p)] for f, t, p in written if float(f) == fraction]
    assert result.report.outcome == "completed"
    assert result.report.summary.startswith("start ") and "spline 21 rows" in result.report.summary
    assert str(result.report).startswith("start points: bubble")


def test_a_failed_run_raises_numerical_error():
    # The marches of this binary of very unlike components end too early to
    # give the spline its knots.
    mixture = envelope.Mixture([("light", 5.2, 2.3, -0.39), ("heavy", 900.0, 10.0, 1.5)], [0.5, 0.5])
    with pytest.raises(envelope.NumericalError) as raised:
        envelope.run(mixture)
    error = raised.value
    assert isinstance(error, RuntimeError)
    assert error.kind and error.reason and str(error).endswith(f"{error.reason} ({error.kind})")
