"""Mixtures, the component table and case files."""

import ast
import pickle
from pathlib import Path

import numpy as np
import pytest

import envelope
from conftest import EXAMPLES, run_program


def test_table_names_aliases_tuples_and_components_give_one_mixture():
    table = {c.name: c for c in envelope.components()}
    methane = table["methane"]
    by_name = envelope.Mixture(["methane", "n-butane"], [0.6, 0.4])
    by_alias = envelope.Mixture(["C1", "nc4"], [0.6, 0.4])
    by_value = envelope.Mixture([tuple(methane), table["n-butane"]], np.array([0.6, 0.4]))
    for mixture in (by_alias, by_value):
        assert [tuple(c)[1:] for c in mixture.components] == [tuple(c)[1:] for c in by_name.components]
    assert by_name.names == ["methane", "n-butane"] and by_alias.names == ["C1", "nc4"]
    assert "CO2" in table["carbon dioxide"].aliases
    assert by_name.kij.shape == (2, 2) and not by_name.kij.any()
    # A mixture is a value: equal when equal, and nothing of it can be changed.
    assert by_name == envelope.Mixture(["methane", "n-butane"], [0.6, 0.4], np.zeros((2, 2))) != by_alias
    with pytest.raises(ValueError):
        by_name.z[0] = 0.5
    with pytest.raises(AttributeError):
        by_name.name = "other"


def test_builtin_case():
    builtin = envelope.Mixture.builtin()
    assert [c.tc for c in builtin.components] == [190.7, 305.43, 568.6]
    assert list(builtin.z) == [0.1, 0.15, 0.75]


@pytest.mark.parametrize("components, z, kij, message", [
    (["methane"], [1.0], None, "1 components: a mixture has 2 to 20"),
    ("methane", [1.0], None, "components must be a list"),
    (["methane", "unobtainium"], [0.5, 0.5], None, "component 2 ('unobtainium'): not in the component table"),
    (["methane", ("x", 500.0, 30.0)], [0.5, 0.5], None, "component 2: give a name"),
    (["methane", ("x", "hot", 30.0, 0.1)], [0.5, 0.5], None, "component 2 ('x'): tc must be a number"),
    (["methane", ("\udc80", 500.0, 30.0, 0.1)], [0.5, 0.5], None, "component 2: the name is not valid text"),
    (["methane", "ethane"], [0.5, 0.3, 0.2], None, "z has 3 fractions for 2 components"),
    (["methane", "ethane"], ["a", "b"], None, "z must be a list of mole fractions"),
    (["methane", "ethane"], [0.5, 0.4], None, "sum"),
    (["methane", "ethane"], [0.5, 0.5], [[0, 0.1]], "kij: 1 x 2 for 2 components"),
    (["methane", "ethane"], [0.5, 0.5], [[0, 0.1], [0.2, 0]], "kij row 1, column 2: not symmetric"),
    (["methane", ("x", float("nan"), 30.0, 0.1)], [0.5, 0.5], None, "component 2 ('x'): "),
    (["methane", "C1"], [0.5, 0.5], None, "component 2 ('C1'): the same component as component 1"),
])
def test_bad_mixtures_raise_input_error_naming_the_problem(components, z, kij, message):
    with pytest.raises(envelope.InputError) as raised:
        envelope.Mixture(components, z, kij)
    assert message in str(raised.value)
    assert isinstance(raised.value, ValueError)


def test_a_mixture_is_checked_with_the_case_files_words(tmp_path):
    bad = tmp_path / "bad.json"
    bad.write_text('{"components": [{"name": "methane", "z": 1.1}, {"name": "ethane", "z": -0.1}]}')
    program = run_program("--case", str(bad), "--headless", cwd=tmp_path)
    assert program.returncode == 2
    with pytest.raises(envelope.InputError) as read:
        envelope.read_case(bad)
    with pytest.raises(envelope.InputError) as made:
        envelope.Mixture(["methane", "ethane"], [1.1, -0.1])
    assert program.stderr.strip() == f"envelope: {read.value}"
    assert str(read.value) == f"'{bad}': {made.value}"


