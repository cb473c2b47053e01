"""Member rows the compiler refuses: a row whose function takes or gives a type its class's
binding cannot convert does not compile, and the error names the row. Each translation unit in
rows/ compiles as it stands (its control row) and fails with VELMORA_TRAP defined (the trap)."""
import os
import re
import shlex
import shutil
import subprocess
import sysconfig
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
SOURCES = ROOT / "src" / "velmora"
# The modules' own flags (CMakeLists.txt), warnings as errors.
FLAGS = ["-std=c++20", "-fsyntax-only", "-ffp-contract=off", "-fno-exceptions", "-fno-rtti", "-Wall", "-Wextra",
         "-Wno-missing-field-initializers", "-Werror"]


def compiler() -> list[str]:
    command = shlex.split(os.environ.get("CXX") or sysconfig.get_config_var("CXX") or "c++")
    if shutil.which(command[0]) is None:
        pytest.skip(f"no C++ compiler ({command[0]})")
    return command


def compile_unit(name: str, *defines: str) -> subprocess.CompletedProcess:
    includes = [SOURCES / "common", SOURCES / "common" / "include", SOURCES / "rect", sysconfig.get_paths()["include"]]
    return subprocess.run([*compiler(), *FLAGS, *defines, *(f"-I{i}" for i in includes),
                           str(Path(__file__).with_name("rows") / name)], capture_output=True, text=True)


def names_row(stderr: str, row: str) -> bool:
    """Whether the error names the row: GCC writes Name<N>{"row"}, clang its characters' codes."""
    codes = "{{" + ", ".join(str(ord(c)) for c in row) + ", 0}}"
    return f'{{"{row}"}}' in stderr or codes in stderr


@pytest.mark.slow
@pytest.mark.skipif(not SOURCES.joinpath("common").is_dir(), reason="needs the source tree")
@pytest.mark.parametrize("unit, row, condition", [
    ("vector_bool_result.cpp", "is_zero", r"unsupported_result<.*, bool>"),
    ("rect_float_result.cpp", "area", r"unsupported_result<.*, float>"),
    ("vector_trailing_int.cpp", "scaled", r"unsupported_parameter<.*, int>"),
])
def test_a_row_the_binding_cannot_convert_does_not_compile(unit, row, condition):
    control = compile_unit(unit)
    assert control.returncode == 0, control.stderr[-3000:]
    trap = compile_unit(unit, "-DVELMORA_TRAP")
    assert trap.returncode != 0
    assert re.search(condition, trap.stderr) and names_row(trap.stderr, row), trap.stderr[-3000:]
