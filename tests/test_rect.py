"""Rect: construction, edges and centres, collisions, protocols, and its C-level entries."""
import copy
import math
import pickle
import types

import pytest

from helpers import abi, f32, output_of, raised_in_fresh_process
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def fields(r):
    return (r.x, r.y, r.width, r.height)


@pytest.mark.parametrize(
    "args, expected",
    [
        ((), (0, 0, 0, 0)),
        ((1, 2, True, 4.5), (1, 2, 1, 4.5)),
        ((Vector2(3, 4),), (0, 0, 3, 4)),
        ((Vector4(1, 2, 3, 4),), (1, 2, 3, 4)),
        (([1, 2, 3, 4],), (1, 2, 3, 4)),
        ((type("T", (tuple,), {})((1, 2, 3, 4)),), (1, 2, 3, 4)),
        ((Rect(1, 2, 3, 4),), (1, 2, 3, 4)),
        ((Vector2(1, 2), Vector2(3, 4)), (1, 2, 3, 4)),
        (((1, 2), (3, 4)), (1, 2, 3, 4)),
        (([1, 2], Vector2(3, 4)), (1, 2, 3, 4)),
        ((Vector2(1, 2), Vector3(3, 4, 5)), (1, 2, 3, 4)),
        ((1e39, 0.1, -1, 0), (math.inf, f32(0.1), -1, 0)),
    ],
)
def test_construction(args, expected):
    assert fields(Rect(*args)) == tuple(map(float, expected))


@pytest.mark.parametrize(
    "args, exc, message",
    [
        (([1, 2, 3],), ValueError, "list/tuple for rect must have 4 elements"),
        (((1, 2), (3, 4, 5)), ValueError, "Second argument must be a Vector2 or list/tuple of length 2"),
        (((1, 2, 3), (4, 5)), ValueError, "First argument must be a Vector2 or list/tuple of length 2"),
        ((5, (1, 2)), ValueError, "First argument must be a Vector2 or list/tuple of length 2"),
        ((1, 2, 3), TypeError, "Rect expected 0, 1, 2, or 4 arguments, got 3"),
        ((1, 2, 3, 4, 5), TypeError, "Rect expected 0, 1, 2, or 4 arguments, got 5"),
        ((Vector3(1, 2, 3),), ValueError, "Rect takes Vector2, Rect, Vector4, or list/tuple of length 4"),
        ((Vector2(1, 2), (16, 16)), AttributeError, "'tuple' object has no attribute 'x'"),  # size by attribute
        (("a", 0, 0, 0), TypeError, None),
    ],
)
def test_construction_errors(args, exc, message):
    with pytest.raises(exc) as info:
        Rect(*args)
    if message:
        assert str(info.value) == message
    with pytest.raises(TypeError, match="^__init__\\(\\) got an unexpected keyword argument 'x'$"):
        Rect(x=1)


class MappingOnly:
    """Answers item access with int keys and nothing else: not a sequence."""

    def __init__(self, *values):
        self.values = values

    def __getitem__(self, key):
        return self.values[key]


INDEXABLE = [lambda a, b: {0: a, 1: b}, lambda a, b: types.MappingProxyType({0: a, 1: b}), MappingOnly]


@pytest.mark.parametrize("make", INDEXABLE, ids=["dict", "mappingproxy", "mapping-only"])
def test_item_access_reads_any_indexable_object(make):
    r = Rect(1, 2, 3, 4)
    r.center = make(10, 20)
    assert (r.x, r.y, r.width, r.height) == (8.5, 18.0, 3.0, 4.0)
    # The size is read by item access and stored before it is found to be no Vector2 or list.
    with pytest.raises(ValueError, match="^Second argument must be a Vector2 or list/tuple of length 2$"):
        r.__init__((5, 6), make(7, 8))
    assert fields(r) == (5.0, 6.0, 7.0, 8.0)


@pytest.mark.parametrize(
    "call, name",
    [
        (lambda r: setattr(r, "center", 5), "int"),
        (lambda r: r.__init__((1, 2), 5), "int"),
        (lambda r: r.collide_point_tuple(None), "NoneType"),
        (lambda r: r.collide_point_list(None), "NoneType"),
        (lambda r: r.collide_rect_tuple(None), "NoneType"),
        (lambda r: r.collide_rect_list(None), "NoneType"),
    ],
)
def test_unindexable_objects_raise_the_subscription_error(call, name):
    r = Rect(1, 2, 3, 4)
    with pytest.raises(TypeError, match=f"^'{name}' object is not subscriptable$"):
        call(r)
    assert fields(r) == (1.0, 2.0, 3.0, 4.0)


