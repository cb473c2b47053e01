"""Side-by-side timings: `python -m velmora bench [--quick] [--json FILE]`.

Every operation is timed for velmora, for pygame-ce and PyGLM where they are installed
(`pip install 'velmora[bench]'`) and for a CPython floor: an operation of the
interpreter's own built-in types that does comparable work. Rounds are interleaved, the
minimum per pair is kept and the time of an empty loop is subtracted, so the ratios in
the table are stable even when absolute times are not.
"""

from __future__ import annotations

import argparse
import json
import os
import sys
import timeit
from dataclasses import dataclass, field

SETUP = """
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4
from velmora.rect.rect import Rect
x, y, w, h, px, py = 1.5, 2.5, 3.5, 4.5, 2.0, 3.0
t = (x, y)
c = complex(x, y)
a2, b2 = Vector2(1.5, 2.5), Vector2(3.5, 4.5)
a3, b3 = Vector3(1.5, 2.5, 3.5), Vector3(4.5, 5.5, 6.5)
a4, b4 = Vector4(1.5, 2.5, 3.5, 4.5), Vector4(5.5, 6.5, 7.5, 8.5)
r, s = Rect(0.0, 0.0, 10.0, 10.0), Rect(5.0, 5.0, 10.0, 10.0)
"""

PYGAME_SETUP = """
import os
os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
from pygame.math import Vector2, Vector3
from pygame import FRect
x, y, w, h, px, py = 1.5, 2.5, 3.5, 4.5, 2.0, 3.0
a2, b2 = Vector2(1.5, 2.5), Vector2(3.5, 4.5)
a3, b3 = Vector3(1.5, 2.5, 3.5), Vector3(4.5, 5.5, 6.5)
r, s = FRect(0.0, 0.0, 10.0, 10.0), FRect(5.0, 5.0, 10.0, 10.0)
"""

GLM_SETUP = """
import glm
from glm import vec2
x, y = 1.5, 2.5
a2, b2 = glm.vec2(1.5, 2.5), glm.vec2(3.5, 4.5)
a3, b3 = glm.vec3(1.5, 2.5, 3.5), glm.vec3(4.5, 5.5, 6.5)
a4, b4 = glm.dvec4(1.5, 2.5, 3.5, 4.5), glm.dvec4(5.5, 6.5, 7.5, 8.5)
length, dot = glm.length, glm.dot
"""

# name, velmora, pygame-ce, PyGLM, CPython floor (None: the peer has no such operation)
ROWS = [
    ("construct Vector2", "Vector2(x, y)", "Vector2(x, y)", "vec2(x, y)", "(x, y)"),
    ("add Vector2", "a2 + b2", "a2 + b2", "a2 + b2", "x + y"),
    ("add Vector3", "a3 + b3", "a3 + b3", "a3 + b3", "x + y"),
    ("add Vector4", "a4 + b4", None, "a4 + b4", "x + y"),
    ("scale Vector2", "a2 * 2.5", "a2 * 2.5", "a2 * 2.5", "x * y"),
    ("length Vector2", "a2.length", "a2.length()", "length(a2)", "c.real"),
    ("dot Vector2", "a2.dot(b2)", "a2.dot(b2)", "dot(a2, b2)", "x.is_integer()"),
    ("swizzle Vector2", "a2.yx", "a2.yx", "a2.yx", "c.real"),
    ("item Vector2", "a2[0]", "a2[0]", "a2[0]", "t[0]"),
    ("component Vector2", "a2.x", "a2.x", "a2.x", "c.real"),
    ("repr Vector2", "repr(a2)", "repr(a2)", "repr(a2)", "repr(x)"),
    ("construct Rect", "Rect(x, y, w, h)", "FRect(x, y, w, h)", None, "(x, y, w, h)"),
    ("point test", "r.collide_point((px, py))", "r.collidepoint((px, py))", None, "x.is_integer()"),
    ("overlap test", "r.collide_rect(s)", "r.colliderect(s)", None, "x.is_integer()"),
]

