"""Making vectors: __init__, __new__, the from_… constructors, components and data."""
import gc
import sys

import pytest

from helpers import VECTORS, Foreign, abi, components, f32
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


def test_positional_components(fam):
    values = [0.1, -2, True, Index(7)][: fam.n]
    v = fam.cls(*values)
    assert components(v) == tuple(fam.store(float(getattr(x, "value", x))) for x in values)
    assert components(fam.cls()) == (0.0,) * fam.n


@pytest.mark.parametrize(
    "arg_kind",
    ["vector", "tuple", "list", "tuple_subclass", "list_subclass", "foreign"],
)
def test_single_argument_shapes(fam, arg_kind):
    values = [3, 4, 5, 6][: fam.n]
    arg = {
        "vector": lambda: fam.cls(*values),
        "tuple": lambda: tuple(values),
        "list": lambda: list(values),
        "tuple_subclass": lambda: type("T", (tuple,), {})(values),
        "list_subclass": lambda: type("L", (list,), {})(values),
        "foreign": lambda: Foreign(*values),
    }[arg_kind]()
    assert components(fam.cls(arg)) == tuple(map(float, values))


@pytest.mark.parametrize(
    "args, message",
    [
        ((1, 2, 3, 4, 5), "{n}() takes 0, 1, or {N} arguments, but 5 were given"),
        (((1, 2, 3, 4, 5),), "{n}() takes a sequence of length {N}, but got 5"),
        (((),), "{n}() takes a sequence of length {N}, but got 0"),
        ((5,), "{n}() invalid constructor argument: int"),
        ((range(2),), "{n}() invalid constructor argument: range"),
        ((None,), "{n}() invalid constructor argument: NoneType"),
    ],
)
def test_constructor_messages(fam, args, message):
    with pytest.raises(TypeError) as info:
        fam.cls(*args)
    assert str(info.value) == message.format(n=fam.name, N=fam.n)


def test_wrong_count_and_other_vector_class():
    with pytest.raises(TypeError, match=r"^Vector3\(\) takes 0, 1, or 3 arguments, but 2 were given$"):
        Vector3(1, 2)
    with pytest.raises(TypeError, match="^Vector2\\(\\) invalid constructor argument: Vector3$"):
        Vector2(Vector3())


def test_keywords_refused(fam):
    with pytest.raises(TypeError, match="^__init__\\(\\) got an unexpected keyword argument 'x'$"):
        fam.cls(x=1)
    v = fam.cls()
    with pytest.raises(TypeError, match="^__init__\\(\\) got an unexpected keyword argument 'y'$"):
        v.__init__(y=2)


def test_conversion_errors_propagate():
    with pytest.raises(TypeError, match="real number, not str"):
        Vector2("1", 2)
    with pytest.raises(OverflowError):
        Vector4(10**400, 0, 0, 0)


def test_precision_of_storage():
    assert Vector2(0.1, 0).x == 0.10000000149011612
    assert Vector4(0.1, 0, 0, 0).x == 0.1
    assert Vector4.from_floats(0.1, 0, 0, 0).x == f32(0.1)
    assert Vector2(1e39, 0).x == float("inf") and Vector3(-1e39, 0, 0).x == float("-inf")


def test_foreign_vector_needs_every_attribute():
    foreign = Foreign(1)
    with pytest.raises(AttributeError):
        Vector2(foreign)

    class ListWithMarker(list):
        def clamp_magnitude_ip(self):
            pass

    with pytest.raises(AttributeError):
        Vector2(ListWithMarker([1, 2]))

    class Exploding:
        def __getattr__(self, name):
            raise RuntimeError(name)

    with pytest.raises(RuntimeError, match="clamp_magnitude_ip"):
        Vector2(Exploding())


def test_reinit_stores_components_one_at_a_time():
    v = Vector2(7, 8)
    with pytest.raises(TypeError):
        v.__init__(1, "bad")
    assert components(v) == (1.0, 8.0)
    v.__init__()
    assert components(v) == (0.0, 0.0)


def test_new_ignores_arguments(fam):
    v = fam.cls.__new__(fam.cls, 5, 6, key=1)
    assert components(v) == (0.0,) * fam.n


# ---- static constructors ----


def test_from_numbers(fam):
    cls = fam.cls
    letters = fam.letters
    assert components(getattr(cls, f"from_{letters}")(*[0.1] * fam.n)) == (fam.store(0.1),) * fam.n
    kw = {c: i + 1 for i, c in enumerate(reversed(letters))}
    assert components(getattr(cls, f"from_{letters}")(**kw)) == tuple(float(kw[c]) for c in letters)
    assert components(cls.from_floats(*[0.1] * fam.n)) == (f32(0.1),) * fam.n
    assert components(cls.from_ints(*[1.9, -1.9, 2, True][: fam.n])) == (1.0, -1.0, 2.0, 1.0)[: fam.n]
    assert cls.from_ints(*[2**24 + 1] * fam.n).x == fam.store(2**24 + 1)