def test_properties():
    r = Rect(1, 2, 3, 4)
    assert (r.right, r.bottom, r.centerx, r.centery) == (4.0, 6.0, 2.5, 4.0)
    assert type(r.center) is Vector2 and (r.center.x, r.center.y) == (2.5, 4.0)
    assert (r.w, r.h, r.left, r.top) == (3.0, 4.0, 1.0, 2.0)
    r.right = 10
    assert (r.x, r.width, r.right) == (7.0, 3.0, 10.0)
    r.centerx = 0
    assert r.x == -1.5
    r.center = (10, 20)
    assert (r.x, r.y) == (8.5, 18.0)
    r.center = [10, 20, 30]
    assert (r.x, r.y) == (8.5, 18.0)
    with pytest.raises(IndexError):
        r.center = (10,)
    assert (r.x, r.y) == (8.5, 18.0)
    with pytest.raises(NotImplementedError, match="^__del__$"):
        del r.width
    r.w = 2**200
    assert r.width == math.inf


def test_precision_at_float32_limit():
    r = Rect(16777216, 0, 1, 1)
    assert r.right == 16777216.0 and r.centerx == 16777216.5
    assert not r.collide_point((16777216.5, 0.5))
    assert Rect(0, 0, -4, 2).right == -4.0 and Rect(0, 0, -4, 2).centerx == -2.0


def test_collisions():
    r = Rect(0, 0, 10, 10)
    for p in [(0, 0), (10, 10), (10, 0), (5, 5)]:
        assert r.collide_point(p) and r.collide_point_tuple(p) and r.collide_point_list(list(p))
        assert r.collide_point_vector2(Vector2(*p)) and r.collide_point(Vector2(*p))
    for p in [(10.5, 5), (-0.001, 5), (math.nan, 5)]:
        assert not r.collide_point(p) and not r.collide_point_tuple(p)
    assert not r.collide_rect(Rect(10, 0, 5, 5)) and r.collide_rect(Rect(9.5, 0, 5, 5))
    assert r.collide_rect((0, 0, 10, 10)) and r.collide_rect_rect(r) and r.collide_rect_tuple((9, 9, 2, 2))
    assert r.collide_rect_vector4(Vector4(9, 9, 2, 2)) and r.collide_rect_list([-1, -1, 2, 2])
    zero = Rect(3, 4, 0, 0)
    assert zero.collide_point((3, 4)) and not zero.collide_rect(zero) and not zero.collide_rect_rect(zero)
    nan = Rect(math.nan, 0, 10, 10)
    assert not nan.collide_point((5, 5)) and not nan.collide_rect(r) and nan != nan


@pytest.mark.parametrize(
    "call, exc, message",
    [
        (lambda r: r.collide_point((1, 2, 3)), ValueError, "Point must be a Vector2, tuple, or list of length 2"),
        (lambda r: r.collide_point(5), ValueError, "Point must be a Vector2, tuple, or list of length 2"),
        (lambda r: r.collide_rect([1, 2, 3]), ValueError,
         "rect for collision must be a Rect, Vector4, tuple, or list of length 4"),
        (lambda r: r.collide_point_tuple([1, 2]), TypeError,
         "Argument 'point' has incorrect type (expected tuple, got list)"),
        (lambda r: r.collide_point_tuple(type("T", (tuple,), {})((1, 2))), TypeError, None),
        (lambda r: r.collide_rect_rect(None), TypeError,
         "Argument 'other' has incorrect type (expected velmora.rect.rect.Rect, got NoneType)"),
        (lambda r: r.collide_point_tuple((1,)), IndexError, None),
        (lambda r: r.collide_rect_list([1, 2]), IndexError, None),
        (lambda r: r.collide_point_vector2(None), AttributeError, None),
    ],
)
def test_collision_errors(call, exc, message):
    with pytest.raises(exc) as info:
        call(Rect(0, 0, 10, 10))
    if message:
        assert str(info.value) == message


