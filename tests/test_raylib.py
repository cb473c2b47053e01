"""velmora's records handed to the real raylib and back, through a native module built against
both (native/raylib_consumer.c). Runs where raylib's headers, library and a DejaVu font are
installed, as in CI's Debian testing root; skipped elsewhere, unless VELMORA_REQUIRE_RAYLIB is
set, which turns the skip into a failure."""
import os
import random
import struct
from pathlib import Path

import pytest

from helpers import NATIVE, build_extension, f32, load_extension
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.image.image import Image
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2

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
    return load_extension("raylib_consumer", build_extension("raylib_consumer", source, libraries=["raylib", "m"]))


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
    overlap = raylib.collision_rec(Rect(0, 0, 10, 10), Rect(5, 6, 10, 10))
    assert type(overlap) is Rect and overlap == Rect(5, 6, 5, 4)
    total = raylib.vector_add(Vector2(0.1, 2), Vector2(0.2, -3))
    assert type(total) is Vector2 and total == Vector2(0.1, 2) + Vector2(0.2, -3)
    with pytest.raises(TypeError):
        raylib.check_recs(Rect(), (0, 0, 1, 1))


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
        assert a.collide_rect_rect(b) is raylib.check_recs(a, b), (a, b)


def test_point_test_differs_from_raylib_only_on_the_far_edges(raylib):
    # velmora's point test includes all four edges; raylib's leaves out the right and bottom ones.
    rng = random.Random(7)
    on_far_edge = 0
    for _ in range(20000):
        r = random_rect(rng)
        p = Vector2(random_f32(rng), random_f32(rng))
        if rng.random() < 0.2:
            p = Vector2(r.right if rng.random() < 0.5 else r.x, r.bottom if rng.random() < 0.5 else r.y)
        ours, theirs = r.collide_point(p), raylib.check_point_rec(p, r)
        if p.x == r.right or p.y == r.bottom:
            on_far_edge += ours
            assert not theirs, (r, p)
        else:
            assert ours is theirs, (r, p)
    assert on_far_edge > 100  # the difference was exercised, and velmora counts those points in
