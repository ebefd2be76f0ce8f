"""What the module's tests share: the project's folders and the envelope program."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("ENVELOPE_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE / "examples"
sys.path.insert(0, str(EXAMPLES / "python"))


def run_program(*arguments, cwd):
    """Runs the envelope program without a display; returns the finished process."""
    program = os.environ.get("ENVELOPE_PROGRAM")
    if not program:
        pytest.skip("ENVELOPE_PROGRAM is not set (the tests run through CTest)")
    environment = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    environment["QT_QPA_PLATFORM"] = "offscreen"
    return subprocess.run([program, *arguments], cwd=cwd, env=environment, capture_output=True, text=True,
                          timeout=300)


def program_case(case, *arguments, cwd):
    """The mixture of the example case file `case` (None: the built-in case) and
    the program's sections of output for it, run with the arguments."""
    case_arguments = ["--case", str(EXAMPLES / case)] if case else []
    program = run_program(*case_arguments, *arguments, cwd=cwd)
    assert program.returncode == 0, program.stderr
    import envelope

    mixture = envelope.read_case(EXAMPLES / case) if case else envelope.Mixture.builtin()
    return mixture, sections(program.stdout)


def sections(text):
    """The program's output split into its sections: caption -> rows of cells (the heading row left out)."""
    result = {}
    for block in text.strip().split("\n\n"):
        lines = block.splitlines()
        result[lines[0]] = [line.split("\t") for line in lines[2:]]
    return result
