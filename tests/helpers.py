"""What the tests share: float32 oracles, the three vector families, a subprocess runner,
the callbacks several files use to change objects in the middle of an operation, and the
test-only native module, compiled by the test session against velmora's installed headers
the way a third-party extension is (it is not shipped)."""
import hashlib
import importlib.util
import math
import os
import re
import shlex
import struct
import subprocess
import sys
import sysconfig
import tempfile
import textwrap
from fractions import Fraction
from pathlib import Path

from hypothesis import strategies as st

import velmora
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4

NATIVE = Path(__file__).with_name("native")
README = Path(__file__).resolve().parent.parent / "README.md"


def readme_blocks(language: str) -> list[str]:
    """The README's fenced code blocks in `language`, in order."""
    return re.findall(rf"```{language}\n(.*?)```", README.read_text(), re.S)

# ---- float32 oracles ----


def f32(x: float) -> float:
    """The 32-bit float nearest to x, widened back to a Python float (ties to even;
    beyond the float range, an infinity). struct rather than numpy, so that tests using it
    can run under the leak hunter: a release-built numpy skews a debug interpreter's
    reference total."""
    try:
        return struct.unpack("<f", struct.pack("<f", x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


# Finite float32 values whose products of two, and sums of a few of those, stay finite in float32.
finite32 = st.floats(width=32, allow_nan=False, allow_infinity=False, min_value=-(2.0**60), max_value=2.0**60)


def f32_bits(x: float) -> int:
    return struct.unpack("<I", struct.pack("<f", x))[0]


def next_f32(x: float, up: bool) -> float:
    """The float32 next to the float32 x, towards +inf when up, else towards -inf."""
    if math.isinf(x) and (x > 0) == up:
        return x
    if x == 0:
        return math.copysign(2.0**-149, 1.0 if up else -1.0)
    return struct.unpack("<f", struct.pack("<I", f32_bits(x) + (1 if (x > 0) == up else -1)))[0]


def round_f32(q: Fraction) -> float:
    """Rounds an exact value once to the nearest float32 (ties to even). Through the double
    (two roundings) and then the nearest of its neighbours; struct rather than numpy, like f32."""
    start = f32(float(q))
    candidates = [start, next_f32(start, True), next_f32(start, False)]
    return min(candidates, key=lambda c: (abs(Fraction(c) - q), f32_bits(c) & 1))


def fma_f32(a: float, b: float, c: float) -> float:
    return round_f32(Fraction(a) * Fraction(b) + Fraction(c))


def same_bits(a, b):
    """Component-wise identity, telling -0.0 from 0.0 and matching NaNs."""
    return all(struct.pack("<d", x) == struct.pack("<d", y) for x, y in zip(a, b))


# ---- the vector families ----


class Family:
    """What the tests need to know about one vector class."""

    def __init__(self, cls, n, single, prefix):
        self.cls = cls
        self.n = n
        self.single = single  # 32-bit float storage
        self.prefix = prefix  # prefix of its entries in the test-only module
        self.name = cls.__name__
        self.full_name = f"velmora.{self.name.lower()}.{self.name.lower()}.{self.name}"
        self.letters = "xyzw"[:n]

    def store(self, x: float) -> float:
        """What the class stores for the double x."""
        return f32(x) if self.single else float(x)

    def make(self, *values):
        return self.cls(*values[: self.n])

    def __repr__(self):
        return self.name


VECTORS = [
    Family(Vector2, 2, True, "v2"),
    Family(Vector3, 3, True, "v3"),
    Family(Vector4, 4, False, "v4"),
]


def components(v):
    return tuple(getattr(v, c) for c in "xyzw"[: len(v)])


class Foreign:
    """A vector of another library: recognised by its clamp_magnitude_ip method."""

    def __init__(self, *values):
        for letter, value in zip("xyzw", values):
            setattr(self, letter, value)

    def clamp_magnitude_ip(self):
        pass


# ---- objects that change their container while they are read ----


class Clears:
    """Converts, compares or adds like `value` after emptying `owner` (dropping every other
    item): the typed collision methods use Python's operators instead of converting."""

    def __init__(self, owner, value=1.0):
        self.owner, self.value = owner, value

    def _emptied(self):
        self.owner.clear()
        return self.value

    def __float__(self):
        return self._emptied()

    def __index__(self):
        self._emptied()
        return 1

    def __ge__(self, other):
        return self._emptied() >= other

    def __le__(self, other):
        return self._emptied() <= other

    def __lt__(self, other):
        return self._emptied() < other

    def __gt__(self, other):
        return self._emptied() > other

    def __add__(self, other):
        return self._emptied() + other


def emptying_list(n):
    """n numbers whose first empties the list when it is converted or compared."""
    items = [float(i) for i in range(n)]
    items[0] = Clears(items)
    return items


# ---- native modules built by the tests, and subprocesses ----

BUILD = Path(tempfile.gettempdir()) / f"velmora-tests-{os.getuid()}"
HEADERS = Path(velmora.get_include())


def cached_module(name: str, parts, make, suffix=None) -> Path:
    """The folder that holds the extension module `name` (or the file of that name and `suffix`),
    made by make(folder, target) once for every `parts` (what the build reads: sources, flags,
    tool versions), interpreter and version of velmora's installed headers; later calls reuse it."""
    key = hashlib.sha256("\0".join([sys.version, *parts, *(p.read_text() for p in sorted(HEADERS.iterdir()))])
                         .encode()).hexdigest()[:16]
    folder = BUILD / key
    suffix = suffix or sysconfig.get_config_var("EXT_SUFFIX")
    target = folder / (name + suffix)
    if not target.exists():
        folder.mkdir(parents=True, exist_ok=True)
        partial = folder / f".{name}.{os.getpid()}{suffix}"
        make(folder, partial)
        partial.replace(target)
    return folder


def compile_native(command: list[str], what: str):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"compiling {what} failed:\n{result.stderr}")


def compiler(language: str) -> list[str]:
    """This interpreter's C or C++ compiler, with the language standard and warnings as errors."""
    if language == "c":
        return [*shlex.split(sysconfig.get_config_var("CC") or "cc"), "-std=c11", "-Wall", "-Wextra", "-Werror"]
    return [*shlex.split(sysconfig.get_config_var("CXX") or "c++"), "-std=c++17", "-Wall", "-Wextra", "-Werror"]


def build_extension(name: str, source: str, *, include=(), libraries=(), flags=(), language="c", objects=(),
                    parts=()) -> Path:
    """Compiles `source`, C11 (or C++17 with language="c++"), into the extension module `name`
    against the installed velmora headers (velmora.get_include()), warnings as errors, with the
    compiler `flags` added and the object files `objects` linked in, and returns the folder that
    holds it. Built once per source, flags, `parts`, interpreter and header version."""
    cc = compiler(language)
    flags = [*cc, "-O2", "-shared", "-fPIC", *flags, "-I" + sysconfig.get_paths()["include"], "-I" + str(HEADERS),
             *("-I" + str(i) for i in include)]

    def make(folder, target):
        src = folder / (name + (".c" if language == "c" else ".cpp"))
        src.write_text(source)
        compile_native([*flags, str(src), *map(str, objects), "-o", str(target), *("-l" + lib for lib in libraries)],
                       name)

    return cached_module(name, [source, *flags, *map(str, objects), *libraries, *parts], make)


def load_extension(name: str, folder: Path):
    spec = importlib.util.spec_from_file_location(name, folder / (name + sysconfig.get_config_var("EXT_SUFFIX")))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


# The test-only module: calls every C-level table entry (see native/testabi.c).
ABI_FOLDER = build_extension("testabi", (NATIVE / "testabi.c").read_text())
abi = load_extension("testabi", ABI_FOLDER)


def run_python(code: str) -> subprocess.CompletedProcess:
    """Runs `code` in a new interpreter, which can `import testabi` too."""
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(filter(None, [str(ABI_FOLDER), os.environ.get("PYTHONPATH")])))
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True, text=True, env=env)


def raised_in_fresh_process(setup: str, statement: str) -> str:
    """Runs `setup`, then `statement`, in a new interpreter (which can `import testabi`): what
    the statement raises, as "ExceptionName message", or what it prints when it raises nothing."""
    return output_of(f"{setup}\ntry:\n    {statement}\nexcept Exception as e:\n    print(type(e).__name__, e)\n")


def output_of(code: str) -> str:
    """What `code` prints, or the end of its error output when it fails."""
    result = run_python(code)
    return result.stdout.strip() + (result.stderr.strip()[-300:] if result.returncode else "")
