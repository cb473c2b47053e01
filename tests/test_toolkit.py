"""The game toolkit: raymath's vector operations and the rectangle operations of a game loop.
raylib's own functions are the reference (test_raylib.py compares Vector2, Vector3, clip and
collide_circle with them bit for bit where raylib is installed); here the arithmetic formulas
are checked against numpy in each class's precision, Vector4 included, and the members'
arguments, results and failures everywhere."""
import math
import random
import re
import struct

import numpy as np
import pytest

from helpers import VECTORS, components, f32, same_bits
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector4.vector4 import Vector4

# ---- vectors: numpy in the class's precision, raymath's operations in raymath's order ----


def plain_dot(a, b):
    s = a[0] * b[0]
    for x, y in zip(a[1:], b[1:]):
        s = s + x * y
    return s


def move_towards(v, target, d):
    diff = target - v
    value = plain_dot(diff, diff)
    if value == 0 or (d >= 0 and value <= d * d):
        return target
    return v + diff / np.sqrt(value) * d


def clamp_length(v, low, high):
    length = plain_dot(v, v)
    if not length > 0:
        return v
    length = np.sqrt(length)
    scale = low / length if length < low else high / length if length > high else v.dtype.type(1)
    return v * scale


def projected(v, onto):
    return onto * (plain_dot(v, onto) / plain_dot(onto, onto))


# member: (classes, parameters as "v" for a vector and "k" for a number, numpy's formula)
FORMULAS = {
    "lerp": ("234", "vk", lambda a, b, t: a + t * (b - a)),
    "move_towards": ("234", "vk", move_towards),
    "min": ("234", "v", np.fmin),
    "max": ("234", "v", np.fmax),
    "reflect": ("23", "v", lambda v, n: v - (n.dtype.type(2) * n) * plain_dot(v, n)),
    "clamp_length": ("23", "kk", clamp_length),
    "clamp": ("23", "vv", lambda v, lo, hi: np.fmin(hi, np.fmax(lo, v))),
    "project": ("3", "v", projected),
    "reject": ("3", "v", lambda v, onto: v - projected(v, onto)),
}
CASES = [(fam, name) for name, (classes, _, _) in FORMULAS.items() for fam in VECTORS if str(fam.n) in classes]


def draw(rng, n):
    """Mostly small components, sometimes zero or special; no equal pairs for min and max,
    whose tie of 0.0 and -0.0 numpy leaves to its own rule (see the next test)."""
    specials = [0.0, 1e-40, 3e38, math.inf, -math.inf, math.nan]
    return [rng.choice(specials) if rng.random() < 0.1 else rng.uniform(-8, 8) for _ in range(n)]


@pytest.mark.unhunted
@pytest.mark.parametrize("fam, name", CASES, ids=[f"{f.name}.{m}" for f, m in CASES])
def test_vector_members_follow_raymaths_formulas(fam, name):
    _, params, formula = FORMULAS[name]
    dtype = np.float32 if fam.single else np.float64
    rng = random.Random(name)
    with np.errstate(all="ignore"):
        for _ in range(300):
            v = fam.cls(*draw(rng, fam.n))
            args = [fam.cls(*draw(rng, fam.n)) if p == "v" else rng.choice([0.5, 2.0, -1.0, 0.1, rng.uniform(-9, 9)])
                    for p in params]
            expected = formula(np.array(tuple(v), dtype), *(np.array(tuple(a), dtype) if p == "v" else dtype(a)
                                                              for p, a in zip(params, args)))
            got = getattr(v, name)(*args)
            assert type(got) is fam.cls
            compared = [x if x == x else math.nan for x in got], [float(x) if x == x else math.nan for x in expected]
            assert same_bits(*compared), (v, args, got, expected)


@pytest.mark.unhunted
def test_length_squared_is_a_plain_sum_in_the_storage_precision(fam):
    v = fam.make(0.1, 0.2, 0.3, 0.4)
    c = np.array(tuple(v), np.float32 if fam.single else np.float64)
    assert v.length_squared == float(plain_dot(c, c)) and type(v.length_squared) is float


