"""`python -m velmora`: a short tour and a quick benchmark; `python -m velmora bench` for the full one."""

import argparse
import sys

from velmora import Rect, Vector2, Vector3, Vector4


def tour() -> None:
    print("velmora tour (from velmora import Vector2, Vector3, Vector4, Rect)")
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

    parser = argparse.ArgumentParser(
        prog="python -m velmora",
        description="A short tour of velmora's classes, then a quick benchmark against pygame-ce and PyGLM.",
        epilog="`python -m velmora bench --help` describes the full benchmark.",
    )
    parser.add_argument("--json", metavar="FILE", help="also write the quick benchmark's figures to FILE")
    commands = parser.add_subparsers(dest="command", title="commands", metavar="COMMAND")
    bench.add_options(commands.add_parser("bench", help="the full benchmark against pygame-ce and PyGLM",
                                          description=bench.__doc__.splitlines()[0]))
    args = parser.parse_args(argv)  # a usage error ends here, before anything is printed
    if args.command == "bench":
        return bench.run(args.quick, args.json)

    def tour_then_heading() -> None:
        tour()
        print("\nquick benchmark (python -m velmora bench for the full one):")

    return bench.run(True, args.json, prog=parser.prog, before=tour_then_heading)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
