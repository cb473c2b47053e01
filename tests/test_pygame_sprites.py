"""Rect.colliderect, which exists for pygame-ce's sprite module: collide_rect's test, taking
besides any other sequence of four numbers (pygame's own Rect and FRect); and pygame's sprite
helpers run on sprites whose rect is a velmora Rect, alone and mixed with pygame's."""
import math
import os
import sys

import pytest

from velmora.rect.rect import Rect
from velmora.vector4.vector4 import Vector4

COLLISION_MESSAGE = "^rect for collision must be a Rect, Vector4, tuple, or list of length 4$"


class Quad:
    """A sequence of four numbers that is no list or tuple, as pygame's rects are."""

    def __init__(self, *items):
        self.items = items

    def __len__(self):
        return len(self.items)

    def __getitem__(self, i):
        return self.items[i]


AGAINST = [(5, 5, 10, 10), (10, 0, 5, 5), (-3, -3, 3, 3), (2, 2, 0, 0), (9.5, 9.5, 1, 1), (0, 0, math.nan, 1)]


@pytest.mark.parametrize("values", AGAINST)
@pytest.mark.parametrize("shape", [Rect, Vector4, tuple, list, Quad], ids=lambda s: s.__name__)
def test_colliderect_is_collide_rects_test(values, shape):
    r = Rect(0, 0, 10, 10)
    other = shape(values) if shape in (tuple, list) else shape(*values)
    before = sys.getrefcount(other)
    assert r.colliderect(other) is r.collide_rect(tuple(values))
    assert sys.getrefcount(other) == before


@pytest.mark.parametrize("other, error, message", [
    (Quad(1, 2, 3), ValueError, COLLISION_MESSAGE), ((1, 2, 3), ValueError, COLLISION_MESSAGE),
    (5, ValueError, COLLISION_MESSAGE), (None, ValueError, COLLISION_MESSAGE), ({1: 1}, ValueError, COLLISION_MESSAGE),
    (Quad(1, "a", 3, 4), TypeError, "must be real number, not str"),
    ("abcd", TypeError, "must be real number, not str"),
])
def test_colliderect_refusals(other, error, message):
    with pytest.raises(error, match=message) as refused:
        Rect(0, 0, 10, 10).colliderect(other)
    assert refused.traceback[-1].name == "velmora.rect.rect.Rect.colliderect"


def test_colliderect_reads_each_item_once_in_order():
    seen = []

    class Watched(Quad):
        def __getitem__(self, i):
            seen.append(i)
            return super().__getitem__(i)

    assert Rect(0, 0, 10, 10).colliderect(Watched(1, 1, 1, 1)) and seen == [0, 1, 2, 3]


def test_collide_rect_is_unchanged_by_it():
    with pytest.raises(ValueError, match=COLLISION_MESSAGE):
        Rect(0, 0, 10, 10).collide_rect(Quad(1, 1, 1, 1))


# ---- pygame's sprite helpers ----


@pytest.fixture(scope="module")
def pygame():
    os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
    return pytest.importorskip("pygame")


# A row of sprites: some overlap the player at (10, 10, 20, 20), some touch it, some are apart.
PLACES = [(0, 0, 12, 12), (30, 10, 5, 5), (29, 29, 4, 4), (-20, 0, 5, 5), (15, 15, 2, 2), (10, 30, 8, 8)]


def sprites(pygame, kinds):
    """Sprites at PLACES whose rects are of the given kinds in turn."""
    made = []
    for i, place in enumerate(PLACES):
        sprite = pygame.sprite.Sprite()
        sprite.rect = kinds[i % len(kinds)](*place)
        made.append(sprite)
    return made


@pytest.mark.unhunted  # pygame's objects are a release-built extension's
@pytest.mark.parametrize("player_kind, group_kinds", [
    ("velmora", ["velmora"]), ("velmora", ["pygame", "velmora"]), ("pygame", ["velmora"]),
    ("velmora", ["FRect"]), ("FRect", ["velmora", "pygame"]),
])
def test_sprite_helpers_take_velmora_rects(pygame, player_kind, group_kinds):
    kinds = {"velmora": Rect, "pygame": pygame.Rect, "FRect": pygame.FRect}
    sprite = pygame.sprite

    def world(player_kind, group_kinds):
        player = sprite.Sprite()
        player.rect = kinds[player_kind](10, 10, 20, 20)
        return player, sprites(pygame, [kinds[k] for k in group_kinds])

    # pygame's own rects give the answers; the same places with velmora Rects must give them too.
    ref_player, ref_others = world("FRect", ["FRect"])
    player, others = world(player_kind, group_kinds)

    def indices(found, among):
        return sorted(among.index(s) for s in found)

    ratio = sprite.collide_rect_ratio(0.5)
    assert [sprite.collide_rect(player, o) for o in others] == [sprite.collide_rect(ref_player, o) for o in ref_others]
    assert [ratio(player, o) for o in others] == [ratio(ref_player, o) for o in ref_others]
    for collided in (None, ratio):
        expected = indices(sprite.spritecollide(ref_player, sprite.Group(ref_others), False, collided), ref_others)
        assert indices(sprite.spritecollide(player, sprite.Group(others), False, collided), others) == expected
        any_one = sprite.spritecollideany(player, sprite.Group(others), collided)
        assert (any_one is None) == (expected == []) and (any_one is None or others.index(any_one) in expected)
    hits = sprite.groupcollide(sprite.Group(player), sprite.Group(others), False, False)
    ref_hits = sprite.groupcollide(sprite.Group(ref_player), sprite.Group(ref_others), False, False)
    assert [indices(v, others) for v in hits.values()] == [indices(v, ref_others) for v in ref_hits.values()] != []
    group = sprite.Group(others)
    assert sprite.spritecollide(player, group, True) and len(group) == len(others) - len(ref_hits[ref_player])
