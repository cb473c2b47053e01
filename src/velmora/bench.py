"""Side-by-side timings: `python -m velmora bench [--quick] [--json FILE]`.

Every operation is timed for velmora, for pygame-ce and PyGLM where they are installed
(`pip install 'velmora[bench]'`) and for a CPython floor: an operation of the
interpreter's own built-in types that does comparable work. Rounds are interleaved, the
minimum per pair is kept and the time of an empty loop is subtracted, so the ratios in
the table are stable even when absolute times are not. The JSON report holds the same
figures, with when (an ISO 8601 timestamp in UTC) and how ("mode": "quick" or "full") they
were measured.
"""

from __future__ import annotations

import argparse
import json
import os
import platform
import sys
import timeit
from collections.abc import Callable
from datetime import datetime, timezone
from importlib import metadata
from typing import Any, TextIO

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
rects = [Rect(20.0 * i, 50.0, 10.0, 10.0) for i in range(1000)]
floats = [20.0 * i for i in range(1000)]
text = "a,b"
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
rects = [FRect(20.0 * i, 50.0, 10.0, 10.0) for i in range(1000)]
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

# A row: an operation and its statement for each peer that has it. A report: what measure() gives.
Row = tuple[str, dict[str, str]]
Report = dict[str, Any]

# Who is timed, with the setup each one's statements run in.
PEERS = {"velmora": SETUP, "pygame-ce": PYGAME_SETUP, "PyGLM": GLM_SETUP, "CPython": SETUP}
# Distributions whose versions a JSON report records.
DISTRIBUTIONS = ["velmora", "pygame-ce", "PyGLM"]

# One row per operation: its statement for each peer that has it.
ROWS: list[Row] = [
    ("construct Vector2", {"velmora": "Vector2(x, y)", "pygame-ce": "Vector2(x, y)", "PyGLM": "vec2(x, y)",
                           "CPython": "(x, y)"}),
    ("add Vector2", {"velmora": "a2 + b2", "pygame-ce": "a2 + b2", "PyGLM": "a2 + b2", "CPython": "x + y"}),
    ("add Vector3", {"velmora": "a3 + b3", "pygame-ce": "a3 + b3", "PyGLM": "a3 + b3", "CPython": "x + y"}),
    ("add Vector4", {"velmora": "a4 + b4", "PyGLM": "a4 + b4", "CPython": "x + y"}),
    ("scale Vector2", {"velmora": "a2 * 2.5", "pygame-ce": "a2 * 2.5", "PyGLM": "a2 * 2.5", "CPython": "x * y"}),
    ("length Vector2", {"velmora": "a2.length", "pygame-ce": "a2.length()", "PyGLM": "length(a2)",
                        "CPython": "c.real"}),
    ("dot Vector2", {"velmora": "a2.dot(b2)", "pygame-ce": "a2.dot(b2)", "PyGLM": "dot(a2, b2)",
                     "CPython": "x.is_integer()"}),
    ("swizzle Vector2", {"velmora": "a2.yx", "pygame-ce": "a2.yx", "PyGLM": "a2.yx", "CPython": "c.real"}),
    ("item Vector2", {"velmora": "a2[0]", "pygame-ce": "a2[0]", "PyGLM": "a2[0]", "CPython": "t[0]"}),
    ("component Vector2", {"velmora": "a2.x", "pygame-ce": "a2.x", "PyGLM": "a2.x", "CPython": "c.real"}),
    ("repr Vector2", {"velmora": "repr(a2)", "pygame-ce": "repr(a2)", "PyGLM": "repr(a2)", "CPython": "repr(x)"}),
    ("construct Rect", {"velmora": "Rect(x, y, w, h)", "pygame-ce": "FRect(x, y, w, h)", "CPython": "(x, y, w, h)"}),
    ("point test", {"velmora": "r.collide_point((px, py))", "pygame-ce": "r.collidepoint((px, py))",
                    "CPython": "x.is_integer()"}),
    ("overlap test", {"velmora": "r.collide_rect(s)", "pygame-ce": "r.colliderect(s)", "CPython": "x.is_integer()"}),
    ("point test Vector2", {"velmora": "r.collide_point(a2)", "pygame-ce": "r.collidepoint(a2)",
                            "CPython": "x.is_integer()"}),
    ("construct Rect 2xV2", {"velmora": "Rect(a2, b2)", "pygame-ce": "FRect(a2, b2)", "CPython": "t + t"}),
    ("set center", {"velmora": "r.center = a2", "pygame-ce": "r.center = a2", "CPython": "x, y = t"}),
    ("get center", {"velmora": "r.center", "pygame-ce": "r.center", "CPython": "c.real"}),
    # Each statement runs in a function of its own, so rebinding x and y here touches no other row.
    ("unpack Vector2", {"velmora": "x, y = a2", "pygame-ce": "x, y = a2", "PyGLM": "x, y = a2",
                        "CPython": "x, y = t"}),
    ("list Vector2", {"velmora": "list(a2)", "pygame-ce": "list(a2)", "PyGLM": "list(a2)", "CPython": "list(t)"}),
]