def test_min_max_and_clamp_keep_the_first_of_two_equal_zeros(fam):
    # C leaves fminf's and fmaxf's tie of 0.0 and -0.0 open (glibc, musl and the compiler's
    # operand order settle it differently); velmora keeps the first argument everywhere.
    pos, neg = fam.make(0.0, 0.0, 0.0, 0.0), fam.make(-0.0, -0.0, -0.0, -0.0)
    for a, b in [(pos, neg), (neg, pos)]:
        for result in (a.min(b), a.max(b)):
            assert same_bits(components(result), components(a))
    if hasattr(fam.cls, "clamp"):  # fminf(upper, fmaxf(lower, v)): the lower bound wins, then the upper
        assert same_bits(components(pos.clamp(neg, pos)), components(pos))
        assert same_bits(components(neg.clamp(pos, neg)), components(neg))
        assert same_bits(components(pos.clamp(neg, neg)), components(neg))


def test_rotations_and_angles():
    assert Vector2(1, 0).rotate(math.pi / 2).x == f32(math.cos(f32(math.pi / 2)))
    assert Vector2(0, 1).angle_to(Vector2(1, 0)) == f32(-math.pi / 2)  # signed: clockwise is negative
    from velmora.vector3.vector3 import Vector3
    assert Vector3(0, 1, 0).angle_to(Vector3(1, 0, 0)) == f32(math.pi / 2)  # unsigned
    turned = Vector3(1, 0, 0).rotate_around(Vector3(0, 0, 5), math.pi / 2)  # any axis length
    assert abs(turned.x) < 1e-6 and turned.y == pytest.approx(1, abs=1e-6)
    assert Vector3(1, 2, 3).rotate_around(Vector3(), 1.0) == Vector3(1, 2, 3)  # a zero axis: no rotation


VECTOR_CALLS = [(fam, name, params) for fam in VECTORS for name, params in
                [("lerp", "other, amount"), ("move_towards", "target, max_distance"), ("min", "other"),
                 ("max", "other"), ("reflect", "normal"), ("angle_to", "other"),
                 ("clamp_length", "min_length, max_length"), ("clamp", "lower, upper"), ("rotate", "angle"),
                 ("rotate_around", "axis, angle"), ("project", "onto"), ("reject", "onto")]
                if hasattr(fam.cls, name)]


VECTOR_PARAMETERS = {"other", "target", "normal", "lower", "upper", "axis", "onto"}


@pytest.mark.parametrize("fam, name, params", VECTOR_CALLS, ids=[f"{f.name}.{m}" for f, m, _ in VECTOR_CALLS])
def test_vector_member_arguments(fam, name, params):
    v = fam.make(3, -4, 5, 6)
    params = params.split(", ")
    args = {p: fam.make(1, 2, 3, 4) if p in VECTOR_PARAMETERS else 0.1 for p in params}
    result = getattr(v, name)(*args.values())
    assert result == getattr(v, name)(**args) and result is not v and components(v) == components(fam.make(3, -4, 5, 6))
    # A number is rounded to the storage type on the way in, as a C caller passing it would.
    rounded = [f32(a) if fam.single and p not in VECTOR_PARAMETERS else a for p, a in args.items()]
    assert result == getattr(v, name)(*rounded)
    for p in params:
        with pytest.raises(TypeError) as error:
            getattr(v, name)(**dict(args, **{p: (1, 2)}))
        if p in VECTOR_PARAMETERS:  # as dot's
            assert str(error.value) == f"Argument '{p}' has incorrect type (expected {fam.full_name}, got tuple)"
    with pytest.raises(TypeError, match=rf"^{name}\(\) takes exactly {len(params)} positional argument"):
        getattr(v, name)()


def test_move_towards_gives_a_new_vector_equal_to_the_target(fam):
    v, target = fam.make(0, 0, 0, 0), fam.make(1, 1, 1, 1)
    reached = v.move_towards(target, 10)
    assert reached == target and reached is not target
    assert v.move_towards(target, -1) != target  # a negative step moves away


# ---- Rect ----

ANCHORS = {"topleft": ("x", "y"), "topright": ("right", "y"), "bottomleft": ("x", "bottom"),
           "bottomright": ("right", "bottom"), "midtop": ("centerx", "y"), "midbottom": ("centerx", "bottom"),
           "midleft": ("x", "centery"), "midright": ("right", "centery"), "center": ("centerx", "centery")}