class Unreadable:
    def __le__(self, other):
        raise AssertionError("compared")

    __ge__ = __lt__ = __gt__ = __le__


class Widens(float):
    """A coordinate whose comparison with the left edge, or addition, widens the rectangle."""

    def __ge__(self, other):
        self.rect.width = 100
        return float(self) >= other

    def __add__(self, other):
        self.rect.x = 100
        return float(self) + other


@pytest.mark.parametrize("make", [tuple, list])
def test_typed_tests_read_the_rectangle_when_each_comparison_needs_it(make):
    # The point test makes `right` only after comparing px with x, which widened the
    # rectangle; the overlap test makes x before ox + ow moved it.
    r = Rect(0, 0, 10, 10)
    Widens.rect = r
    assert getattr(r, f"collide_point_{make.__name__}")(make((Widens(20), 5))) is True
    r.__init__(0, 0, 10, 10)
    assert getattr(r, f"collide_rect_{make.__name__}")(make((Widens(5), 1, 1, 1))) is True
    assert r.x == 100.0


def test_typed_tests_stop_at_the_first_false_condition():
    r = Rect(0, 0, 10, 10)
    assert r.collide_point_tuple((-5, Unreadable())) is False
    assert r.collide_point_list([50, Unreadable()]) is False
    with pytest.raises(AssertionError):
        r.collide_point_tuple((5, Unreadable()))


def test_protocols():
    r = Rect(1, 2, 3, 4)
    assert repr(r) == str(r) == "Rect(position=(1.0, 2.0), size=(3.0, 4.0))"
    assert repr(type("R", (Rect,), {})(1, 2, 3, 4)).startswith("Rect(position=")
    assert r.get_tuple() == (1.0, 2.0, 3.0, 4.0) and list(r) == [1.0, 2.0, 3.0, 4.0] and len(r) == 4
    v = r.get_vector4()
    assert type(v) is Vector4 and (v.x, v.y, v.z, v.w) == (1, 2, 3, 4)
    assert r == Rect(1, 2, 3, 4) and r != Rect(1, 2, 3, 5)
    assert (r == (1, 2, 3, 4)) is False and ((1, 2, 3, 4) == r) is False and ((1, 2, 3, 4) != r) is True
    assert r[True] == 2.0
    for key, exc in [(-1, IndexError), (4, IndexError), (1.0, TypeError)]:
        with pytest.raises(exc):
            r[key]
    with pytest.raises(TypeError):
        r[4] = "a"
    with pytest.raises(IndexError, match="^Rect index out of range$"):
        r[4] = 1
    r[2] = 7
    assert r.width == 7.0
    with pytest.raises(NotImplementedError, match="^Subscript deletion not supported by velmora.rect.rect.Rect$"):
        del r[0]
    for call in (hash, lambda x: {x}, lambda x: x < Rect()):
        with pytest.raises(TypeError):
            call(r)
    message = "Pickling of struct members such as self._raw must be explicitly requested with @auto_pickle(True)"
    for call in (pickle.dumps, copy.copy, copy.deepcopy):
        with pytest.raises(TypeError) as info:
            call(r)
        assert str(info.value) == message


# ---- the C-level table, with and without overrides ----


class Plain(Rect):
    pass


class Overrides(Rect):
    def get_width(self):
        return "w"

    def get_height(self):
        return "h"

    def get_vector4(self):
        return None

    def get_tuple(self):
        return ("t",)

    def __getattribute__(self, name):
        if name.startswith("collide_"):
            return lambda arg: name  # a true value
        return super().__getattribute__(name)


COLLIDE = [("collide_point", (5, 5)), ("collide_point_vector2", Vector2(5, 5)), ("collide_point_tuple", (5, 5)),
           ("collide_point_list", [5, 5]), ("collide_rect", (1, 1, 2, 2)),
           ("collide_rect_vector4", Vector4(1, 1, 2, 2)),
           ("collide_rect_rect", Rect(1, 1, 2, 2)), ("collide_rect_tuple", (1, 1, 2, 2)),
           ("collide_rect_list", [1, 1, 2, 2])]