# The game toolkit, beside pygame-ce's nearest call (its rotate_rad takes radians, as rotate does).
TOOLKIT = [
    ("lerp Vector2", "a2.lerp(b2, 0.5)", "a2.lerp(b2, 0.5)", "x + 0.5 * (y - x)"),
    ("rotate Vector2", "a2.rotate(0.5)", "a2.rotate_rad(0.5)", "x.is_integer()"),
    ("move_towards Vector2", "a2.move_towards(b2, 0.5)", "a2.move_towards(b2, 0.5)", "x.is_integer()"),
    ("reflect Vector2", "a2.reflect(b2)", "a2.reflect(b2)", "x.is_integer()"),
    ("angle_to Vector2", "a2.angle_to(b2)", "a2.angle_to(b2)", "x.is_integer()"),
    ("length_squared Vector2", "a2.length_squared", "a2.length_squared()", "c.real"),
    ("topleft Rect", "r.topleft", "r.topleft", "c.real"),
    ("move Rect", "r.move(x, y)", "r.move(x, y)", "c.conjugate()"),
    ("inflate Rect", "r.inflate(x, y)", "r.inflate(x, y)", "c.conjugate()"),
    ("clip Rect", "r.clip(s)", "r.clip(s)", "c.conjugate()"),
    ("union Rect", "r.union(s)", "r.union(s)", "c.conjugate()"),
    ("contains Rect", "r.contains(s)", "r.contains(s)", "x.is_integer()"),
    ("clamp Rect", "r.clamp(s)", "r.clamp(s)", "c.conjugate()"),
    ("collide_list 1000", "r.collide_list(rects)", "r.collidelist(rects)", "floats.count(x)"),
    ("copy Rect", "r.copy()", "r.copy()", "c.conjugate()"),
]
ROWS += [(operation, {"velmora": mine, "pygame-ce": theirs, "CPython": floor})
         for operation, mine, theirs, floor in TOOLKIT]

# Methods called with every argument by keyword (the rows above pass them by position); the
# peers' methods take positional arguments only, so the floor is a built-in method called so.
KEYWORDS = [
    ("dot Vector2 by keyword", "a2.dot(other=b2)"),
    ("lerp Vector2 by keyword", "a2.lerp(other=b2, amount=0.5)"),
    ("point test by keyword", "r.collide_point(point=(px, py))"),
    ("clip Rect by keyword", "r.clip(other=s)"),
]
ROWS += [(operation, {"velmora": mine, "CPython": 'text.split(sep=",")'}) for operation, mine in KEYWORDS]

# Ratio columns: velmora's time over the fastest of these peers. Their names head the table's
# columns and key the JSON report, so they are plain ASCII.
RATIOS = {"per_peer": ["pygame-ce", "PyGLM"], "per_floor": ["CPython"]}


def available(setup: str) -> bool:
    try:
        exec(setup, {})
        return True
    except ImportError:
        return False


def environment() -> dict[str, Any]:
    """The interpreter, the packages and the machine a measurement ran on."""
    versions: dict[str, str | None] = {}
    for name in DISTRIBUTIONS:
        try:
            versions[name] = metadata.version(name)
        except metadata.PackageNotFoundError:
            versions[name] = None
    cpu = platform.processor()
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            cpu = next((line.split(":", 1)[1].strip() for line in f if line.startswith("model name")), cpu)
    except OSError:
        pass
    return {
        "python": sys.version.split()[0],
        "implementation": platform.python_implementation(),
        "versions": versions,
        "machine": {"platform": platform.platform(), "processor": cpu, "cpus": os.cpu_count()},
    }