@pytest.mark.parametrize("name", ANCHORS)
def test_anchor_points_read_and_move_as_the_edges_do(name):
    r = Rect(16777216, -3, 1, 2.5)
    hx, vy = ANCHORS[name]
    point = getattr(r, name)
    assert type(point) is Vector2 and tuple(point) == (f32(getattr(r, hx)), f32(getattr(r, vy)))
    for value in ((0.1, 1e30), Vector2(0.1, 7), {0: 5, 1: 6}):
        r.__init__(16777216, -3, 1, 2.5)
        setattr(r, name, value)
        # Where the edge setters would put the rectangle (they subtract in double and round once).
        expected = Rect(16777216, -3, 1, 2.5)
        setattr(expected, hx, value[0] if not isinstance(value, Vector2) else value.x)
        setattr(expected, vy, value[1] if not isinstance(value, Vector2) else value.y)
        assert tuple(r) == tuple(expected) and (r.width, r.height) == (1, 2.5)
    for bad, error in (((1,), IndexError), (5, TypeError), (("a", 1), TypeError), (None, TypeError)):
        with pytest.raises(error):
            setattr(r, name, bad)
        assert tuple(r) == tuple(expected)
    with pytest.raises(NotImplementedError, match="^__del__$"):
        delattr(r, name)


def test_size():
    r = Rect(1, 2, 3, 4)
    assert type(r.size) is Vector2 and tuple(r.size) == (3, 4)
    r.size = (0.1, -5)
    assert tuple(r) == (1, 2, f32(0.1), -5)
    with pytest.raises(IndexError):
        r.size = [7]
    assert tuple(r) == (1, 2, f32(0.1), -5)


@pytest.mark.parametrize("name, apply", [
    ("move", lambda r, a, b: (r.x + a, r.y + b, r.width, r.height)),
    ("inflate", lambda r, a, b: (r.x - a / 2, r.y - b / 2, r.width + a, r.height + b)),
])
def test_move_and_inflate(name, apply):
    r = Rect(0.5, 16777216, 3, 4)
    expected = tuple(map(f32, apply(r, 0.1, 1.0)))
    for args in ((0.1, 1), ((0.1, 1),), ([0.1, 1],), (Vector2(0.1, 1),)):
        if isinstance(args[0], Vector2):
            expected = tuple(map(f32, apply(r, f32(0.1), 1.0)))
        moved = getattr(r, name)(*args)
        assert type(moved) is Rect and tuple(moved) == expected and tuple(r) == (0.5, 16777216, 3, 4)
        copy = r.copy()
        assert getattr(copy, name + "_ip")(*args) is None and tuple(copy) == expected
    for args, message in (((), "at least 1 positional argument (0 given)"),
                          ((1, 2, 3), "at most 2 positional arguments (3 given)")):
        with pytest.raises(TypeError, match=re.escape(f"{name}() takes {message}")):
            getattr(r, name)(*args)
    with pytest.raises(TypeError, match="unexpected keyword argument 'dx'"):
        getattr(r, name)(dx=1, dy=2)
    with pytest.raises(TypeError):
        getattr(r, name + "_ip")(1, "a")
    assert tuple(r) == (0.5, 16777216, 3, 4)


NAN = math.nan


@pytest.mark.parametrize("a, b, clip", [
    ((0, 0, 10, 10), (5, 6, 10, 10), (5, 6, 5, 4)),
    ((0, 0, 10, 10), (10, 0, 5, 5), (0, 0, 0, 0)),  # touching: no overlap
    ((0, 0, 10, 10), (NAN, 0, 5, 5), (0, 0, 0, 0)),  # a NaN on other's side empties it
    ((NAN, 0, 10, 10), (2, 0, 5, 5), (2, 0, 5, 5)),  # on this side, other's edges are taken
    ((0, 0, -10, 10), (-5, 0, 10, 10), (0, 0, 0, 0)),  # negative sizes are not normalised
])
def test_clip(a, b, clip):
    for other in (Rect(*b), b, list(b), Vector4(*b)):
        assert same_bits(tuple(Rect(*a).clip(other)), clip)


@pytest.mark.parametrize("a, b, union", [
    ((0, 0, 1, 1), (5, 5, 1, 1), (0, 0, 6, 6)),
    ((10, 10, -4, -4), (0, 0, 2, 2), (0, 0, 6, 6)),  # not normalised
    ((NAN, 0, 1, 1), (5, 5, 1, 1), (5, 0, 1, 6)),  # this side's NaN gives way
    ((5, 5, 1, 1), (NAN, 0, 1, 1), (NAN, 0, NAN, 6)),
    ((16777216, 0, 1, 1), (0, 0, 1, 1), (0, 0, 16777216, 1)),  # far edges as 32-bit sums
])
def test_union(a, b, union):
    r = Rect(*a)
    assert same_bits(tuple(r.union(b)), union) and same_bits(r, Rect(*a))
    assert r.union_ip(Rect(*b)) is None and same_bits(tuple(r), union)


