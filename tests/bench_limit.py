"""velmora against the limit: the fastest extension types the C API allows for the same
contract (tests/native/limit.c, compiled here), and against pygame-ce and PyGLM.

    python tests/bench_limit.py [--quick] [--json FILE] [--instructions]

Kept with the tests, not installed. Every row shows velmora ÷ limit; rounds are
interleaved, the minimum kept and an empty loop subtracted (see velmora.bench).
--instructions counts instructions under callgrind instead, with pygame-ce's count where
it has the row.
"""
import json
import os
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from helpers import NATIVE, build_extension  # noqa: E402
from velmora import bench  # noqa: E402

LIMIT_SETUP = """
import sys
sys.path.insert(0, {folder!r})
from limit import Vector2, Vector3, Vector4, Rect
x, y, w, h, px, py = 1.5, 2.5, 3.5, 4.5, 2.0, 3.0
a2, b2 = Vector2(1.5, 2.5), Vector2(3.5, 4.5)
a3, b3 = Vector3(1.5, 2.5, 3.5), Vector3(4.5, 5.5, 6.5)
a4, b4 = Vector4(1.5, 2.5, 3.5, 4.5), Vector4(5.5, 6.5, 7.5, 8.5)
r, s = Rect(0.0, 0.0, 10.0, 10.0), Rect(5.0, 5.0, 10.0, 10.0)
rects = [Rect(20.0 * i, 50.0, 10.0, 10.0) for i in range(1000)]
"""


# velmora's extension modules, where the instructions of its own code are counted.
METHOD = "/velmora/"


def instruction_table(limit_setup: str, only: str | None = None) -> str:
    """Instructions per operation under callgrind for velmora, limit and, where it has the
    row and is installed, pygame-ce; empty loop subtracted. Each call by keyword is also shown
    over the same call by position (the row of the same method, by its first word)."""
    from concurrent.futures import ThreadPoolExecutor

    from test_instruction_counts import per_operation

    pygame = bench.available(bench.PYGAME_SETUP)
    rows = [(op, stmts) for op, stmts in bench.ROWS if only is None or re.search(only, op)]
    jobs = [("pass", bench.SETUP)]
    for _, stmts in rows:
        jobs += [(stmts["velmora"], bench.SETUP), (stmts["velmora"], limit_setup)]
        if pygame and "pygame-ce" in stmts:
            jobs.append((stmts["pygame-ce"], bench.PYGAME_SETUP))
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 1) as pool:  # each job is a process of its own
        counts = dict(zip(jobs, pool.map(lambda job: per_operation(*job), jobs)))
    empty = counts[("pass", bench.SETUP)]
    mine = {op: counts[(stmts["velmora"], bench.SETUP)] - empty for op, stmts in rows}
    lines = [f"{'operation':<24}{'velmora':>10}{'limit':>10}{'÷limit':>8}{'pygame-ce':>11}{'÷pygame':>9}"]
    for op, stmts in rows:
        theirs = counts[(stmts["velmora"], limit_setup)] - empty
        line = f"{op:<24}{mine[op]:>10.1f}{theirs:>10.1f}{mine[op] / theirs:>8.2f}"
        if pygame and "pygame-ce" in stmts:
            peer = counts[(stmts["pygame-ce"], bench.PYGAME_SETUP)] - empty
            line += f"{peer:>11.1f}{mine[op] / peer:>9.2f}"
        lines.append(line)
    # A call by keyword over the same call by position (the row of the same method, by its first
    # word): the whole statement, which includes the interpreter's own cost of passing keywords,
    # and the instructions inside velmora's method alone.
    statements = dict(rows)
    lines.append(f"\n{'by keyword ÷ by position':<44}{'statement':>10}{'method':>8}")
    for op in mine:
        positional = next((p for p in mine if p != op and p.split()[0] == op.split()[0] and "keyword" not in p), None)
        if "by keyword" in op and positional is not None:
            inside = [per_operation(statements[o]["velmora"], bench.SETUP, METHOD) for o in (op, positional)]
            pair = f"{op} ÷ {positional}"
            lines.append(f"{pair:<44}{mine[op] / mine[positional]:>10.2f}{inside[0] / inside[1]:>8.2f}")
    return "\n".join(lines)


def main(argv):
    parser = bench.parser()
    parser.add_argument("--instructions", action="store_true", help="count instructions under callgrind instead")
    parser.add_argument("--only", metavar="REGEX", help="with --instructions: only the rows whose name matches")
    args = parser.parse_args(argv)
    folder = build_extension("limit", (NATIVE / "limit.c").read_text())
    if args.instructions:
        print(instruction_table(LIMIT_SETUP.format(folder=str(folder)), args.only))
        return 0
    peers = {"velmora": bench.SETUP, "limit": LIMIT_SETUP.format(folder=str(folder)),
             **{k: v for k, v in bench.PEERS.items() if k in ("pygame-ce", "PyGLM")}}
    # The limit types run velmora's own statement for every row.
    rows = [(op, {**stmts, "limit": stmts["velmora"]}) for op, stmts in bench.ROWS]
    ratios = {"per_limit": ["limit"], "per_peer": ["pygame-ce", "PyGLM"]}
    result = bench.measure(quick=args.quick, progress=sys.stderr if sys.stderr.isatty() else None, peers=peers,
                           rows=rows, ratios=ratios)
    print(bench.table(result, ratios))
    if args.json:
        Path(args.json).write_text(json.dumps(result, indent=2))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