def measure(quick: bool = False, progress: TextIO | None = None, peers: dict[str, str] = PEERS,
            rows: list[Row] = ROWS, ratios: dict[str, list[str]] = RATIOS) -> Report:
    """ns per operation for every row and peer, and velmora's ratios. `progress`, when
    given, is a stream that is told how far the measurement has come."""
    started = datetime.now(timezone.utc).isoformat(timespec="seconds")
    number = 20_000 if quick else 200_000
    rounds = 3 if quick else 7
    have = {name: available(setup) for name, setup in peers.items()}
    best: dict[tuple[str, str], float] = {}
    timers = []
    for operation, statements in rows:
        for peer, stmt in statements.items():
            if peer in peers and have[peer]:
                timers.append(((operation, peer), timeit.Timer(stmt, peers[peer])))
    empty_timer = timeit.Timer("pass", SETUP)
    empty = float("inf")
    for round_ in range(rounds):
        empty = min(empty, empty_timer.timeit(number))
        for i, (key, timer) in enumerate(timers):
            elapsed = timer.timeit(number)
            best[key] = min(best.get(key, elapsed), elapsed)
            if progress is not None:
                progress.write(f"\rmeasuring {round_ * len(timers) + i + 1}/{rounds * len(timers)}")
                progress.flush()
    if progress is not None:
        progress.write("\r" + " " * 30 + "\r")
        progress.flush()
    result: dict[str, Any] = {"timestamp": started, "mode": "quick" if quick else "full", "peers": list(peers),
                              "available": have, "environment": environment(), "rows": []}
    for operation, _ in rows:
        ns = {peer: (max(best[(operation, peer)] - empty, 0.0) / number * 1e9 if (operation, peer) in best else None)
              for peer in peers}
        mine = ns["velmora"]
        shares: dict[str, float | None] = {}
        for column, against in ratios.items():
            times = [t for p in against if (t := ns.get(p)) is not None]
            shares[column] = mine / min(times) if times and min(times) > 0 and mine else None
        result["rows"].append({"operation": operation, "ns": ns, "ratios": shares})
    return result


def table(result: Report, ratios: dict[str, list[str]] = RATIOS) -> str:
    peers, columns = result["peers"], list(result["rows"][0]["ratios"]) if result["rows"] else []
    wide = max([len("operation"), *(len(row["operation"]) for row in result["rows"])]) + 2
    head = f"{'operation':<{wide}}" + "".join(f"{p:>11}" for p in peers) + "".join(f"{c:>10}" for c in columns)
    lines = [head, "-" * len(head)]
    for row in result["rows"]:
        cells = []
        for peer in peers:
            v = row["ns"][peer]
            absent = "missing" if not result["available"][peer] else "—"
            cells.append(f"{v:>9.1f}ns" if v is not None else f"{absent:>11}")
        shown = [f"{r:>10.2f}" if r is not None else f"{'—':>10}" for r in row["ratios"].values()]
        lines.append(f"{row['operation']:<{wide}}" + "".join(cells) + "".join(shown))
    env = result["environment"]
    lines.append(f"ns per operation, empty loop subtracted; Python {env['python']} on {env['machine']['processor']}.")
    lines.append("; ".join(f"{column}: velmora / the fastest of {', '.join(against)}" for column, against in
                           ratios.items() if column in columns) + ".")
    if any("—" in line for line in lines[2:]):
        lines.append("—: that library has no such operation; for a ratio, none of its libraries has a figure.")
    if not all(result["available"].values()):
        lines.append("missing: not installed (pip install 'velmora[bench]').")
    return "\n".join(lines)


def add_options(p: argparse.ArgumentParser) -> argparse.ArgumentParser:
    p.add_argument("--quick", action="store_true", help="fewer, shorter rounds")
    p.add_argument("--json", metavar="FILE", help="also write the figures, versions and machine to FILE")
    return p


def parser() -> argparse.ArgumentParser:
    return add_options(argparse.ArgumentParser(prog="python -m velmora bench", description=__doc__.splitlines()[0]))


def cannot_write(path: str) -> str | None:
    """Why the report cannot be written to path, or None when it can: found out by opening it
    as the report will be (a missing folder, a folder, no permission), leaving it as it was."""
    existed = os.path.lexists(path)
    try:
        open(path, "a", encoding="utf-8").close()
    except OSError as error:
        return error.strerror or str(error)
    if not existed:
        os.remove(path)
    return None


def run(quick: bool, json_file: str | None, prog: str = "python -m velmora bench",
        before: Callable[[], None] | None = None) -> int:
    """Measures, prints the table and writes the report; `before` runs once the report's path
    is known to be writable, before anything is measured."""
    # A path that cannot be written must not cost a whole run to find out.
    problem = cannot_write(json_file) if json_file else None
    if problem:
        print(f"{prog}: error: cannot write {json_file}: {problem}", file=sys.stderr)
        return 2
    if before is not None:
        before()
    os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
    # Progress is drawn only for a person watching a terminal, never into a pipe or a log.
    result = measure(quick=quick, progress=sys.stderr if sys.stderr.isatty() else None)
    print(table(result))
    if json_file:
        with open(json_file, "w", encoding="utf-8") as f:
            json.dump(result, f, indent=2)
    return 0


def main(argv: list[str] | None = None) -> int:
    args = parser().parse_args(argv)
    return run(args.quick, args.json)


if __name__ == "__main__":
    sys.exit(main())
