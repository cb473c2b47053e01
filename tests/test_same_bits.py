"""The same bits on every CPU: a fixed, seeded set of results (every arithmetic operator,
metric, toolkit member and property of the vector classes and Rect, over random inputs and the
special ones: signed zeros, subnormals, the largest finite values, infinities, NaNs) written
one per line as canonical text. CI writes it on x86-64 and on aarch64 in the same run and fails
on any difference between them (.ci/run):

    python tests/test_same_bits.py FILE     writes the text to FILE and prints its sha256

Every value is written by its repr: velmora's and Python's float reprs give the shortest
digits that read back as the same double, so the text tells every bit pattern apart (-0.0 from
0.0 too) and is the same on every Python version. A NaN is written as nan: which NaN an
operation gives (sign, payload) is the CPU's choice, and velmora does not settle it. The
tests below keep the set complete and the text free of anything that varies between runs."""
import hashlib
import math
import operator
import os
import platform
import random
import struct
import subprocess
import sys
from pathlib import Path

import pytest

from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4

CLASSES = (Vector2, Vector3, Vector4, Rect)
CASES_PER_MEMBER = 150


def from_bits(bits):
    return struct.unpack("<f", struct.pack("<I", bits))[0]


MAX32 = from_bits(0x7F7FFFFF)
# float32's edges: signed zeros, halves (rounding), the value below 0.5, the smallest and
# largest subnormals, the smallest normal, one whose square underflows, the largest finite, one
# whose square overflows, infinities and NaNs with and without sign and payload.
SPECIALS = [0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 1.5, -2.5, from_bits(0x3EFFFFFF), from_bits(1), -from_bits(1),
            from_bits(0x7FFFFF), from_bits(0x800000), 1e-30, MAX32, -MAX32, 2.0**64, -(2.0**64),
            math.inf, -math.inf, from_bits(0x7FC00000), from_bits(0xFFC00000), from_bits(0x7FC12345)]
# double's edges and numbers that round on the way into a float32 (to infinity, to zero, up
# to the smallest subnormal, inexactly).
DOUBLE_SPECIALS = [5e-324, -5e-324, 2.225073858507201e-308, 2.2250738585072014e-308, 1e-200, 1e200,
                   sys.float_info.max, -sys.float_info.max, 2.0**1000, 1e39, 2.0**-150, 3 * 2.0**-151,
                   0.1, 1 / 3, -7.0]


def number(rng):
    u = rng.random()
    if u < 0.3:
        return rng.choice(SPECIALS + DOUBLE_SPECIALS)
    if u < 0.55:
        return rng.uniform(-20, 20)
    if u < 0.8:
        return from_bits(rng.getrandbits(32))  # any float32, NaN included
    if u < 0.9:
        return struct.unpack("<d", rng.getrandbits(64).to_bytes(8, "little"))[0]  # any double
    return rng.choice((1, -1)) * math.ldexp(rng.random(), rng.randint(-160, 140))


def small(rng):
    """Coordinates where rectangles overlap, touch and contain each other."""
    return rng.choice(SPECIALS) if rng.random() < 0.1 else float(rng.randint(-8, 8)) if rng.random() < 0.3 \
        else rng.uniform(-20, 20)


def vector(rng, cls, earlier):
    """Now and then equal to, the negation of, or near the last of its class drawn, or zero:
    the branches of lerp, move_towards, angle_to and the normalisations."""
    last = [e for e in earlier if type(e) is cls][-1:]
    u = rng.random()
    if last and u < 0.1:
        return cls(*last[0])
    if last and u < 0.2:
        return cls(*(-c for c in last[0]))
    if last and u < 0.3:
        return cls(*(c + rng.uniform(-1, 1) for c in last[0]))
    if 0.3 <= u < 0.35:
        return cls()
    return cls(*(number(rng) for _ in range(len(cls()))))


def rect(rng):
    values = [small(rng) for _ in range(4)] if rng.random() < 0.8 else [number(rng) for _ in range(4)]
    if rng.random() < 0.75:
        values[2:] = map(abs, values[2:])
    return Rect(*values)


