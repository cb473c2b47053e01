"""Vector operators: operand kinds, precision, in-place forms, sadd."""
import math
import numbers
from fractions import Fraction

import numpy as np
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from helpers import VECTORS, components, f32, finite32, same_bits
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def test_results_are_new_and_operands_unchanged(fam):
    a, b = fam.make(1, 2, 3, 4), fam.make(3, 4, 5, 6)
    for result, expected in [
        (a + b, (4, 6, 8, 10)),
        (a - b, (-2, -2, -2, -2)),
        (a * b, (3, 8, 15, 24)),
        (a * 2, (2, 4, 6, 8)),
        (a * True, (1, 2, 3, 4)),
        (b / 2, (1.5, 2, 2.5, 3)),
        (fam.make(-7, 7, 8, -8) // 2, (-4, 3, 4, -4)),
        (fam.make(7, 7, 7, 7) // fam.make(2, -2, 7, 3), (3, -4, 1, 2)),
    ]:
        assert type(result) is fam.cls and result is not a
        assert components(result) == tuple(map(float, expected[: fam.n]))
    assert components(a) == (1.0, 2.0, 3.0, 4.0)[: fam.n]


@pytest.mark.parametrize("other", [(3, 4), [3, 4], 3, 2.5, None, "ab"])
@pytest.mark.parametrize("op", ["__add__", "__sub__", "__iadd__", "__isub__", "__imul__"])
def test_vector_only_operators_refuse_other_operands(fam, op, other):
    v = fam.make(1, 2, 3, 4)
    with pytest.raises(TypeError) as info:
        getattr(v, op)(other)
    assert str(info.value) == (
        f"Argument 'other' has incorrect type (expected {fam.full_name}, got {type(other).__name__})"
    )
    assert components(v) == (1.0, 2.0, 3.0, 4.0)[: fam.n]


def test_operand_of_another_vector_class():
    with pytest.raises(TypeError, match="expected velmora.vector3.vector3.Vector3, got velmora.vector2"):
        Vector3(1, 2, 3) + Vector2(1, 2)


class ClaimsFloat:
    """Says it is a float through __class__: a number is known by its type alone."""

    @property
    def __class__(self):
        return float

    def __float__(self):
        return 2.0


class ClassRaises:
    @property
    def __class__(self):
        raise RuntimeError("asked for its class")


# Made once: a release-built numpy's objects skew a debug interpreter's reference totals.
ARRAYS = [np.array([2.0, 2.0]), np.array(2.0)]


@pytest.mark.parametrize("make", [lambda: "a", lambda: None, lambda: (1, 1), lambda: [1, 1], lambda: 1j,
                                  lambda: ARRAYS[0], lambda: ARRAYS[1], ClaimsFloat, ClassRaises])
@pytest.mark.parametrize("op", ["__mul__", "__truediv__", "__floordiv__"])
def test_scaling_operators_give_notimplemented(fam, op, make):
    v, other = fam.make(1, 2, 3, 4), make()
    assert getattr(v, op)(other) is NotImplemented


@pytest.mark.parametrize("other", [ClaimsFloat, ClassRaises])
def test_an_operand_is_a_number_by_its_type_not_its_class_attribute(fam, other):
    v = fam.make(1, 2, 3, 4)
    for operation in (lambda: v * other(), lambda: v / other(), lambda: v // other()):
        with pytest.raises(TypeError, match="unsupported operand"):
            operation()


def test_a_type_registered_as_real_later_scales_from_then_on(fam):
    class Late:
        def __float__(self):
            return 2.0

    v = fam.make(1, 2, 3, 4)
    assert v.__mul__(Late()) is NotImplemented
    numbers.Real.register(Late)
    assert components(v * Late()) == components(v * 2.0)


NUMBER_KINDS = [np.float16, np.float32, np.float64, np.longdouble, np.int8, np.int16, np.int32, np.int64,
                np.uint8, np.uint64, Fraction]


@pytest.mark.unhunted
@pytest.mark.parametrize("kind", NUMBER_KINDS, ids=lambda k: k.__name__)
@pytest.mark.parametrize("op", ["__mul__", "__truediv__", "__floordiv__"])
def test_any_real_number_scales(fam, op, kind):
    # numpy's scalars and Fraction are numbers.Real: converted like a float, never left to
    # numpy's reflected operator (which would make an array of the vector).
    v, k = fam.make(3, -5, 7, 9), kind(2)
    result = getattr(v, op)(k)
    assert type(result) is fam.cls and components(result) == components(getattr(v, op)(float(k)))


def test_no_reflected_forms(fam):
    v = fam.make(1, 2, 3, 4)
    for expr in (lambda: 2 * v, lambda: 2 + v, lambda: (1, 2) + v, lambda: v / (1, 1), lambda: abs(v), lambda: +v):
        with pytest.raises(TypeError):
            expr()


@pytest.mark.unhunted
def test_a_numpy_scalar_on_the_left_makes_an_array(fam):
    # numpy takes the vector for a sequence of numbers, as the README warns; `v * k` scales.
    v = fam.make(3, -5, 7, 9)
    result = np.float32(2) * v
    assert type(result) is np.ndarray and result.dtype == np.float64
    assert result.tolist() == [2 * c for c in components(v)]


def test_number_errors_propagate():
    with pytest.raises(OverflowError):
        Vector2(1, 2) * 10**400
    assert components(Vector2(2, 3) * -1.0) == (-2.0, -3.0)


def test_scale_rounds_once():
    # The double product rounded once, not a product with 0.3 first made a float32.
    assert Vector2(100, 0).__mul__(0.3).x == 30.0
    assert (Vector2(1, 0) / 3).x == f32(1 / 3)


def test_division_by_zero_follows_ieee(fam):
    r = fam.make(1, 0, -1, 0) / 0
    assert components(r)[0] == math.inf and math.isnan(components(r)[1])
    q = fam.make(1, 1, 1, 1) / fam.make(0, 1, 1, 1)
    assert q.x == math.inf


def test_vector4_division_is_a_true_division():
    assert (Vector4(49, 0, 0, 0) / 49).x == 1.0
    assert (Vector4(49, 0, 0, 0) // 49).x == 1.0


def test_vector2_floor_division_never_floors_an_exact_quotient_down():
    for a in range(1, 200):
        for b in (3, 7, 49, 10):
            assert (Vector2(a * b, a * b) // Vector2(b, b)).x == a


def test_negation(fam):
    v = fam.make(0, 1, -2, 0)
    assert same_bits(components(-v), (-0.0, -1.0, 2.0, -0.0)[: fam.n])
    assert components(v) == (0.0, 1.0, -2.0, 0.0)[: fam.n]


def test_inplace_operators(fam):
    a = fam.make(1, 2, 3, 4)
    b = a
    a += fam.make(1, 1, 1, 1)
    assert a is b and components(b) == (2.0, 3.0, 4.0, 5.0)[: fam.n]
    a -= a
    assert a is b and components(a) == (0.0,) * fam.n
    a = fam.make(1, 2, 3, 4)
    b = a
    a *= fam.make(2, 3, 4, 5)
    assert a is b and components(a) == (2.0, 6.0, 12.0, 20.0)[: fam.n]
    a /= 2
    assert a is not b and components(b) == (2.0, 6.0, 12.0, 20.0)[: fam.n]
    with pytest.raises(TypeError, match="Argument 'other' has incorrect type"):
        b *= 2


def test_sadd(fam):
    a, b = fam.make(1, 2, 3, 4), fam.make(10, 20, 30, 40)
    v = fam.cls()
    assert v.sadd(a, b) is None
    assert components(v) == (11.0, 22.0, 33.0, 44.0)[: fam.n]
    v.sadd(v, v)
    assert components(v) == (22.0, 44.0, 66.0, 88.0)[: fam.n]
    v.sadd(old_vec=a, new_vec=a)
    assert components(v) == (2.0, 4.0, 6.0, 8.0)[: fam.n]
    with pytest.raises(TypeError, match=r"^sadd\(\) takes exactly 2 positional arguments \(1 given\)$"):
        v.sadd(a)
    for args, name in [((a, (1, 2)), "old_vec"), ((None, a), "new_vec"), ((None, None), "new_vec")]:
        with pytest.raises(TypeError, match=f"^Argument '{name}' has incorrect type"):
            v.sadd(*args)
    assert components(v) == (2.0, 4.0, 6.0, 8.0)[: fam.n]


# ---- against numpy float32 and Python floats ----

finite64 = st.floats(allow_nan=False, allow_infinity=False, min_value=-1e150, max_value=1e150)
scalars = st.one_of(finite64, st.integers(-(10**6), 10**6))


def _float_ops(a, b):
    with np.errstate(all="ignore"):
        return {
            "+": a + b,
            "-": a - b,
            "*": a * b,
            "/": a / b,
            "//": np.floor(a / b),
        }


@pytest.mark.parametrize("fam", VECTORS[:2], ids=str)
@settings(max_examples=200, deadline=None)
@given(data=st.data())
def test_float32_vector_arithmetic_matches_numpy(fam, data):
    xs = data.draw(st.lists(finite32, min_size=fam.n, max_size=fam.n))
    ys = data.draw(st.lists(finite32.filter(lambda v: v != 0), min_size=fam.n, max_size=fam.n))
    k = data.draw(scalars.filter(lambda v: v != 0))
    a, b = fam.cls(*xs), fam.cls(*ys)
    expected = _float_ops(np.array(xs, np.float32), np.array(ys, np.float32))
    got = {"+": a + b, "-": a - b, "*": a * b, "/": a / b, "//": a // b}
    for op in got:
        assert same_bits(components(got[op]), [float(v) for v in expected[op]]), op
    wide = np.array(xs, np.float64)
    with np.errstate(all="ignore"):
        scaled = {"*": wide * float(k), "/": wide / float(k), "//": np.floor(wide / float(k))}
    for op, result in [("*", a * k), ("/", a / k), ("//", a // k)]:
        assert same_bits(components(result), [f32(v) for v in scaled[op]]), op


@settings(max_examples=200, deadline=None)
@given(xs=st.lists(finite64, min_size=4, max_size=4), ys=st.lists(finite64.filter(bool), min_size=4, max_size=4),
       k=scalars.filter(bool))
def test_vector4_arithmetic_matches_python_floats(xs, ys, k):
    a, b = Vector4(*xs), Vector4(*ys)
    x, y, kk = np.array(xs), np.array(ys), np.float64(k)
    expected = _float_ops(x, y)
    got = {"+": a + b, "-": a - b, "*": a * b, "/": a / b, "//": a // b}
    for op in got:
        assert same_bits(components(got[op]), [float(v) for v in expected[op]]), op
    with np.errstate(all="ignore"):
        scaled = {"*": x * kk, "/": x / kk, "//": np.floor(x / kk)}
    for op, result in [("*", a * k), ("/", a / k), ("//", a // k)]:
        assert same_bits(components(result), [float(v) for v in scaled[op]]), op
