"""The native side's costs, for the README: Cython code calling velmora's tables beside the same
call at Python level, and calls of pybind11 and nanobind functions that take and return
velmora's records through its casters beside velmora's own methods doing the same work.

    python tests/bench_native.py [--quick]

Kept with the tests, not installed; needs Cython, pybind11 and nanobind, and builds its modules
as the tests do. Rounds are interleaved, the minimum kept and an empty loop subtracted (see
velmora.bench); a Cython figure is its loop's time over the loop's count.
"""
import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from test_casters import build_with  # noqa: E402
from test_cython import build_cython  # noqa: E402

from helpers import NATIVE  # noqa: E402
from velmora import bench  # noqa: E402

COUNT = 100  # operations per Cython loop
SETUP = bench.SETUP + """
import sys
sys.path[:0] = {folders!r}
import cy_bench as cy, bench_pybind11 as pb, bench_nanobind as nb
items = [Vector2(float(i), 1.0) for i in range({count})]
"""
ROWS = [
    ("dot Vector2", {"Cython": f"cy.dot(a2, b2, {COUNT})", "velmora": "a2.dot(b2)"}),
    ("x of a Vector2", {"Cython": "cy.read_x(items)", "velmora": "a2.x"}),
    ("collide_rect_rect", {"Cython": f"cy.collide_rect_rect(r, s, {COUNT})", "velmora": "r.collide_rect_rect(s)"}),
    ("collide_point_vector2", {"Cython": f"cy.collide_point_vector2(r, a2, {COUNT})",
                               "velmora": "r.collide_point_vector2(a2)"}),
    ("new Vector2", {"Cython": f"cy.new({COUNT})", "velmora": "Vector2(x, y)"}),
    ("echo Vector2", {"pybind11": "pb.echo2(a2)", "nanobind": "nb.echo2(a2)", "velmora": "a2.copy()"}),
    ("echo Rect", {"pybind11": "pb.echo_rect(r)", "nanobind": "nb.echo_rect(r)", "velmora": "r.copy()"}),
    ("echo (x, y)", {"pybind11": "pb.echo2(t)", "nanobind": "nb.echo2(t)", "velmora": "Vector2(t)"}),
    ("grow a Rect in place", {"pybind11": "pb.grow(r, 0.0)", "nanobind": "nb.grow(r, 0.0)",
                              "velmora": "r.inflate_ip(0.0, 0.0)"}),
]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="fewer, shorter rounds")
    quick = parser.parse_args(argv).quick
    source = (NATIVE / "casters.cpp").read_text()
    folders = [str(build_cython("cy_bench", (NATIVE / "cy_bench.pyx").read_text())),
               str(build_with("pybind11", "bench_pybind11", source)),
               str(build_with("nanobind", "bench_nanobind", source))]
    setup = SETUP.format(folders=folders, count=COUNT)
    peers = {"Cython": setup, "pybind11": setup, "nanobind": setup, "velmora": setup}
    result = bench.measure(quick, sys.stderr, peers=peers, rows=ROWS, ratios={})
    for row in result["rows"]:
        if row["ns"]["Cython"] is not None:
            row["ns"]["Cython"] /= COUNT
    lines = bench.table(result, ratios={}).splitlines()
    print("\n".join(line for line in lines if line != "." and not line.startswith("—:")))
    print("velmora: the same work at Python level; —: no such row for that tool.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