def argument(rng, kind, cls, earlier):
    if kind == "n":
        return number(rng)
    if kind == "v":
        return vector(rng, cls, earlier)
    if kind == "p":
        return Vector2(small(rng), small(rng)) if rng.random() < 0.8 else vector(rng, Vector2, earlier)
    if kind == "r":
        return rect(rng)
    if kind == "4":
        return Vector4(*rect(rng))
    if kind in "tl":
        return (tuple if kind == "t" else list)(small(rng) for _ in range(2))
    if kind in "TL":
        return (tuple if kind == "T" else list)(rect(rng))
    if kind == "R":
        return [rect(rng) for _ in range(rng.randint(0, 5))]
    raise ValueError(kind)


# ---- the set: (member, its arguments' kinds) ----
# A kind of None reads a property; "name=" sets one on a copy. n: a number; v: a vector of the
# class; N: a number per component; p: a Vector2; r: a Rect; 4: a Vector4; t, l: a tuple, a
# list of 2 numbers; T, L: of 4; R: a list of Rects. "new" is the class's constructor.
OPERATORS = {"+": operator.add, "-": operator.sub, "*": operator.mul, "/": operator.truediv,
             "//": operator.floordiv, "==": operator.eq, "+=": operator.iadd, "-=": operator.isub,
             "*=": operator.imul, "neg": operator.neg}
VECTOR_CASES = [
    ("new", "N"), ("from_floats", "N"), ("from_ints", "N"),
    ("+", "v"), ("-", "v"), ("*", "v"), ("*", "n"), ("/", "v"), ("/", "n"), ("//", "v"), ("//", "n"),
    ("neg", ""), ("+=", "v"), ("-=", "v"), ("*=", "v"), ("==", "v"), ("sadd", "vv"),
    ("length", None), ("length_squared", None), ("dot", "v"), ("cross", "v"),
    ("distance_to", "v"), ("distance_squared_to", "v"),
    ("get_normalized", ""), ("get_round", ""), ("get_abs", ""), ("get_neg", ""),
    ("to_normalized", ""), ("to_round", ""), ("to_abs", ""), ("to_neg", ""),
    ("get_tuple", ""), ("get_int_tuple", ""), ("get_rounded_tuple", ""),
    ("lerp", "vn"), ("move_towards", "vn"), ("min", "v"), ("max", "v"), ("reflect", "v"),
    ("angle_to", "v"), ("clamp_length", "nn"), ("clamp", "vv"), ("rotate", "n"),
    ("rotate_around", "vn"), ("project", "v"), ("reject", "v"),
]
ANCHORS = ["center", "topleft", "topright", "bottomleft", "bottomright", "midtop", "midbottom", "midleft",
           "midright", "size"]
RECT_CASES = [
    ("new", "nnnn"), ("new", "pp"), ("get_width", ""), ("get_height", ""), ("get_tuple", ""), ("get_vector4", ""),
    *((edge, None) for edge in ["right", "bottom", "centerx", "centery", *ANCHORS]),
    *((edge + "=", "n") for edge in ["right", "bottom", "centerx", "centery"]),
    *((anchor + "=", "p") for anchor in ANCHORS),
    ("collide_point", "p"), ("collide_point", "t"), ("collide_point_vector2", "p"), ("collide_point_tuple", "t"),
    ("collide_point_list", "l"), ("collide_rect", "r"), ("collide_rect", "4"), ("collide_rect", "T"),
    ("collide_rect_rect", "r"), ("collide_rect_vector4", "4"), ("collide_rect_tuple", "T"),
    ("collide_rect_list", "L"), ("move", "nn"), ("move", "p"), ("move_ip", "nn"), ("inflate", "nn"),
    ("inflate", "p"), ("inflate_ip", "nn"), ("clip", "r"), ("union", "r"), ("union_ip", "r"), ("contains", "r"),
    ("clamp", "r"), ("clamp_ip", "r"), ("collide_circle", "pn"), ("collide_list", "R"), ("collide_list_all", "R"),
    ("colliderect", "r"), ("colliderect", "T"),
]
# Members the set leaves out, and why.
LEFT_OUT = {
    "copy": "copies the record",
    "from_tuple": "the constructor's conversion", "from_list": "the constructor's conversion",
    "from_vector2": "copies", "from_vector3": "copies", "from_vector4": "copies",
    "from_xy": "the constructor's conversion", "from_xyz": "the constructor's conversion",
    "from_xyzw": "the constructor's conversion",
    "data": "the components in a dict",
    **dict.fromkeys(["x", "y", "z", "w", "h", "width", "height", "left", "top"], "a field: in every repr"),
}
IN_PLACE = {"+=", "-=", "*=", "sadd", "to_normalized", "to_round", "to_abs", "to_neg", "move_ip", "inflate_ip",
            "union_ip", "clamp_ip"}