def test_case_files_read_and_write_back(tmp_path):
    gas = envelope.read_case(EXAMPLES / "natural-gas.json")
    assert gas.name == "natural gas" and len(gas) == 10 and gas.kij[0, 1] == -0.02
    written = tmp_path / "copy.json"
    envelope.write_case(gas, written)
    assert envelope.read_case(str(written)) == gas
    envelope.write_case(gas, bytes(written))
    assert envelope.read_case(written) == gas
    with pytest.raises(envelope.InputError, match="missing.json"):
        envelope.read_case(tmp_path / "missing.json")
    with pytest.raises(OSError, match="cannot write"):
        envelope.write_case(gas, tmp_path / "no-such-folder" / "case.json")
    with pytest.raises(envelope.InputError):
        envelope.read_case(12)


def test_interaction_parameters_from_the_table(tmp_path):
    from_table = envelope.Mixture(["methane", "CO2", "hydrogen sulfide"], [0.8, 0.1, 0.1], kij="table")
    assert from_table.kij[0, 1] == from_table.kij[1, 0] != 0.0
    envelope.write_case(from_table, tmp_path / "case.json")
    assert '"kij": "table"' in (tmp_path / "case.json").read_text()
    assert envelope.read_case(tmp_path / "case.json") == from_table == pickle.loads(pickle.dumps(from_table))
    with pytest.raises(envelope.InputError, match='"table"'):
        envelope.Mixture(["methane", "CO2"], [0.5, 0.5], kij="tabel")


def test_the_equation_of_state_goes_with_the_mixture(tmp_path):
    names, z = ["methane", "CO2", "hydrogen sulfide"], [0.8, 0.1, 0.1]
    srk = envelope.Mixture(names, z, kij="table")
    pr = envelope.Mixture(names, z, kij="table", eos="pr")
    assert (srk.eos, pr.eos) == ("SRK", "PR") and srk != pr
    assert pr.kij[0, 1] != srk.kij[0, 1]  # each model's own table values
    envelope.write_case(pr, tmp_path / "case.json")
    assert envelope.read_case(tmp_path / "case.json") == pr == pickle.loads(pickle.dumps(pr))
    # Naming the model at the call computes what the mixture's own model does.
    assert envelope.trace(srk, eos="PR").T.tolist() == envelope.trace(pr).T.tolist()
    with pytest.raises(envelope.InputError, match="unknown equation of state 'vdw'"):
        envelope.Mixture(names, z, eos="vdw")


def test_values_and_errors_pickle():
    gas = envelope.read_case(EXAMPLES / "natural-gas.json")
    assert pickle.loads(pickle.dumps(gas)) == gas
    methane = envelope.components()[0]
    assert tuple(pickle.loads(pickle.dumps(methane))) == tuple(methane)
    error = pickle.loads(pickle.dumps(envelope.NumericalError("m", kind="no bracket", reason="r")))
    assert (str(error), error.kind, error.reason) == ("m", "no bracket", "r")


def test_type_stubs_name_what_the_module_has():
    """The stubs beside the module declare exactly its public names and members,
    and help() has a text for each."""
    stub = ast.parse((Path(envelope.__file__).parent / "envelope.pyi").read_text())
    declared = {}
    for node in stub.body:
        if isinstance(node, ast.ClassDef):
            declared[node.name] = {n.name for n in node.body if isinstance(n, ast.FunctionDef)} | {
                n.target.id for n in node.body if isinstance(n, ast.AnnAssign)}
        elif isinstance(node, ast.FunctionDef):
            declared[node.name] = None
        elif isinstance(node, ast.AnnAssign):
            declared[node.target.id] = None
    aliases = {"ComponentSpec", "Point"}
    assert set(declared) - aliases == {name for name in dir(envelope) if not name.startswith("_")} | {"__version__"}
    for name, members in declared.items():
        assert name == "__version__" or name in aliases or getattr(envelope, name).__doc__, name
        if members is not None:
            value = getattr(envelope, name)
            if issubclass(value, Exception):  # attributes of the instance
                value = value("message")
            public = {m for m in dir(value) if not m.startswith("_")} - set(dir(Exception("message")))
            assert {m for m in members if not m.startswith("_")} == public, name


@pytest.mark.parametrize("cls, use", [
    (envelope.Mixture, lambda m: envelope.trace(m)),
    (envelope.Mixture, len),
    (envelope.Component, lambda c: c.tc),
    (envelope.TraceResult, lambda r: r.T),
    (envelope.RunResult, lambda r: r.report),
])
def test_an_object_never_initialised_is_refused(cls, use):
    """An object made by __new__ alone holds no value: using it is a TypeError, not a crash."""
    with pytest.raises(TypeError):
        use(cls.__new__(cls))
