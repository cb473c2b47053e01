"""Callbacks into Python in the middle of an operation: the callback changes or drops the
objects involved, and nothing is read after it was freed."""
import gc
import weakref

import pytest

from helpers import Foreign, abi, emptying_list
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector4.vector4 import Vector4


@pytest.mark.parametrize(
    "call",
    [
        lambda: Vector2(emptying_list(2)),
        lambda: Vector2.from_list(emptying_list(2)),
        lambda: abi.v2_cfrom_list(emptying_list(2)),
        lambda: abi.v3_cfrom_list(emptying_list(3)),
        lambda: abi.v4_cfrom_list(emptying_list(4)),
        lambda: Rect(emptying_list(4)),
        lambda: Rect(emptying_list(2), (3, 4)),
        lambda: Rect(0, 0, 10, 10).collide_point(emptying_list(2)),
        lambda: Rect(0, 0, 10, 10).collide_rect(emptying_list(4)),
        lambda: Rect(0, 0, 10, 10).collide_point_list(emptying_list(2)),
        lambda: Rect(0, 0, 10, 10).collide_rect_list(emptying_list(4)),
        lambda: setattr(Rect(), "center", emptying_list(2)),
    ],
)
def test_list_emptied_while_its_items_convert(call):
    # The converted item survives (it is held while converting); the items after it are gone.
    with pytest.raises(IndexError):
        call()


def test_foreign_vector_reinitialises_the_receiver_while_read():
    v = Vector2(5, 6)

    class Reinitialises(Foreign):
        @property
        def x(self):
            v.__init__(7, 8)
            return 1.0

        y = 2.0

    v.__init__(Reinitialises())
    assert (v.x, v.y) == (1.0, 2.0)


def test_mapping_drops_its_values_while_data_converts():
    class Drops:
        def __init__(self, mapping):
            self.mapping = mapping

        def __float__(self):
            self.mapping.clear()  # frees the value for 'y' unless it is held
            return 3.0

    class Y:
        def __float__(self):
            return 4.0

    mapping = {"x": None, "y": Y()}
    mapping["x"] = Drops(mapping)
    v = Vector2()
    v.data = mapping
    assert (v.x, v.y) == (3.0, 4.0)


def test_rect_setter_subtraction_changes_the_rect():
    r = Rect(0, 0, 4, 2)

    class Value:
        def __sub__(self, width):
            r.width = 100  # the subtrahend was taken before this
            return 10 - width

    r.right = Value()
    assert (r.x, r.width) == (6.0, 100.0)


def test_comparison_changes_the_rect_during_a_typed_point_test():
    r = Rect(0, 0, 10, 10)

    class Coordinate(float):
        def __ge__(self, other):
            r.__init__(100, 100, 1, 1)
            return float(self) >= other

        __le__ = lambda self, other: float(self) <= other  # noqa: E731

    # x <= 5 changes the rectangle to (100, 100, 1, 1) before the next comparison reads it: then
    # 5 <= right (101) holds and y <= 5 (100 <= 5) does not.
    assert r.collide_point_tuple((Coordinate(5), 5)) is False
    assert r == Rect(100, 100, 1, 1)


def test_override_called_from_the_table_mutates_and_drops_state():
    class Sub(Rect):
        def get_width(self):
            self.__init__(1, 2, 30, 4)
            del self.__dict__["extra"]
            return self.width

    s = Sub(0, 0, 5, 5)
    s.extra = object()
    assert abi.r_get_width(s, 0) == 30.0
    assert abi.r_get_width(s, 1) == 30.0


def test_override_that_raises_from_the_table():
    class Sub(Rect):
        def collide_rect(self, other):
            raise KeyError("override")

    with pytest.raises(KeyError):
        abi.r_collide_rect(Sub(), (0, 0, 1, 1), 0)
    assert abi.r_collide_rect(Sub(0, 0, 2, 2), (0, 0, 1, 1), 1) is True


@pytest.mark.parametrize("cls", [Rect, GlyphInfo])
@pytest.mark.parametrize("slots", [True, False])
def test_subclass_finaliser_runs_once(cls, slots):
    calls = []
    body = {"__del__": lambda self: calls.append(1)}
    if slots:
        body["__slots__"] = ()
    instance = type("Sub", (cls,), body)()
    del instance
    gc.collect()
    assert calls == [1]


def test_finaliser_that_resurrects():
    keep = []

    class Sub(Rect):
        def __del__(self):
            keep.append(self)

    Sub(1, 2, 3, 4)
    gc.collect()
    assert keep and keep[0] == Rect(1, 2, 3, 4)


def test_glyph_cleared_by_the_collector_while_its_image_goes():
    class G(GlyphInfo):
        pass

    g = G()
    g.me = g
    g.vector = Vector4(1, 2, 3, 4)
    collected = weakref.ref(g)
    del g
    gc.collect()
    assert collected() is None
