"""The type stubs: current with their generator, consistent with the modules at run time
(stubtest), and useful (mypy --strict passes the example program and flags the misuses)."""
import importlib.util
import inspect
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent


def test_stubs_match_their_generator():
    # The generator reads the rows from the built modules through ctypes, which the musl
    # interpreter CI builds lacks (no libffi); the stubs are the same files everywhere.
    pytest.importorskip("ctypes")
    spec = importlib.util.spec_from_file_location("generate_stubs", ROOT / "tools" / "generate_stubs.py")
    generator = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(generator)
    for path, text in generator.stubs().items():
        assert path.read_text() == text, f"{path.name} is stale: run python tools/generate_stubs.py"


def _checker(name):
    """Runs a type checker on a file: mypy (--strict) or basedpyright, from this interpreter."""
    if name == "mypy":
        pytest.importorskip("mypy")
        command = [sys.executable, "-m", "mypy", "--strict", "--no-incremental"]
    else:
        command = [shutil.which("basedpyright", path=os.path.dirname(sys.executable)) or "basedpyright",
                   "--pythonpath", sys.executable]
        if shutil.which(command[0]) is None:
            pytest.skip("basedpyright is not installed")
    return lambda path: subprocess.run([*command, str(path)], capture_output=True, text=True, cwd=ROOT)


@pytest.mark.slow
def test_stubtest():
    pytest.importorskip("mypy")
    # The package and every module in it: stubtest takes in a package's modules itself.
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "--allowlist", str(ROOT / "tests/stubtest_allowlist.txt"), "velmora"],
        capture_output=True, text=True, cwd="/",  # the installed package, not the source tree
    )
    assert result.returncode == 0, result.stdout + result.stderr


@pytest.mark.slow
@pytest.mark.parametrize("checker", ["mypy", "pyright"])
def test_type_checkers_accept_the_example_and_flag_misuse(checker):
    check = _checker(checker)
    result = check(ROOT / "examples/typed_tour.py")
    assert result.returncode == 0, result.stdout
    mistakes = ROOT / "examples/type_errors.py"
    flagged = {int(m) for m in re.findall(r"type_errors\.py:(\d+)", check(mistakes).stdout)}
    marked = {i for i, line in enumerate(mistakes.read_text().splitlines(), 1)
              if re.search(rf"# E(\[{checker}\])?:", line)}
    assert flagged == marked, check(mistakes).stdout


def test_every_callable_has_a_signature_and_documentation():
    """help() shows a sentence and inspect.signature works for every public callable."""
    import velmora.glyph_info.glyph_info as g
    import velmora.rect.rect as r
    import velmora.vector2.vector2 as v2
    import velmora.vector3.vector3 as v3
    import velmora.vector4.vector4 as v4

    checked = 0
    for cls in (v2.Vector2, v3.Vector3, v4.Vector4, r.Rect, g.GlyphInfo):
        assert inspect.signature(cls) is not None and cls.__doc__ is None  # the classes carry no docstring
        for name, attr in vars(cls).items():
            if name.startswith("__") and name not in {"__add__", "__sub__", "__mul__", "__truediv__", "__floordiv__",
                                                      "__copy__", "__deepcopy__", "__reduce__", "__setstate__"}:
                continue
            if isinstance(attr, staticmethod):
                attr = attr.__func__
            doc = getattr(attr, "__doc__", None)
            assert doc and doc.strip().endswith("."), (cls.__name__, name)
            if callable(attr):
                inspect.signature(attr)
            checked += 1
    assert checked > 287  # the 287 swizzle properties and every other member
