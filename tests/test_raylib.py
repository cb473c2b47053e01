"""velmora's records handed to the real raylib and back, through a native module built against
both (native/raylib_consumer.c), and velmora's game toolkit compared with raylib's functions
bit for bit. Runs where raylib's headers, library and a DejaVu font are installed, as in CI's
Debian testing root; skipped elsewhere, unless VELMORA_REQUIRE_RAYLIB is set, which turns the
skip into a failure."""
import math
import os
import platform
import random
import re
import struct
from fractions import Fraction
from pathlib import Path

import pytest

from helpers import NATIVE, build_extension, f32, fma_f32, load_extension, same_bits
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.image.image import Image
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3

RAYLIB_H = Path("/usr/include/raylib.h")
FONT = Path("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")


@pytest.fixture(scope="module")
def raylib():
    if not (RAYLIB_H.exists() and FONT.exists()):
        message = f"needs {RAYLIB_H} (libraylib-dev) and {FONT} (fonts-dejavu-core)"
        if os.environ.get("VELMORA_REQUIRE_RAYLIB"):
            pytest.fail(message)
        pytest.skip(message)
    source = (NATIVE / "raylib_consumer.c").read_text()
    # raymath.h's functions are compiled into the module; uncontracted, each of their
    # operations rounds to float where raymath's source has it.
    folder = build_extension("raylib_consumer", source, libraries=["raylib", "m"], flags=["-ffp-contract=off"])
    return load_extension("raylib_consumer", folder)


def test_glyphs_of_a_real_font_wrap_raylibs_records(raylib):
    made = raylib.glyphs(str(FONT), "Ag%é")
    assert len(made) == 4
    for glyph, record in made:
        assert type(glyph) is GlyphInfo
        raw, image, is_owner = raylib.glyph_record(glyph)
        assert raw == record  # value, offsets, advance and the image record, copied as raylib made them
        assert type(image) is Image and is_owner == 0  # the pixels stay raylib's
        value, _, _, advance, pixels, width, height, mipmaps, fmt = record
        assert (image.width, image.height, image.mipmaps, image.format) == (width, height, mipmaps, fmt)
        assert advance > 0 and mipmaps == 1
    assert [record[0] for _, record in made] == [ord(c) for c in "Ag%é"]
    a = made[0][1]
    assert a[4] != 0 and a[5] > 0 and a[6] > 0  # 'A' has a filled grayscale image


def test_records_go_to_raylib_and_results_come_back(raylib):
    overlap = raylib.call("GetCollisionRec", Rect(0, 0, 10, 10), Rect(5, 6, 10, 10))
    assert type(overlap) is Rect and overlap == Rect(5, 6, 5, 4)
    total = raylib.call("Vector2Add", Vector2(0.1, 2), Vector2(0.2, -3))
    assert type(total) is Vector2 and total == Vector2(0.1, 2) + Vector2(0.2, -3)
    with pytest.raises(TypeError):
        raylib.call("CheckCollisionRecs", Rect(), (0, 0, 1, 1))


def random_f32(rng):
    """Mostly small coordinates, so that overlaps, touching edges and negative sizes all occur."""
    kind = rng.random()
    if kind < 0.1:
        return float(rng.choice([0, 1, -1, 10]))
    if kind < 0.2:
        return struct.unpack("<f", rng.getrandbits(32).to_bytes(4, "little"))[0]  # anything, NaN included
    return f32(rng.uniform(-20, 20))


def random_rect(rng):
    return Rect(*(random_f32(rng) for _ in range(4)))


def test_overlap_agrees_with_raylib(raylib):
    # Both test the same strict inequalities in 32-bit float, so they agree everywhere.
    rng = random.Random(6)
    for _ in range(20000):
        a = random_rect(rng)
        b = random_rect(rng) if rng.random() < 0.7 else Rect(a.right, a.y, 3, 3)  # touching edges too
        assert a.collide_rect_rect(b) is raylib.call("CheckCollisionRecs", a, b), (a, b)


def test_point_test_differs_from_raylib_only_on_the_far_edges(raylib):
    # velmora's point test includes all four edges; raylib's leaves out the right and bottom ones.
    rng = random.Random(7)
    on_far_edge = 0
    for _ in range(20000):
        r = random_rect(rng)
        p = Vector2(random_f32(rng), random_f32(rng))
        if rng.random() < 0.2:
            p = Vector2(r.right if rng.random() < 0.5 else r.x, r.bottom if rng.random() < 0.5 else r.y)
        ours, theirs = r.collide_point(p), raylib.call("CheckCollisionPointRec", p, r)
        if p.x == r.right or p.y == r.bottom:
            on_far_edge += ours
            assert not theirs, (r, p)
        else:
            assert ours is theirs, (r, p)
    assert on_far_edge > 100  # the difference was exercised, and velmora counts those points in


