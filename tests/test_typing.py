"""The type stubs: current with their generator, consistent with the modules at run time
(stubtest), and useful (mypy --strict passes the example program and flags the misuses)."""
import importlib.util
import re
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
MODULES = [f"velmora.{m}.{m}" for m in ("vector2", "vector3", "vector4", "rect", "glyph_info", "image")]


def test_stubs_match_their_generator():
    spec = importlib.util.spec_from_file_location("generate_stubs", ROOT / "tools" / "generate_stubs.py")
    generator = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(generator)
    for path, text in generator.stubs().items():
        assert path.read_text() == text, f"{path.name} is stale: run python tools/generate_stubs.py"


def test_every_swizzle_is_typed():
    text = (ROOT / "src/velmora/vector4/vector4.pyi").read_text()
    assert len(re.findall(r"def [xyzw]{4}\(self\) -> Vector4", text)) == 256


def _mypy(*args):
    pytest.importorskip("mypy")
    return subprocess.run([sys.executable, "-m", "mypy", *args], capture_output=True, text=True, cwd=ROOT)


@pytest.mark.slow
def test_stubtest():
    pytest.importorskip("mypy")
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "--allowlist", str(ROOT / "tests/stubtest_allowlist.txt"), *MODULES],
        capture_output=True, text=True, cwd="/",  # the installed package, not the source tree
    )
    assert result.returncode == 0, result.stdout + result.stderr


@pytest.mark.slow
def test_mypy_strict_accepts_the_example_and_flags_misuse():
    result = _mypy("--strict", "--no-incremental", str(ROOT / "examples/typed_tour.py"))
    assert result.returncode == 0, result.stdout
    result = _mypy("--no-incremental", str(ROOT / "examples/type_errors.py"))
    flagged = {int(m) for m in re.findall(r"type_errors\.py:(\d+): error", result.stdout)}
    marked = {i for i, line in enumerate((ROOT / "examples/type_errors.py").read_text().splitlines(), 1)
              if "# E:" in line}
    assert flagged == marked, result.stdout
