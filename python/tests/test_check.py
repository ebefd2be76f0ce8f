"""One phase or two at a condition: the answers of the program's --point."""

import pytest

import envelope
from conftest import program_case


def test_check_equals_the_programs_points(tmp_path):
    conditions = [(250.0, 50.0), (200.0, 5.0), (350.0, 50.0)]
    arguments = [a for t, p in conditions for a in ("--point", f"{t},{p}")]
    mixture, printed = program_case("natural-gas.json", "--eos", "PR", *arguments, cwd=tmp_path)
    for i, (t, p) in enumerate(conditions):
        checked = envelope.check(mixture, t, p, eos="PR")
        fraction = "-" if checked.vapour_fraction is None else f"{checked.vapour_fraction:.4f}"
        assert printed["Conditions"][i] == [str(i + 1), f"{t:.3f}", f"{p:.3f}", str(checked.phases), fraction]
        rows = [row[3:] for row in printed.get("Phase Compositions", []) if row[0] == str(i + 1)]
        if checked.phases == 2:
            assert rows == [[f"{x:.6f}", f"{y:.6f}"] for x, y in zip(checked.liquid, checked.vapour)]
        else:
            assert rows == [] and checked.liquid is None and checked.vapour is None
    assert [envelope.check(mixture, t, p, eos="PR").phases for t, p in conditions] == [2, 2, 1]


def test_a_condition_out_of_range_is_refused():
    for t, p in [(0.0, 1.0), (300.0, float("nan")), (300.0, 1e6)]:
        with pytest.raises(envelope.InputError):
            envelope.check(envelope.Mixture.builtin(), t, p)
