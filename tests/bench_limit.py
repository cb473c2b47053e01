"""velmora against the limit: the fastest extension types the C API allows for the same
contract (tests/native/limit.c, compiled here), and against pygame-ce and PyGLM.

    python tests/bench_limit.py [--quick] [--json FILE] [--instructions]

Kept with the tests, not installed. Every row shows velmora ÷ limit; rounds are
interleaved, the minimum kept and an empty loop subtracted (see velmora.bench).
--instructions counts instructions under callgrind instead, with pygame-ce's count where
it has the row.
"""
import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from helpers import NATIVE, build_extension  # noqa: E402
from velmora import bench  # noqa: E402

LIMIT_SETUP = """
import sys
sys.path.insert(0, {folder!r})
from limit import Vector2, Vector4, Rect
x, y, w, h, px, py = 1.5, 2.5, 3.5, 4.5, 2.0, 3.0
a2, b2 = Vector2(1.5, 2.5), Vector2(3.5, 4.5)
a4, b4 = Vector4(1.5, 2.5, 3.5, 4.5), Vector4(5.5, 6.5, 7.5, 8.5)
r, s = Rect(0.0, 0.0, 10.0, 10.0), Rect(5.0, 5.0, 10.0, 10.0)
"""

# The limit type's statement for each row it has: the same text as velmora's.
LIMITED = {"construct Vector2", "add Vector2", "add Vector4", "scale Vector2", "length Vector2", "dot Vector2",
           "swizzle Vector2", "item Vector2", "component Vector2", "repr Vector2", "construct Rect", "point test",
           "overlap test", "point test Vector2", "construct Rect 2xV2", "set center", "get center", "unpack Vector2",
           "list Vector2"}


def instruction_table(limit_setup: str) -> str:
    """Instructions per operation under callgrind for velmora, limit and, where it has the
    row and is installed, pygame-ce; empty loop subtracted."""
    from test_instruction_counts import per_operation

    empty = per_operation("pass")
    pygame = bench.available(bench.PYGAME_SETUP)
    lines = [f"{'operation':<20}{'velmora':>10}{'limit':>10}{'÷limit':>8}{'pygame-ce':>11}{'÷pygame':>9}"]
    for op, stmts in bench.ROWS:
        if op in LIMITED:
            mine = per_operation(stmts["velmora"], bench.SETUP) - empty
            theirs = per_operation(stmts["velmora"], limit_setup) - empty
            line = f"{op:<20}{mine:>10.1f}{theirs:>10.1f}{mine / theirs:>8.2f}"
            if pygame and "pygame-ce" in stmts:
                peer = per_operation(stmts["pygame-ce"], bench.PYGAME_SETUP) - empty
                line += f"{peer:>11.1f}{mine / peer:>9.2f}"
            lines.append(line)
    return "\n".join(lines)


def main(argv):
    parser = bench.parser()
    parser.add_argument("--instructions", action="store_true", help="count instructions under callgrind instead")
    args = parser.parse_args(argv)
    folder = build_extension("limit", (NATIVE / "limit.c").read_text())
    if args.instructions:
        print(instruction_table(LIMIT_SETUP.format(folder=str(folder))))
        return 0
    peers = {"velmora": bench.SETUP, "limit": LIMIT_SETUP.format(folder=str(folder)),
             **{k: v for k, v in bench.PEERS.items() if k in ("pygame-ce", "PyGLM")}}
    rows = [(op, {**stmts, **({"limit": stmts["velmora"]} if op in LIMITED else {})}) for op, stmts in bench.ROWS]
    ratios = {"per_limit": ["limit"], "per_peer": ["pygame-ce", "PyGLM"]}
    result = bench.measure(quick=args.quick, progress=sys.stderr if sys.stderr.isatty() else None, peers=peers,
                           rows=rows, ratios=ratios)
    print(bench.table(result, ratios))
    if args.json:
        Path(args.json).write_text(json.dumps(result, indent=2))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