# ---- the game toolkit's members, bit for bit against raylib's functions ----

# Each member and the raylib call it equals, its parameters named as the member's; a member
# without parameters is a property. Vector functions are named after the class.
MEMBERS = [
    ((Vector2, Vector3), "length_squared", "LengthSqr(self)"),
    ((Vector2, Vector3), "lerp", "Lerp(self, other, amount)"),
    ((Vector2, Vector3), "move_towards", "MoveTowards(self, target, max_distance)"),
    ((Vector2, Vector3), "min", "Min(self, other)"),
    ((Vector2, Vector3), "max", "Max(self, other)"),
    ((Vector2, Vector3), "reflect", "Reflect(self, normal)"),
    ((Vector2, Vector3), "angle_to", "Angle(self, other)"),
    ((Vector2, Vector3), "clamp_length", "ClampValue(self, min_length, max_length)"),
    ((Vector2, Vector3), "clamp", "Clamp(self, lower, upper)"),
    ((Vector2,), "rotate", "Rotate(self, angle)"),
    ((Vector3,), "rotate_around", "RotateByAxisAngle(self, axis, angle)"),
    ((Vector3,), "project", "Project(self, onto)"),
    ((Vector3,), "reject", "Reject(self, onto)"),
    ((Rect,), "clip", "GetCollisionRec(self, other)"),
    ((Rect,), "collide_circle", "CheckCollisionCircleRec(center, radius, self)"),
]
NUMBER_PARAMETERS = {"amount", "max_distance", "min_length", "max_length", "angle", "radius"}


def from_bits(bits):
    return struct.unpack("<f", struct.pack("<I", bits))[0]


# Signed zeros, the smallest and a middle subnormal, a value whose square underflows, the
# largest finite values, one whose square overflows, the infinities, and NaNs of both signs
# and with a payload (which one of two NaNs an operation passes on depends on operand order).
SPECIALS = [0.0, -0.0, 1.0, -1.0, from_bits(1), -from_bits(1), from_bits(0x400000), f32(1e-30),
            f32(3.4e38), -f32(3.4e38), 2.0**64, -(2.0**64), math.inf, -math.inf,
            from_bits(0x7FC00000), from_bits(0xFFC00000), from_bits(0x7FC12345)]
# Numbers are rounded on the way in: these round to infinity, to 0, up to the smallest
# subnormal, or are not floats at all.
NUMBERS = SPECIALS + [1e39, math.ldexp(2 - 2.0**-24, 127), 2.0**-150, 3 * 2.0**-151, 0.1, 7]


def draw(rng, kind, earlier):
    """A number, or a vector or Rect of random and special components; now and then one
    equal to, the negation of, or moved a little from the last of its class drawn, or all
    zeros. Rects mostly have a positive size, so that they can overlap."""
    if kind is float:
        u = rng.random()
        return rng.choice(NUMBERS) if u < 0.3 else rng.uniform(-20, 20) if u < 0.5 else random_f32(rng)
    n = len(kind())
    last = [e for e in earlier if type(e) is kind][-1:]
    u = rng.random()
    if u < 0.05:
        return kind(*(rng.choice((0.0, -0.0)) for _ in range(n)))
    if last and u < 0.15:
        return kind(*last[0])
    if last and u < 0.25:
        return kind(*(-c for c in last[0]))
    if last and u < 0.45:
        return kind(*(c + rng.uniform(-4, 4) if i < 2 else c for i, c in enumerate(last[0])))
    values = [rng.choice(SPECIALS) if rng.random() < 0.15 else random_f32(rng) for _ in range(n)]
    if kind is Rect and rng.random() < 0.75:
        values[2:] = map(abs, values[2:])
    return kind(*values)


def flat(result):
    return (result,) if isinstance(result, (float, bool)) else tuple(result)


def nan_as_one(values):
    return tuple(math.nan if isinstance(v, float) and v != v else v for v in values)


# fminf and fmaxf may return either zero where +0 and -0 meet, and which one raylib's build
# gives depends on the C library and the compiler's operand order; velmora keeps the first
# (test_toolkit.py pins that), so the sign of a zero result is not compared for these.
ZERO_TIES = {"min", "max", "clamp"}


def unsigned_zeros(values):
    return tuple(0.0 if v == 0 else v for v in values)


# Debian's arm64 libraylib is compiled with GCC's default there, which fuses a multiply into an
# add: its CheckCollisionCircleRec sums the corner distance as fmaf(a, a, b*b), a = dx - w/2 and
# b = dy - h/2, where raylib's source (and its x86-64 build, with no FMA to fuse into) rounds
# a*a first, as velmora does on every CPU. The two differ only for circles that pass within
# rounding of the rectangle's corner; there, and only on aarch64, raylib's answer is the fused
# one. Everywhere else the comparison is bit for bit on both.
FUSED_CIRCLE_CORNER = platform.machine() == "aarch64"


