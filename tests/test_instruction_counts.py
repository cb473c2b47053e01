"""Instruction counts per operation under callgrind: a regression guard that no noisy
clock can fool. Each operation costs (instructions for 2N loops - for N loops) / N, less
the same for an empty loop body. A count more than 15% over the committed baseline fails.

Refresh the baseline after an intended change: python tests/test_instruction_counts.py --update
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import textwrap
from pathlib import Path

import pytest

BASELINE = Path(__file__).with_name("instruction_baseline.json")
TOLERANCE = 1.15
N = 20_000

SETUP = """
from velmora.vector2.vector2 import Vector2
from velmora.vector4.vector4 import Vector4
from velmora.rect.rect import Rect
x, y, w, h, px, py = 1.5, 2.5, 3.5, 4.5, 2.0, 3.0
a, b = Vector2(1.5, 2.5), Vector2(3.5, 4.5)
a4, b4 = Vector4(1, 2, 3, 4), Vector4(5, 6, 7, 8)
r, s = Rect(0.0, 0.0, 10.0, 10.0), Rect(5.0, 5.0, 10.0, 10.0)
"""

OPERATIONS = {
    "construct Vector2": "Vector2(x, y)",
    "add Vector2": "a + b",
    "add Vector4": "a4 + b4",
    "scale Vector2": "a * 2.5",
    "length Vector2": "a.length",
    "dot Vector2": "a.dot(b)",
    "swizzle Vector2": "a.yx",
    "item Vector2": "a[0]",
    "construct Rect": "Rect(x, y, w, h)",
    "point test": "r.collide_point((px, py))",
    "overlap test": "r.collide_rect(s)",
    "point test Vector2": "r.collide_point(a)",
    "construct Rect 2xV2": "Rect(a, b)",
    "set center": "r.center = a",
    "get center": "r.center",
    "unpack Vector2": "x, y = a",
    "list Vector2": "list(a)",
    "lerp Vector2 by keyword": "a.lerp(other=b, amount=0.5)",
    "point test by keyword": "r.collide_point(point=(px, py))",
}

VERSION = f"{sys.version_info.major}.{sys.version_info.minor}"


def instructions(statement: str, loops: int, setup: str = SETUP, inside: str | None = None) -> int:
    """Instructions of a run of `loops` iterations of `statement`; with `inside`, only those
    executed in the shared objects whose path contains that text (velmora's own code, say)."""
    code = setup + textwrap.dedent(
        f"""
        def main():
            for _ in range({loops}):
                {statement}
        main()
        """
    )
    with tempfile.TemporaryDirectory() as folder:
        script, out = Path(folder, "run.py"), Path(folder, "callgrind.out")
        script.write_text(code)
        # A fixed hash seed: string hashes decide how many probes each dict look-up takes.
        result = subprocess.run(
            ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out if inside else os.devnull}",
             sys.executable, str(script)],
            capture_output=True, text=True, check=True, env=dict(os.environ, PYTHONHASHSEED="0"),
        )
        if inside is None:
            line = next(text for text in result.stderr.splitlines() if "refs:" in text)
            return int(line.split()[-1].replace(",", ""))
        # Each function's own instructions, by the object it belongs to (no symbols needed).
        table = subprocess.run(["callgrind_annotate", "--threshold=100", "--inclusive=no", str(out)],
                               capture_output=True, text=True, check=True).stdout
    rows = re.findall(r"^\s*([\d,]+) .*\[(.*)\]\s*$", table, re.M)
    return sum(int(count.replace(",", "")) for count, obj in rows if inside in obj)


def per_operation(statement: str, setup: str = SETUP, inside: str | None = None) -> float:
    return (instructions(statement, 2 * N, setup, inside) - instructions(statement, N, setup, inside)) / N


def measure() -> dict:
    empty = per_operation("pass")
    return {name: round(per_operation(stmt) - empty, 1) for name, stmt in OPERATIONS.items()}


@pytest.mark.slow
@pytest.mark.skipif(shutil.which("valgrind") is None, reason="valgrind is not installed")
@pytest.mark.skipif(hasattr(sys, "gettotalrefcount") or "asan" in os.environ.get("LD_PRELOAD", ""),
                    reason="the baseline is for release builds")
def test_instruction_counts_stay_within_baseline():
    baseline = json.loads(BASELINE.read_text())
    if VERSION not in baseline:
        pytest.skip(f"no baseline for Python {VERSION}")
    counts = measure()
    grown = {
        name: f"{counts[name]} > {limit} * {TOLERANCE}"
        for name, limit in baseline[VERSION].items()
        if name in counts and counts[name] > limit * TOLERANCE
    }
    assert not grown, f"instructions per operation grew: {grown}"


if __name__ == "__main__" and "--update" in sys.argv:
    # A baseline is lowered, never raised: a count above it is a regression to look at, not a
    # new normal. Operations new to the guard take their count.
    data = json.loads(BASELINE.read_text()) if BASELINE.exists() else {}
    counts = measure()
    old = data.get(VERSION, {})
    data[VERSION] = {name: min(count, old.get(name, count)) for name, count in counts.items()}
    BASELINE.write_text(json.dumps(data, indent=2, sort_keys=True) + "\n")
    print(json.dumps({name: (old.get(name), count) for name, count in counts.items()}, indent=2))
