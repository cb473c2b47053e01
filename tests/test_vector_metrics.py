"""Lengths, products, distances and the to_…/get_… transforms."""
import math

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from helpers import components, f32, finite32, fma_f32, same_bits
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def test_lengths():
    assert Vector2(3, 4).length == 5.0
    assert Vector3(1, 2, 2).length == 3.0
    assert Vector4(1, 1, 1, 1).length == 2.0
    assert Vector2(1, 1).length == f32(math.sqrt(2)) == 1.4142135381698608
    assert Vector4(1, 1, 0, 0).length == math.sqrt(2)
    assert Vector2(1e20, 0).length == math.inf
    with pytest.raises(AttributeError):
        Vector2().length = 1


def test_distances_are_in_double():
    assert Vector2(1, 1).distance_to(Vector2(0, 0)) == math.sqrt(2)
    assert Vector2(0, 0).distance_squared_to(Vector2(3, 4)) == 25.0
    assert Vector2(0, 0).distance_to(other=Vector2(3, 4)) == 5.0


def test_dot_and_cross():
    assert Vector2(1, 2).dot(Vector2(3, 4)) == 11.0
    assert components(Vector3(1, 0, 0).cross(Vector3(0, 1, 0))) == (0.0, 0.0, 1.0)
    assert components(Vector3(0, 1, 0).cross(Vector3(1, 0, 0))) == (0.0, 0.0, -1.0)
    assert not hasattr(Vector2, "cross") and not hasattr(Vector4, "cross")


@pytest.mark.parametrize("method", ["dot", "distance_to", "distance_squared_to"])
@pytest.mark.parametrize("other", [None, (1, 2, 3, 4), [1, 2, 3, 4], Vector3(1, 2, 3), 5])
def test_other_must_be_of_the_class(fam, method, other):
    if type(other) is fam.cls:
        other = None
    with pytest.raises(TypeError) as info:
        getattr(fam.make(1, 2, 3, 4), method)(other)
    assert str(info.value) == (
        f"Argument 'other' has incorrect type (expected {fam.full_name}, got {type(other).__name__})"
        if type(other) is not Vector3
        else f"Argument 'other' has incorrect type (expected {fam.full_name}, got velmora.vector3.vector3.Vector3)"
    )


def test_cross_refuses_non_vectors():
    with pytest.raises(TypeError, match="got list"):
        Vector3(1, 2, 3).cross([0, 0, 1])
    with pytest.raises(TypeError, match="got NoneType"):
        Vector3(1, 2, 3).cross(None)


def test_method_arguments():
    with pytest.raises(TypeError, match=r"^dot\(\) takes exactly 1 positional argument \(0 given\)$"):
        Vector2(1, 2).dot()
    with pytest.raises(TypeError, match=r"^get_abs\(\) takes exactly 0 positional arguments \(1 given\)$"):
        Vector2().get_abs(1)
    with pytest.raises(TypeError, match=r"^to_round\(\) got an unexpected keyword argument 'n'$"):
        Vector2().to_round(n=1)


def test_normalisation():
    assert components(Vector2(3, 4).get_normalized()) == (0.6000000238418579, 0.800000011920929)
    assert components(Vector2(0, 0).get_normalized()) == (0.0, 0.0)
    v = Vector2(-0.0, 0)
    assert v.to_normalized() is v and same_bits(components(v), (0.0, 0.0))
    assert components(Vector2(1e-30, 0).get_normalized()) == (0.0, 0.0)
    assert components(Vector4(1e-30, 0, 0, 0).get_normalized()) == (1.0, 0.0, 0.0, 0.0)
    assert abs(Vector3(1, 2, 3).get_normalized().length - 1.0) < 1e-6


@pytest.mark.parametrize(
    "cls, values, expected",
    [
        (Vector2, (2.5, -2.5), (3.0, -3.0)),
        (Vector2, (0.5, 1.5), (1.0, 2.0)),
        (Vector2, (-0.4, 0.49999997), (-0.0, 0.0)),
        (Vector3, (8388609, -4194304.5, 0.0), (8388609.0, -4194305.0, 0.0)),
        (Vector4, (2.5, 0.49999999999999994, -1.5, 7), (3.0, 0.0, -2.0, 7.0)),
    ],
)
def test_rounding_halves_away_from_zero(cls, values, expected):
    v = cls(*values)
    r = v.get_round()
    assert r is not v and same_bits(components(r), expected)
    assert v.to_round() is v and same_bits(components(v), expected)


def test_abs_and_neg(fam):
    v = fam.make(-1, 2, -0.0, 0)
    assert same_bits(components(v.get_abs()), (1.0, 2.0, 0.0, 0.0)[: fam.n])
    assert same_bits(components(v.get_neg()), (1.0, -2.0, 0.0, -0.0)[: fam.n])
    assert same_bits(components(v), (-1.0, 2.0, -0.0, 0.0)[: fam.n])
    assert v.to_neg().to_abs() is v
    assert same_bits(components(v), (1.0, 2.0, 0.0, 0.0)[: fam.n])


def test_get_leaves_receiver_and_to_returns_it(fam):
    for name in ["normalized", "round", "abs", "neg"]:
        v = fam.make(1.5, -2.5, 3.5, -4.5)
        before = components(v)
        got = getattr(v, "get_" + name)()
        assert got is not v and components(v) == before
        assert getattr(v, "to_" + name)() is v and components(v) == components(got)


@settings(max_examples=300, deadline=None)
@given(st.lists(finite32, min_size=6, max_size=6))
def test_float32_metrics_match_a_fused_chain(values):
    for cls, n in ((Vector2, 2), (Vector3, 3)):
        a, b = values[:n], values[n : 2 * n]
        # x*x' first, then each further product fused in with one rounding.
        dot = f32(a[0] * b[0])
        sq = f32(a[0] * a[0])
        for i in range(1, n):
            dot = fma_f32(a[i], b[i], dot)
            sq = fma_f32(a[i], a[i], sq)
        u, w = cls(*a), cls(*b)
        assert u.dot(w) == dot
        assert u.length == f32(math.sqrt(sq))
        diffs = [f32(x - y) for x, y in zip(a, b)]
        total = 0.0  # left to right, as plain double additions (not the compensated sum())
        for d in diffs:
            total += d * d
        assert u.distance_squared_to(w) == total