def circle_rect(center, radius, rect, fused):
    """CheckCollisionCircleRec's formula in float32, its corner sum unfused or fused."""
    (cx, cy), radius, (x, y, w, h) = center, f32(radius), rect
    hw, hh = f32(w * 0.5), f32(h * 0.5)
    dx, dy = abs(f32(cx - f32(x + hw))), abs(f32(cy - f32(y + hh)))
    if dx > f32(hw + radius) or dy > f32(hh + radius):
        return False
    if dx <= hw or dy <= hh:
        return True
    a, b = f32(dx - hw), f32(dy - hh)
    square = f32(b * b)
    if not (fused and math.isfinite(a) and math.isfinite(square)):
        return f32(f32(a * a) + square) <= f32(radius * radius)
    # From 2^128 - 2^103 on (halfway past the largest float32), the sum rounds to infinity.
    exact = Fraction(a) ** 2 + Fraction(square)
    return (math.inf if exact >= 2**128 - 2**103 else fma_f32(a, a, square)) <= f32(radius * radius)


def bits(x):
    """Bit patterns, which tell zeros and NaNs apart where repr does not."""
    return struct.pack(">d", x).hex() if type(x) is float else [struct.pack(">f", c).hex() for c in flat(x)]


@pytest.mark.parametrize("cls, member, call", [pytest.param(cls, member, call, id=f"{cls.__name__}.{member}")
                                                for classes, member, call in MEMBERS for cls in classes])
def test_members_equal_raylibs_functions_bit_for_bit(raylib, cls, member, call):
    # Both sides read the same records, so only the arithmetic can differ: in a bit or a zero's
    # sign. Where raylib's result is NaN ours must be NaN too; which of two NaNs comes out where
    # they meet is the compiler's choice of operand order (in raylib's build as in ours), so a
    # NaN's sign and payload are not compared.
    name, params = re.fullmatch(r"(\w+)\((.*)\)", call).groups()
    params = params.split(", ")
    name = name if cls is Rect else cls.__name__ + name
    own = [p for p in params if p != "self"]
    kinds = {p: float if p in NUMBER_PARAMETERS else Vector2 if p == "center" else cls for p in params}
    rng = random.Random(f"{cls.__name__}.{member}")
    for i in range(2000):
        values = {}
        for p in params:
            values[p] = draw(rng, kinds[p], values.values())
        theirs = raylib.call(name, *values.values())
        ours = getattr(values["self"], member)
        if own:  # keywords every other time
            ours = ours(**{p: values[p] for p in own}) if i % 2 else ours(*(values[p] for p in own))
        if member == "collide_circle" and FUSED_CIRCLE_CORNER:
            case = (values["center"], values["radius"], values["self"])
            if circle_rect(*case, fused=True) is not circle_rect(*case, fused=False):
                assert (ours, theirs) == (circle_rect(*case, fused=False), circle_rect(*case, fused=True)), case
                continue
        ours_flat, theirs_flat = nan_as_one(flat(ours)), nan_as_one(flat(theirs))
        if member in ZERO_TIES:
            ours_flat, theirs_flat = unsigned_zeros(ours_flat), unsigned_zeros(theirs_flat)
        assert type(ours) is type(theirs) and same_bits(ours_flat, theirs_flat), \
            ({p: bits(v) for p, v in values.items()}, bits(ours), bits(theirs))


def test_collide_circle_where_the_corner_distance_rounding_decides(raylib):
    # Circles through a rectangle's corner region, so that the corner distance and radius²
    # compare within an ulp. velmora is the unfused formula everywhere; raylib equals it too,
    # except on aarch64 in exactly the cases where its fused sum comes out on the other side.
    rng = random.Random(8)
    decided = 0
    for _ in range(2000):
        r = Rect(f32(rng.uniform(-20, 20)), f32(rng.uniform(-20, 20)), f32(rng.uniform(1, 50)), f32(rng.uniform(1, 50)))
        radius, t = f32(rng.uniform(0.5, 20)), rng.uniform(0, math.pi / 2)
        center = Vector2(r.right + radius * math.cos(t), r.bottom + radius * math.sin(t))
        unfused, fused = circle_rect(center, radius, r, fused=False), circle_rect(center, radius, r, fused=True)
        decided += unfused is not fused
        theirs = raylib.call("CheckCollisionCircleRec", center, radius, r)
        assert r.collide_circle(center, radius) is unfused, (center, radius, r)
        assert theirs is (fused if FUSED_CIRCLE_CORNER else unfused), (center, radius, r)
    assert decided > 20  # the cases where the rounding decides were reached
