"""`python -m velmora`: a short tour and a quick benchmark; `python -m velmora bench` for the full one."""

import sys

from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4


def tour() -> None:
    print("velmora tour")
    print("  Vector2()                     ->", Vector2())
    print("  Vector2(1, 2)                 ->", Vector2(1, 2))
    print("  Vector2((3, 4))               ->", Vector2((3, 4)))
    print("  Vector2([5, 6])               ->", Vector2([5, 6]))
    print("  Vector2(Vector2(7, 8))        ->", Vector2(Vector2(7, 8)))
    print("  Vector2.from_xy(y=2, x=1)     ->", Vector2.from_xy(y=2, x=1))
    print("  Vector2.from_ints(1.9, -1.9)  ->", Vector2.from_ints(1.9, -1.9))
    print("  Vector2(0.1, 0).x             ->", Vector2(0.1, 0).x, "(stored as a 32-bit float)")
    print("  Vector4(0.1, 0, 0, 0).x       ->", Vector4(0.1, 0, 0, 0).x, "(stored as a double)")
    print("  Vector3.from_tuple((1, 2, 3)) ->", Vector3.from_tuple((1, 2, 3)))
    v = Vector2(3, 4)
    print("  Vector2(3, 4): x, y, length   ->", v.x, v.y, v.length)
    print("  Vector2(3, 4).yx * 2          ->", v.yx * 2)
    print("  Vector2(3, 4).get_normalized()->", v.get_normalized())
    print("  Vector3(1, 0, 0) x (0, 1, 0)  ->", Vector3(1, 0, 0).cross(Vector3(0, 1, 0)))
    print("  Vector4(1, 2, 3, 4).wzyx      ->", Vector4(1, 2, 3, 4).wzyx)
    print("  Vector2(2.5, -2.5).get_rounded_tuple() ->", Vector2(2.5, -2.5).get_rounded_tuple(),
          "(halves away from zero)")
    r = Rect(0, 0, 10, 10)
    print("  Rect(0, 0, 10, 10)            ->", r)
    print("  Rect((1, 2), Vector2(3, 4))   ->", Rect((1, 2), Vector2(3, 4)))
    print("  r.right, r.center            ->", r.right, r.center)
    print("  r.collide_point((10, 10))     ->", r.collide_point((10, 10)), "(edges are inside)")
    print("  r.collide_rect(Rect(10, 0, 5, 5)) ->", r.collide_rect(Rect(10, 0, 5, 5)), "(touching is no overlap)")


def main(argv: list[str]) -> int:
    from velmora import bench

    if argv[:1] == ["bench"]:
        return bench.main(argv[1:])
    tour()
    print("\nquick benchmark (python -m velmora bench for the full one):")
    return bench.main(["--quick", *argv])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
