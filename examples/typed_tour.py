# pyright: strict
"""A small game-loop program using velmora's public API, as a user writes it; the tests check
it with mypy --strict and basedpyright (strict), which must find nothing to report."""
from __future__ import annotations

from typing import NamedTuple

import numpy as np

from velmora import Rect, Vector2, Vector3, Vector4


class Size(NamedTuple):
    x: float
    y: float


def step(position: Vector2, velocity: Vector2, dt: float) -> Vector2:
    return position + velocity * dt


def facing(forward: Vector3, up: Vector3) -> Vector3:
    return forward.cross(up).get_normalized()


def bounds(points: list[Vector2]) -> Rect:
    xs = [p.x for p in points]
    ys = [p.y for p in points]
    return Rect((min(xs), min(ys)), (max(xs) - min(xs), max(ys) - min(ys)))


def main() -> None:
    p = step(Vector2(0, 0), Vector2.from_xy(y=2, x=1), 0.5)
    p += Vector2(1, 1)
    p = p * np.float32(0.5)  # numpy's scalars scale like floats
    x, y = p  # vectors unpack like tuples
    ix, iy = p.get_rounded_tuple()
    total = sum(c for c in p) + sum(tuple(p))
    swizzled: Vector2 = p.yx
    box = bounds([p, swizzled, Vector2((3.0, 4.0))])
    left, top, width, height = box
    hit: bool = box.collide_point((x, y)) and box.collide_rect(Rect(0, 0, 1, 1))
    box.center = (ix + 0.5, iy + 0.5)
    tile = Rect(p, Size(16, 16))  # after a Vector2 position, anything with x and y is a size
    hit = hit or tile.collide_point_vector2(swizzled) or Rect((x, y), swizzled).collide_rect_rect(tile)
    corners: Vector4 = box.get_vector4().wzyx
    length: float = facing(Vector3(1, 0, 0), Vector3(0, 1, 0)).length
    p.data = {"x": 1, "y": 2}
    print(hit, corners, length, box.right, p.data, len(p), p[0], total, left + top + width + height)


if __name__ == "__main__":
    main()
