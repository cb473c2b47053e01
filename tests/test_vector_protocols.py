"""repr, hashing, equality, items, iteration, tuples, copies and the pickling refusal."""
import copy
import importlib.util
import math
import os
import pickle
import random
import struct
import sys
from pathlib import Path

import pytest

from helpers import components, readme_blocks, same_bits
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


@pytest.mark.parametrize(
    "v, text",
    [
        (Vector2(), "Vector2(0.0, 0.0)"),
        (Vector2(0.1, -0.0), "Vector2(0.10000000149011612, -0.0)"),
        (Vector2(1e16, math.nan), "Vector2(1.0000000272564224e+16, nan)"),
        (Vector3(1, 2, 3), "Vector3(1.0, 2.0, 3.0)"),
        (Vector4(0.1, 1e16, 1e-05, math.inf), "Vector4(0.1, 1e+16, 1e-05, inf)"),
    ],
)
def test_repr(v, text):
    assert repr(v) == str(v) == text


# Raise it for a long run by hand; a debug interpreter, twenty times slower, checks fewer.
REPR_VALUES = int(os.environ.get("VELMORA_REPR_VALUES", "100000" if hasattr(sys, "gettotalrefcount") else "2400000"))


def test_repr_writes_every_float_as_python_does():
    """velmora formats floats itself; each must read exactly as repr(float) does. Doubles go
    through Vector4, float32 values through Vector2, in the numbers of REPR_VALUES."""
    rng = random.Random(20261208)
    special = [0.0, -0.0, 1.0, -1.5, math.inf, -math.inf, math.nan, -math.nan, 5e-324, -5e-324, 2.2250738585072014e-308,
               1.7976931348623157e308, 1e16, 9999999999999998.0, 1e15, 1e-4, 1e-5, 0.0001234, 123456789012345680.0,
               0.1, 1 / 3, 2.0**53, 2.0**-1074]
    special += [10.0**e for e in range(-330, 309)] + [-(10.0**e) * 1.5 for e in range(-320, 300)]
    bits = [struct.unpack("<d", rng.getrandbits(64).to_bytes(8, "little"))[0] for _ in range(REPR_VALUES // 2)]
    integers = [float(rng.getrandbits(rng.randrange(1, 64)) * rng.choice((1, -1))) for _ in range(REPR_VALUES // 8)]
    doubles = special + bits + integers
    doubles += [0.0] * (-len(doubles) % 4)
    for i in range(0, len(doubles), 4):
        chunk = doubles[i:i + 4]
        assert repr(Vector4(*chunk)) == f"Vector4({', '.join(map(repr, chunk))})"
    singles = [struct.unpack("<f", rng.getrandbits(32).to_bytes(4, "little"))[0] for _ in range(REPR_VALUES // 4)]
    for i in range(0, len(singles) - 1, 2):
        x, y = singles[i], singles[i + 1]
        assert repr(Vector2(x, y)) == f"Vector2({x!r}, {y!r})"


def test_cached_powers_of_ten_match_their_generator():
    # The formatter's table of 10**k, checked against exact arithmetic.
    path = Path(__file__).resolve().parent.parent / "tools" / "generate_powers.py"
    spec = importlib.util.spec_from_file_location("generate_powers", path)
    generator = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(generator)
    assert generator.TARGET.read_text() == generator.text(), "stale: run python tools/generate_powers.py"


def test_hash_and_equality(fam):
    v = fam.make(1, 2, 3, 4)
    t = tuple(map(float, (1, 2, 3, 4)[: fam.n]))
    assert hash(v) == hash(t)
    assert (v == t) is False and (v != t) is True and (t == v) is False and (t != v) is True
    assert v == fam.make(1.0, 2.0, 3.0, 4.0) and not (v != fam.make(1, 2, 3, 4))
    zero, negzero = fam.cls(), fam.make(-0.0, 0, 0, 0)
    assert zero == negzero and hash(zero) == hash(negzero)
    for other in (None, [1, 2, 3, 4], 1):
        assert (v == other) is False and (v != other) is True
    with pytest.raises(TypeError):
        v < fam.cls()


def test_equality_across_classes_and_precision():
    assert Vector2(1, 2) != Vector3(1, 2, 0)
    assert Vector2(0.1, 0) == Vector2(0.10000000149011612, 0)


def test_nan_is_unequal_to_itself(fam):
    v = fam.make(math.nan, 0, 0, 0)
    assert v != v and not (v == v)


def test_sequence_behaviour(fam):
    v = fam.make(1, 2, 3, 4)
    assert len(v) == fam.n and bool(fam.cls()) is True
    assert list(v) == [1.0, 2.0, 3.0, 4.0][: fam.n]
    assert list(reversed(v)) == [4.0, 3.0, 2.0, 1.0][4 - fam.n :]
    assert 2.0 in v and 9 not in v
    assert v[True] == 2.0
    with pytest.raises(ValueError):
        a, *_ = v; a, b, c, d, e = v  # noqa: E702


@pytest.mark.parametrize("key, exc", [(-1, IndexError), (4, IndexError), (2**32, IndexError),
                                      (2**64, OverflowError), (1.0, TypeError), (slice(0, 1), TypeError),
                                      ("x", TypeError)])
def test_bad_keys(fam, key, exc):
    v = fam.make(1, 2, 3, 4)
    with pytest.raises(exc) as info:
        v[key]
    if exc is IndexError:
        assert str(info.value) == "Vector index out of range"
    with pytest.raises(exc):
        v[key] = 1.0
    assert components(v) == (1.0, 2.0, 3.0, 4.0)[: fam.n]


def test_item_assignment(fam):
    v = fam.cls()
    v[0] = 5
    v[1] = 0.1
    assert v[0] == 5.0 and v[1] == fam.store(0.1)
    v[0] = 1e39
    assert v[0] == (math.inf if fam.single else 1e39)
    for key in (0, 7):
        with pytest.raises(TypeError):
            v[key] = "a"  # the value is checked before the index
    with pytest.raises(NotImplementedError) as info:
        del v[0]
    assert str(info.value) == f"Subscript deletion not supported by {fam.full_name}"
    assert v[1] == fam.store(0.1)


@pytest.mark.parametrize(
    "v, ints, rounded",
    [
        (Vector2(2.7, -2.7), (2, -2), (3, -3)),
        (Vector2(2.5, -2.5), (2, -2), (3, -3)),
        (Vector2(0.49999997, -1.5), (0, -1), (0, -2)),
        (Vector4(-0.5, 0.5, 3.99, -3.99), (0, 0, 3, -3), (-1, 1, 4, -4)),
        (Vector4(0.49999999999999994, 0.5, -0.5, 1e9), (0, 0, 0, 1000000000), (0, 1, -1, 1000000000)),
        (Vector4(1e20, -3e10, 2**53, 0), (10**20, -3 * 10**10, 2**53, 0), (10**20, -3 * 10**10, 2**53, 0)),
    ],
)
def test_int_tuples(v, ints, rounded):
    assert v.get_int_tuple() == ints and v.get_rounded_tuple() == rounded
    assert all(type(i) is int for i in v.get_int_tuple() + v.get_rounded_tuple())


@pytest.mark.parametrize("value, exc", [(math.nan, ValueError), (math.inf, OverflowError), (-math.inf, OverflowError)])
def test_int_tuples_of_non_finite_components(fam, value, exc):
    v = fam.make(1, value, 0, 0)
    for method in (v.get_int_tuple, v.get_rounded_tuple):
        with pytest.raises(exc):
            method()


def test_get_tuple(fam):
    assert fam.make(1.5, 2.5, 3.5, 4.5).get_tuple() == (1.5, 2.5, 3.5, 4.5)[: fam.n]
    assert fam.make(0.1, 0, 0, 0).get_tuple()[0] == fam.store(0.1)


def test_copies(fam):
    v = fam.make(-0.0, math.inf, math.nan, 1)
    memo = {}
    for w in (v.copy(), v.__copy__(), copy.copy(v), copy.deepcopy(v), v.__deepcopy__(memo), v.__deepcopy__(memo=None)):
        assert type(w) is fam.cls and w is not v and same_bits(components(w), components(v))
    assert memo == {}
    w = v.copy()
    w[0] = 9
    assert same_bits((v[0],), (-0.0,))
    with pytest.raises(TypeError, match=r"^__deepcopy__\(\) takes exactly 1 positional argument \(0 given\)$"):
        v.__deepcopy__()
    with pytest.raises(TypeError, match=r"^copy\(\) got an unexpected keyword argument 'deep'$"):
        v.copy(deep=True)


def test_pickling_refused(fam):
    v = fam.cls()
    message = "Pickling of struct members such as self.data must be explicitly requested with @auto_pickle(True)"
    for call in (lambda: pickle.dumps(v), v.__reduce__, lambda: v.__setstate__(None), lambda: v.__reduce_ex__(2)):
        with pytest.raises(TypeError) as info:
            call()
        assert str(info.value) == message
    with pytest.raises(TypeError, match="takes exactly 1 positional argument"):
        v.__setstate__()
    with pytest.raises(TypeError, match=r"^get_tuple\(\) takes exactly 0 positional arguments \(1 given\)$"):
        v.get_tuple(1)


@pytest.mark.unhunted
def test_readme_python_examples_run():
    # Among them, saving and restoring records through get_tuple() and JSON, since pickling
    # is refused: its assertion holds only if the float32 values come back exactly.
    blocks = readme_blocks("python")
    assert any("json.loads" in block for block in blocks)
    for block in blocks:
        exec(block, {})


def test_hash_follows_components():
    v = Vector2(1, 2)
    s = {v}
    v.x = 5
    assert hash(v) == hash((5.0, 2.0)) and v not in s