def test_from_sequences_and_copies(fam):
    cls = fam.cls
    values = (1, 2, 3, 4, 5)
    assert components(cls.from_tuple(values)) == tuple(map(float, values[: fam.n]))
    assert components(cls.from_list(list(values))) == tuple(map(float, values[: fam.n]))
    v = fam.make(1, 2, 3, 4)
    copy = getattr(cls, f"from_vector{fam.n}")(other=v)
    assert copy == v and copy is not v


@pytest.mark.parametrize(
    "method, arg, expected",
    [
        ("from_tuple", [1, 2, 3, 4], "tuple, got list"),
        ("from_tuple", type("T", (tuple,), {})((1, 2, 3, 4)), "tuple, got T"),
        ("from_tuple", None, "tuple, got NoneType"),
        ("from_list", (1, 2, 3, 4), "list, got tuple"),
        ("from_list", None, "list, got NoneType"),
        ("copy", None, "{full}, got NoneType"),
        ("copy", (1, 2, 3, 4), "{full}, got tuple"),
    ],
)
def test_from_argument_types(fam, method, arg, expected):
    if method == "copy":
        method = f"from_vector{fam.n}"
    with pytest.raises(TypeError) as info:
        getattr(fam.cls, method)(arg)
    assert str(info.value) == (
        "Argument 'other' has incorrect type (expected " + expected.format(full=fam.full_name) + ")"
    )


def test_from_vector_refuses_another_class():
    with pytest.raises(TypeError) as info:
        Vector2.from_vector2(Vector3())
    assert str(info.value) == (
        "Argument 'other' has incorrect type (expected velmora.vector2.vector2.Vector2, "
        "got velmora.vector3.vector3.Vector3)"
    )


@pytest.mark.parametrize("method", ["from_tuple", "from_list"])
def test_from_short_sequence(fam, method):
    seq = (1,) * (fam.n - 1)
    with pytest.raises(TypeError) as info:
        getattr(fam.cls, method)(seq if method == "from_tuple" else list(seq))
    assert str(info.value) == f"{fam.name}() takes a sequence of length {fam.n}, but got {fam.n - 1}"


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: Vector2.from_xy(1), "from_xy() takes exactly 2 positional arguments (1 given)"),
        (lambda: Vector2.from_xy(1, 2, 3), "from_xy() takes exactly 2 positional arguments (3 given)"),
        (lambda: Vector2.from_xy(y=2), "from_xy() takes exactly 2 positional arguments (0 given)"),
        (lambda: Vector2.from_xy(1, x=2), "from_xy() got multiple values for keyword argument 'x'"),
        (lambda: Vector2.from_xy(1, z=2), "from_xy() got an unexpected keyword argument 'z'"),
        (lambda: Vector2.from_tuple(), "from_tuple() takes exactly 1 positional argument (0 given)"),
        (lambda: Vector3.from_ints(1, 2), "from_ints() takes exactly 3 positional arguments (2 given)"),
        (lambda: Vector4.from_floats(1, 2, 3, w=4, v=5), "from_floats() got an unexpected keyword argument 'v'"),
    ],
)
def test_binding_messages(call, message):
    with pytest.raises(TypeError) as info:
        call()
    assert str(info.value) == message


@pytest.mark.parametrize(
    "value, exc, message",
    [
        (2**31, OverflowError, "value too large to convert to int"),
        (-(2**31) - 1, OverflowError, "value too large to convert to int"),
        (2**60 - 1, OverflowError, "value too large to convert to int"),
        (-(2**60) + 1, OverflowError, "value too large to convert to int"),
        (2**60, OverflowError, "Python int too large to convert to C int"),
        (-(2**60), OverflowError, "Python int too large to convert to C int"),
        (2**63, OverflowError, "Python int too large to convert to C int"),
        (2**70, OverflowError, "Python int too large to convert to C int"),
        ("1", TypeError, "an integer is required"),
    ],
)
def test_from_ints_errors(value, exc, message):
    with pytest.raises(exc) as info:
        Vector2.from_ints(value, 0)
    if message:
        assert str(info.value) == message


def test_from_ints_int_protocol():
    class BadInt:
        def __int__(self):
            return 1.5

    class SubInt(int):
        pass

    class GivesSubInt:
        def __int__(self):
            return SubInt(3)

    with pytest.raises(TypeError, match=r"^__int__ returned non-int \(type float\)$"):
        Vector2.from_ints(BadInt(), 0)
    with pytest.warns(DeprecationWarning, match="strict subclass of int is deprecated"):
        assert Vector2.from_ints(GivesSubInt(), 0).x == 3.0
    assert Vector2.from_ints(2**31 - 1, -(2**31)).y == -(2.0**31)


# ---- components and data ----


def test_component_properties(fam):
    v = fam.cls()
    for i, letter in enumerate(fam.letters):
        setattr(v, letter, 0.1 + i)
        assert getattr(v, letter) == fam.store(0.1 + i)
        with pytest.raises(TypeError):
            setattr(v, letter, "x")
        assert getattr(v, letter) == fam.store(0.1 + i)
        with pytest.raises(NotImplementedError, match="^__del__$"):
            delattr(v, letter)