@pytest.mark.parametrize("cls", [Rect, Plain, Overrides])
@pytest.mark.parametrize("flag", [0, 1])
def test_table_entries(cls, flag):
    r = cls(0, 0, 10, 20)
    overridden = cls is Overrides and flag == 0
    assert abi.r_get_width(r, flag) == ("w" if overridden else 10.0)
    assert abi.r_get_height(r, flag) == ("h" if overridden else 20.0)
    assert abi.r_get_tuple(r, flag) == (("t",) if overridden else (0.0, 0.0, 10.0, 20.0))
    v = abi.r_get_vector4(r, flag)
    assert v is None if overridden else (type(v) is Vector4 and v.w == 20.0)
    far = Rect(100, 100, 1, 1)
    for name, arg in COLLIDE:
        assert getattr(abi, "r_" + name)(r, arg, flag) is True
        assert getattr(abi, "r_" + name)(far, arg, flag) is False


@pytest.mark.parametrize("cls", [Rect, Plain])
@pytest.mark.parametrize("flag", [0, 1])
@pytest.mark.parametrize("other, got", [(None, "NoneType"), ((0, 0, 1, 1), "tuple"),
                                        (Vector4(0, 0, 1, 1), "velmora.vector4.vector4.Vector4")])
def test_rect_entry_never_reads_a_rectangle_out_of_another_object(cls, flag, other, got):
    with pytest.raises(TypeError) as info:
        abi.r_collide_rect_rect(cls(-1, -1, 2, 2), other, flag)
    assert str(info.value) == f"Argument 'other' has incorrect type (expected velmora.rect.rect.Rect, got {got})"


def test_creation_paths_skip_init():
    class Loud(Rect):
        def __init__(self, *a):
            raise AssertionError("ran")

    r = abi.r_new(1, 2, 3, 0.1)
    assert type(r) is Rect and fields(r) == (1.0, 2.0, 3.0, f32(0.1))
    loud = Rect.__new__(Loud, 1, 2, 3, 4)  # creation ignores its arguments and runs no __init__
    assert type(loud) is Loud and fields(loud) == (0.0,) * 4
    with pytest.raises(AssertionError, match="^ran$"):
        Loud(1, 2, 3, 4)


@pytest.mark.parametrize(
    "result, message",
    [(5, "get_vector4: Cannot convert int to velmora.vector4.vector4.Vector4"),
     ([1], "get_tuple: Expected tuple, got list")],
)
def test_override_results_are_type_checked(result, message):
    name, text = message.split(": ")
    cls = type("Bad", (Rect,), {name: lambda self: result})
    with pytest.raises(TypeError) as info:
        getattr(abi, "r_" + name)(cls(), 0)
    assert str(info.value) == text


@pytest.mark.slow
def test_import_loads_vectors_first():
    assert output_of("import sys, velmora.rect.rect; print('velmora.vector2.vector2' in sys.modules, "
                "'velmora.vector4.vector4' in sys.modules)") == "True True"


@pytest.mark.slow
@pytest.mark.parametrize("statement", ["import velmora.rect.rect", "from velmora import Rect"])
@pytest.mark.parametrize(
    "setup, expected",
    [
        ("import velmora.vector2.vector2 as m; m.Vector2 = 5",
         "TypeError velmora.vector2.vector2.Vector2 is not a type object"),
        ("import velmora.vector4.vector4 as m; m.Vector4 = type('S', (), {'__slots__': ()})",
         "ValueError velmora.vector4.vector4.Vector4 size changed, may indicate binary incompatibility. "
         "Expected 56 from C header, got 16 from PyObject"),
    ],
)
def test_import_failures(setup, expected, statement):
    assert raised_in_fresh_process(setup, statement) == expected


@pytest.mark.slow
def test_import_warns_for_a_larger_class_with_the_real_table():
    out = output_of("""
        import warnings
        import velmora.vector4.vector4 as m
        real = m.Vector4
        m.Vector4 = type('Big', (), {'__slots__': tuple('abcdefgh'), '__pyx_vtable__': real.__dict__['__pyx_vtable__']})
        with warnings.catch_warnings(record=True) as w:
            warnings.simplefilter('always')
            from velmora.rect.rect import Rect
        print(w[0].category.__name__, Rect(1, 2, 3, 4).get_vector4())
        """)
    assert out == "RuntimeWarning Vector4(1.0, 2.0, 3.0, 4.0)"
