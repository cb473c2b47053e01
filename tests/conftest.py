import math
import struct
from fractions import Fraction

import numpy as np
import pytest

pytest_plugins = ["leak_hunter"]

from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def f32(x: float) -> float:
    """The 32-bit float nearest to x, widened back to a Python float (ties to even;
    beyond the float range, an infinity). struct rather than numpy, so that tests using it
    can run under the leak hunter: a release-built numpy skews a debug interpreter's
    reference total."""
    try:
        return struct.unpack("<f", struct.pack("<f", x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


def f32_bits(x: float) -> int:
    return struct.unpack("<I", struct.pack("<f", x))[0]


def round_f32(q: Fraction) -> float:
    """Rounds an exact value once to the nearest float32 (ties to even)."""
    start = np.float32(float(q))
    candidates = [start, np.nextafter(start, np.float32(np.inf)), np.nextafter(start, np.float32(-np.inf))]
    return float(min(candidates, key=lambda c: (abs(Fraction(float(c)) - q), f32_bits(float(c)) & 1)))


def fma_f32(a: float, b: float, c: float) -> float:
    return round_f32(Fraction(a) * Fraction(b) + Fraction(c))


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


@pytest.fixture(params=VECTORS, ids=lambda f: f.name)
def fam(request):
    return request.param


def components(v):
    return tuple(getattr(v, c) for c in "xyzw"[: len(v)])


def same_bits(a, b):
    """Component-wise identity, telling -0.0 from 0.0 and matching NaNs."""
    return all(struct.pack("<d", x) == struct.pack("<d", y) for x, y in zip(a, b))