def test_data_property():
    v = Vector2(0.1, 2)
    assert v.data == {"x": f32(0.1), "y": 2.0} and list(v.data) == ["x", "y"]
    d = v.data
    d["x"] = 9
    assert v.x == f32(0.1)
    v.data = {"x": 1, "y": 2, "z": 3}
    assert components(v) == (1.0, 2.0)

    class Mapping:
        def __getitem__(self, key):
            return {"x": 5, "y": 6}[key]

    v.data = Mapping()
    assert components(v) == (5.0, 6.0)


@pytest.mark.parametrize(
    "value, exc, message",
    [
        ({"x": 1}, ValueError, "No value specified for struct attribute 'y'"),
        ({"y": 1}, ValueError, "No value specified for struct attribute 'x'"),
        ({"x": 1, "y": "a"}, TypeError, None),
        (5, TypeError, "Expected a mapping, got int"),
    ],
)
def test_data_failures_leave_vector_unchanged(value, exc, message):
    v = Vector2(7, 8)
    with pytest.raises(exc) as info:
        v.data = value
    if message:
        assert str(info.value) == message
    assert components(v) == (7.0, 8.0)
    with pytest.raises(NotImplementedError, match="^__del__$"):
        del v.data


def test_data_lookup_errors_other_than_keyerror_propagate():
    class Broken:
        def __getitem__(self, key):
            raise LookupError("custom")

    with pytest.raises(LookupError, match="custom"):
        Vector2().data = Broken()


# ---- the free list ----


FREE_LISTS = [(f.cls, lambda f=f: f.cls(*[9] * f.n)) for f in VECTORS] + [(Rect, lambda: Rect(9, 9, 9, 9))]


@pytest.mark.parametrize("cls, make", FREE_LISTS, ids=lambda p: getattr(p, "__name__", ""))
def test_free_list_reuse_order_and_capacity(cls, make):
    capacity, _ = abi.freelist_info(cls)
    if capacity == 0:
        pytest.skip("built without free lists")
    assert capacity == 1000
    gc.collect()
    gc.disable()  # a collection in the middle would release other tests' instances into the list
    try:
        check_free_list(cls, make, capacity)
    finally:
        gc.enable()


def check_free_list(cls, make, capacity):
    hold = [cls() for _ in range(capacity)]  # takes whatever the free list holds
    assert abi.freelist_info(cls) == (capacity, 0)
    released = [make() for _ in range(capacity + 500)]
    ids = [id(v) for v in released]
    while released:
        released.pop()  # releases the last one first
    assert abi.freelist_info(cls) == (capacity, capacity)
    # The first 1000 released (the last 1000 made) were kept, most recent on top, and a
    # reused instance never shows its previous life.
    reused = [cls.__new__(cls) for _ in range(capacity)]
    assert [id(v) for v in reused] == ids[500:]
    assert all(list(v) == [0.0] * len(v) for v in reused) and abi.freelist_info(cls) == (capacity, 0)
    assert id(cls()) not in set(ids[500:])
    del hold


def test_rect_subclass_instances_are_never_recycled():
    class Sub(Rect):
        pass

    if abi.freelist_info(Rect)[0] == 0:
        pytest.skip("built without free lists")
    size = abi.freelist_info(Rect)[1]
    Sub(1, 2, 3, 4)  # made and released at once
    assert abi.freelist_info(Rect)[1] == size


# ---- native subtypes ----


def test_native_subtype_is_refused_before_anything_is_made(fam):
    # A static type naming the class as its base, whose tp_new calls the class's and then
    # writes a field of its own past the vector's record (what a Cython cdef subclass does).
    sub = abi.vector_subtype(fam.cls)
    assert sub.__base__ is fam.cls and sub.__basicsize__ > fam.cls.__basicsize__
    message = f"cannot create 'testabi.Sub{fam.name}' instances: {fam.full_name} is not an acceptable base type"
    calls = [sub, lambda: sub(*range(fam.n)), lambda: sub.__new__(sub)]

    def refusals(count):
        for call in calls:
            for _ in range(count):
                with pytest.raises(TypeError) as refused:
                    call()
                assert str(refused.value) == message
        return refused

    refusals(1)  # warm-up: the traceback entry's code object is made on the first failure
    free = abi.freelist_info(fam.cls)
    gc.collect()  # each caught error's traceback is a cycle through this frame
    blocks = sys.getallocatedblocks()
    refused = refusals(1000)
    gc.collect()
    assert abi.freelist_info(fam.cls) == free  # no instance was taken from the free list
    assert sys.getallocatedblocks() - blocks < 50  # nor allocated and kept
    assert refused.traceback[-1].name == f"{fam.full_name}.__new__"
    # The class itself, and its instances, are unchanged.
    assert type(fam.cls.__new__(fam.cls)) is fam.cls and components(fam.make(1, 2, 3, 4)) == tuple(range(1, fam.n + 1))
