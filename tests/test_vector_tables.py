"""Every slot of the three vector tables, called as another native module would."""
import math
import sys

import pytest

from helpers import abi, components, f32, same_bits
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3


def slot(fam, name):
    return getattr(abi, f"{fam.prefix}_{name}")


def test_constructors(fam):
    n = fam.n
    xyz = fam.letters
    for name in ("new", f"cfrom_{xyz}"):
        v = slot(fam, name)(*[0.1] * n)
        assert type(v) is fam.cls and components(v) == (fam.store(0.1),) * n
    assert components(slot(fam, "cfrom_ints")(*[2**24 + 1] * n)) == (fam.store(2**24 + 1),) * n
    assert components(slot(fam, "cfrom_floats")(*[0.1] * n)) == (f32(0.1),) * n
    assert components(slot(fam, "cfrom_list")([1, 2, 3, 4, 5])) == (1.0, 2.0, 3.0, 4.0)[:n]
    assert components(slot(fam, "cfrom_tuple")((1, 2, 3, 4, 5))) == (1.0, 2.0, 3.0, 4.0)[:n]
    src = fam.make(-0.0, 1, 2, 3)
    copy = slot(fam, f"cfrom_vector{n}")(src)
    assert copy is not src and same_bits(components(copy), components(src))


def test_cfrom_struct():
    v = abi.v2_cfrom_struct(0.1, -0.0)
    assert type(v) is Vector2 and same_bits(components(v), (f32(0.1), -0.0))


def test_list_and_tuple_conversion_failures(fam):
    for seq in ([1, "a", 3, 4], (1, "a", 3, 4)):
        with pytest.raises(TypeError):
            slot(fam, "cfrom_" + type(seq).__name__)(seq)


def test_arithmetic_entries(fam):
    a, b = fam.make(1, 2, 3, 4), fam.make(10, 20, 30, 40)
    assert components(slot(fam, "_add")(a, b)) == (11.0, 22.0, 33.0, 44.0)[: fam.n]
    assert components(slot(fam, "_sub")(b, a)) == (9.0, 18.0, 27.0, 36.0)[: fam.n]
    v = a.copy()
    assert slot(fam, "_iadd")(v, b) is None and components(v) == (11.0, 22.0, 33.0, 44.0)[: fam.n]
    slot(fam, "_isub")(v, b)
    assert components(v) == components(a)
    slot(fam, "_imul")(v, v)
    assert components(v) == (1.0, 4.0, 9.0, 16.0)[: fam.n]
    slot(fam, "_sadd")(v, a, b)
    assert components(v) == (11.0, 22.0, 33.0, 44.0)[: fam.n]
    for flag in (0, 1):
        slot(fam, "sadd")(v, v, v, flag)
    assert components(v) == (44.0, 88.0, 132.0, 176.0)[: fam.n]


def test_metric_entries(fam):
    a, b = fam.make(3, 4, 0, 0), fam.make(0, 0, 0, 0)
    for flag in (0, 1):
        assert slot(fam, "dot")(a, a, flag) == 25.0
        assert slot(fam, "distance_to")(a, b, flag) == 5.0
        assert slot(fam, "distance_squared_to")(a, b, flag) == 25.0


def test_cross_entry():
    for flag in (0, 1):
        r = abi.v3_cross(Vector3(1, 0, 0), Vector3(0, 1, 0), flag)
        assert type(r) is Vector3 and components(r) == (0.0, 0.0, 1.0)


@pytest.mark.parametrize("name, expected", [
    ("round", (3.0, -3.0, 1.0, -0.0)),
    ("abs", (2.5, 2.5, 0.5, 0.25)),
    ("neg", (-2.5, 2.5, -0.5, 0.25)),
])
def test_transform_entries(fam, name, expected):
    for flag in (0, 1):
        v = fam.make(2.5, -2.5, 0.5, -0.25)
        got = slot(fam, "get_" + name)(v, flag)
        assert got is not v and same_bits(components(got), expected[: fam.n])
        before = sys.getrefcount(v)
        result = slot(fam, "to_" + name)(v, flag)
        assert result is v and sys.getrefcount(v) == before + 1
        del result
        assert same_bits(components(v), expected[: fam.n])


def test_normalize_entries(fam):
    v = fam.make(3, 4, 0, 0)
    unit = (fam.store(3 * (1 / 5.0)), fam.store(4 * (1 / 5.0)))  # scaled by the reciprocal length
    assert components(slot(fam, "get_normalized")(v, 0))[:2] == unit
    assert slot(fam, "to_normalized")(v, 1) is v and components(v)[:2] == unit


def test_tuple_and_copy_entries(fam):
    v = fam.make(2.5, -2.7, 0.1, 4)
    for flag in (0, 1):
        assert slot(fam, "get_tuple")(v, flag) == components(v)
        assert slot(fam, "get_int_tuple")(v, flag) == (2, -2, 0, 4)[: fam.n]
        assert slot(fam, "get_rounded_tuple")(v, flag) == (3, -3, 0, 4)[: fam.n]
        copy = slot(fam, "copy")(v, flag)
        assert copy == v and copy is not v
    assert slot(fam, "c_get_tuple")(v) == components(v)
    with pytest.raises(ValueError):
        slot(fam, "get_int_tuple")(fam.make(math.nan, 0, 0, 0), 0)


def test_every_slot_of_every_table_is_filled():
    from velmora.glyph_info.glyph_info import GlyphInfo
    from velmora.image.image import Image
    from velmora.rect.rect import Rect
    from velmora.vector4.vector4 import Vector4

    for cls, count in ((Vector2, 31), (Vector3, 31), (Vector4, 30), (Rect, 14), (GlyphInfo, 1), (Image, 10)):
        assert abi.table_slots(cls) == [True] * count, cls