def cases(cls):
    if cls is Rect:
        return RECT_CASES
    return [(name, kinds) for name, kinds in VECTOR_CASES if name in OPERATORS or name == "new" or hasattr(cls, name)]


def encoded(value):
    """repr, with a raised exception as its type's name (messages are the interpreter's)."""
    if isinstance(value, BaseException):
        return "!" + type(value).__name__
    return repr(value)


def outcome(cls, name, kinds, receiver, args):
    """What the case gives; for a member that changes its receiver (a copy), that too."""
    try:
        if name == "new":
            return encoded(cls(*args))
        if name in OPERATORS:
            result = OPERATORS[name](receiver, *args)
        elif name.endswith("="):
            setattr(receiver, name[:-1], *args)
            return encoded(receiver)
        elif kinds is None:
            result = getattr(receiver, name)
        else:
            result = getattr(receiver, name)(*args)
    except (ArithmeticError, ValueError, TypeError) as e:
        result = e
    return encoded(result) + (" | " + repr(receiver) if name in IN_PLACE else "")


def lines():
    for cls in CLASSES:
        for name, kinds in cases(cls):
            rng = random.Random(f"{cls.__name__} {name} {kinds}")
            kinds = "n" * len(cls()) if kinds == "N" else kinds
            for i in range(CASES_PER_MEMBER):
                receiver = rect(rng) if cls is Rect else vector(rng, cls, ())
                args = []
                for kind in kinds or "":
                    args.append(argument(rng, kind, cls, [receiver, *args]))
                shown = ", ".join(map(repr, args if name == "new" else [receiver, *args]))
                result = outcome(cls, name, kinds, receiver.copy(), args)
                member = name if kinds is None else f"{name}({kinds})"
                yield f"{cls.__name__}.{member} {i}: {shown} -> {result}"


def text():
    return "".join(line + "\n" for line in lines())


# ---- the set stays complete and the text canonical ----


def public_members(cls):
    n = 0 if cls is Rect else len(cls())
    return {name for name in dir(cls) if not name.startswith("_") and not (len(name) == n and set(name) <= set("xyzw"))}


def test_every_member_is_in_the_set_or_left_out_with_a_reason():
    for cls in CLASSES:
        named = {name.rstrip("=") for name, _ in cases(cls) if name not in OPERATORS and name != "new"}
        missing = public_members(cls) - named - set(LEFT_OUT)
        assert not missing, f"{cls.__name__}: add {sorted(missing)} to the set, or to LEFT_OUT with the reason"
        assert named <= public_members(cls), f"{cls.__name__} has no {sorted(named - public_members(cls))}"


@pytest.mark.slow
def test_the_text_is_the_same_in_every_interpreter_and_names_no_object(tmp_path):
    # Another hash seed reorders sets and dicts of strings; the text must not notice.
    out = tmp_path / "same-bits.txt"
    subprocess.run([sys.executable, __file__, str(out)], check=True, capture_output=True,
                   env=dict(os.environ, PYTHONHASHSEED="12345"))
    written = out.read_text()
    ours = text()
    assert written == ours
    assert " at 0x" not in ours and "object" not in ours  # a default repr would name an address
    assert ours.count("\n") == CASES_PER_MEMBER * sum(len(cases(cls)) for cls in CLASSES)
    # The special inputs are reached: signed zeros, subnormals, infinities, NaN results, errors.
    for token in ("-0.0", "1e-45", "inf", "nan", "!ValueError", "!OverflowError", "3.4028234663852886e+38"):
        assert token in ours, token


if __name__ == "__main__":
    digest_text = text()
    Path(sys.argv[1]).write_text(digest_text)
    print(f"{hashlib.sha256(digest_text.encode()).hexdigest()}  {digest_text.count(chr(10))} results"
          f" ({sys.implementation.cache_tag}, {platform.machine()}, {' '.join(platform.libc_ver())})")