PEERS = [("velmora", SETUP), ("pygame-ce", PYGAME_SETUP), ("PyGLM", GLM_SETUP), ("CPython", SETUP)]


@dataclass
class Row:
    name: str
    statements: list  # per peer, or None
    best: list = field(default_factory=list)  # seconds per loop of `number`, per peer

    def ns(self, i: int, number: int, empty: float) -> float | None:
        if self.best[i] is None:
            return None
        return max(self.best[i] - empty, 0.0) / number * 1e9


def available(setup: str) -> bool:
    try:
        exec(setup, {})
        return True
    except ImportError:
        return False


def measure(quick: bool = False, progress=sys.stderr) -> dict:
    number = 20_000 if quick else 200_000
    rounds = 3 if quick else 7
    have = [available(setup) for _, setup in PEERS]
    rows = [Row(name, list(stmts)) for name, *stmts in ROWS]
    timers = []
    for row in rows:
        row.best = [None] * len(PEERS)
        for i, (stmt, (_, setup)) in enumerate(zip(row.statements, PEERS)):
            if stmt is not None and have[i]:
                timers.append((row, i, timeit.Timer(stmt, setup)))
    empty_timer = timeit.Timer("pass", SETUP)
    empty = float("inf")
    total = rounds * len(timers)
    done = 0
    for _ in range(rounds):
        empty = min(empty, empty_timer.timeit(number))
        for row, i, timer in timers:
            elapsed = timer.timeit(number)
            row.best[i] = elapsed if row.best[i] is None else min(row.best[i], elapsed)
            done += 1
            if progress is not None:
                progress.write(f"\rmeasuring {done}/{total}")
                progress.flush()
    if progress is not None:
        progress.write("\r" + " " * 30 + "\r")
    result = {"peers": [name for name, _ in PEERS], "available": have, "rows": []}
    for row in rows:
        ns = [row.ns(i, number, empty) for i in range(len(PEERS))]
        peers = [v for v in ns[1:3] if v is not None]
        result["rows"].append(
            {
                "operation": row.name,
                "ns": dict(zip(result["peers"], ns)),
                "vs_fastest_peer": ns[0] / min(peers) if peers and min(peers) > 0 else None,
                "vs_floor": ns[0] / ns[3] if ns[3] else None,
            }
        )
    return result


def table(result: dict) -> str:
    have = dict(zip(result["peers"], result["available"]))
    head = f"{'operation':<20}" + "".join(f"{p:>11}" for p in result["peers"]) + f"{'÷peer':>8}{'÷floor':>8}"
    lines = [head, "-" * len(head)]
    for row in result["rows"]:
        cells = []
        for peer in result["peers"]:
            v = row["ns"][peer]
            cells.append(f"{v:>9.1f}ns" if v is not None else f"{'missing' if not have[peer] else '—':>11}")
        ratio = lambda r: f"{r:>8.2f}" if r is not None else f"{'—':>8}"  # noqa: E731
        lines.append(f"{row['operation']:<20}" + "".join(cells) + ratio(row["vs_fastest_peer"]) + ratio(row["vs_floor"]))
    lines.append("ns per operation, empty loop subtracted; ÷peer: velmora / the faster of pygame-ce and PyGLM; "
                 "÷floor: velmora / the CPython floor.")
    if not all(result["available"]):
        lines.append("missing: not installed (pip install 'velmora[bench]').")
    return "\n".join(lines)


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python -m velmora bench", description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="fewer, shorter rounds")
    parser.add_argument("--json", metavar="FILE", help="also write the figures to FILE")
    args = parser.parse_args(argv)
    os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
    result = measure(quick=args.quick)
    print(table(result))
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump(result, f, indent=2)
    return 0


if __name__ == "__main__":
    sys.exit(main())
