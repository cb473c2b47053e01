"""Swizzle properties: every name, in registration order, bit-exact, read-only."""
import itertools
import math

import pytest

from helpers import components, same_bits
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def swizzles_of(cls):
    return [k for k in cls.__dict__ if len(k) == len(cls()) and set(k) <= set("xyzw")]


def test_registration_order():
    assert list(Vector2.__dict__).index("x") < list(Vector2.__dict__).index("xx")
    assert swizzles_of(Vector2) == ["xx", "yy", "xy", "yx"]
    counting3 = ["".join(p) for p in itertools.product("xyz", repeat=3)]
    counting3[6], counting3[7] = counting3[7], counting3[6]
    assert swizzles_of(Vector3) == counting3
    assert swizzles_of(Vector3)[5:9] == ["xyz", "xzy", "xzx", "xzz"]
    assert swizzles_of(Vector4) == ["".join(p) for p in itertools.product("xyzw", repeat=4)]
    names = list(Vector2.__dict__)
    assert names.index("yx") < names.index("length") < names.index("data")


def test_counts_and_absent_names(fam):
    names = [n for n in dir(fam.cls) if set(n) <= set("xyzw") and len(n) > 1]
    assert len(names) == fam.n**fam.n
    assert set(names) == {"".join(p) for p in itertools.product(fam.letters, repeat=fam.n)}


@pytest.mark.parametrize("name", ["xxx", "xyz"])
def test_vector2_has_no_longer_swizzles(name):
    with pytest.raises(AttributeError):
        getattr(Vector2(1, 2), name)


@pytest.mark.parametrize("cls, name", [(Vector3, "xy"), (Vector3, "xyzw"), (Vector4, "xy"), (Vector4, "xyz")])
def test_other_lengths_absent(cls, name):
    with pytest.raises(AttributeError):
        getattr(cls(), name)


def test_every_swizzle_selects_its_components(fam):
    values = (1.5, -0.0, math.inf, 0.1)[: fam.n]
    v = fam.cls(*values)
    stored = components(v)
    for name in swizzles_of(fam.cls):
        w = getattr(v, name)
        assert type(w) is fam.cls and w is not v
        assert same_bits(components(w), [stored["xyzw".index(c)] for c in name]), name


def test_examples():
    assert Vector2(1, 2).yx == Vector2(2, 1) and Vector2(1, 2).xx == Vector2(1, 1)
    assert Vector3(1, 2, 3).xzy == Vector3(1, 3, 2) and Vector3(1, 2, 3).yyz == Vector3(2, 2, 3)
    assert Vector4(1, 2, 3, 4).wzyx == Vector4(4, 3, 2, 1) and Vector4(1, 2, 3, 4).xxww == Vector4(1, 1, 4, 4)
    assert Vector2(0.1, 0).yx[1] == 0.10000000149011612 and Vector4(0.1, 0, 0, 0).wzyx[3] == 0.1


def test_read_only_and_independent(fam):
    v = fam.make(1, 2, 3, 4)
    name = fam.letters[::-1]
    with pytest.raises(AttributeError):
        setattr(v, name, fam.cls())
    with pytest.raises(AttributeError):
        delattr(v, name)
    w = getattr(v, name)
    w[0] = 9
    assert components(v) == (1.0, 2.0, 3.0, 4.0)[: fam.n]