@pytest.mark.parametrize("other, inside", [
    ((0, 0, 10, 10), True), ((10, 10, 0, 0), True), ((2, 2, 3, 3), True), ((5, 5, -3, -3), True),
    ((11, 11, -2, -2), True),  # nothing normalised: its far edges (9, 9) are inside; pygame-ce's FRect says no
    ((5, 5, 6, 1), False), ((-1, 0, 1, 1), False), ((NAN, 1, 1, 1), False),
])
def test_contains(other, inside):
    assert Rect(0, 0, 10, 10).contains(other) is inside
    assert Rect(10, 10, -10, -10).contains(Rect(2, 2, 3, 3)) is False


@pytest.mark.parametrize("r, bounds, clamped", [
    ((0, 0, 4, 4), (10, 10, 20, 20), (10, 10, 4, 4)),
    ((50, 50, 4, 4), (10, 10, 20, 20), (26, 26, 4, 4)),
    ((0, 0, 40, 4), (10, 10, 20, 20), (0, 10, 40, 4)),  # centred where larger
    ((3, 0, 20, 4), (10, 10, 20, 20), (10, 10, 20, 4)),  # as large: centred too
    ((0, 0, 4, 4), (10, 10, -20, -20), (-2, -2, 4, 4)),  # bounds of negative size
    ((NAN, 0, 4, 4), (10, 10, 20, 20), (NAN, 10, 4, 4)),
    ((12, 12, 4, 4), (10, 10, 20, 20), (12, 12, 4, 4)),
])
def test_clamp(r, bounds, clamped):
    rect = Rect(*r)
    assert same_bits(tuple(rect.clamp(bounds)), clamped) and same_bits(rect, Rect(*r))
    assert rect.clamp_ip(Rect(*bounds)) is None and same_bits(tuple(rect), clamped)


def test_collide_circle():
    r = Rect(0, 0, 10, 10)
    assert r.collide_circle((12, 5), 2) and not r.collide_circle((12.5, 5), 2)
    assert r.collide_circle(Vector2(11, 11), 1.5) and not r.collide_circle(center=(12, 12), radius=2.5)
    assert not r.collide_circle((5, 5), NAN) and not Rect(NAN, 0, 1, 1).collide_circle((0, 0), 100)


def test_collide_list():
    r = Rect(0, 0, 10, 10)
    rects = [(20, 20, 1, 1), Rect(5, 5, 1, 1), [1, 1, 1, 1], Vector4(10, 0, 1, 1), (9, 9, 5, 5)]
    assert r.collide_list(rects) == 1 and r.collide_list_all(iter(rects)) == [1, 2, 4]
    assert r.collide_list([]) == -1 and r.collide_list_all(()) == [] and r.collide_list([Rect(20, 0, 1, 1)]) == -1
    with pytest.raises(ValueError, match="^rect for collision must be"):
        r.collide_list_all([Rect(1, 1, 1, 1), 5])
    with pytest.raises(TypeError, match="not iterable"):
        r.collide_list(5)


@pytest.mark.parametrize("call", [
    lambda r: r.clip(5), lambda r: r.union_ip((1, 2, 3)), lambda r: r.clamp_ip("abcd"),
    lambda r: r.contains(None), lambda r: r.collide_circle((1, 2), "a"), lambda r: r.collide_circle(5, 1),
])
def test_failed_calls_change_nothing(call):
    r = Rect(1, 2, 3, 4)
    with pytest.raises((TypeError, ValueError)):
        call(r)
    assert tuple(r) == (1, 2, 3, 4)


def test_copy_and_subclasses():
    class Sprite(Rect):
        pass

    s = Sprite(1, 2, 3, 4)
    for made in (s.copy(), s.move(0, 0), s.clip(s), s.union(s), s.clamp(s)):
        assert type(made) is Rect and made == s and made is not s
    assert struct.pack("<4f", *s.copy()) == struct.pack("<4f", *s)
