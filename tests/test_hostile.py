"""Every Python-visible entry of every class, called with hostile arguments.

Only what must always hold is asserted: the call returns or raises an ordinary exception
(never crashes), a failing setter leaves the receiver unchanged, and no argument's
reference count changes across the call. CI runs a fixed number of examples per entry;
VELMORA_HOSTILE_EXAMPLES raises it for long runs by hand.
"""
import math
import os
import sys
import types
import warnings

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from helpers import Clears, Foreign, emptying_list
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4

EXAMPLES = int(os.environ.get("VELMORA_HOSTILE_EXAMPLES", "15"))

# The receiver of the call under way, for the objects that change it while being read.
TARGET = []


class Boom(Exception):
    pass


def _raise(*_):
    raise Boom


class RaisesOnFloat:
    __float__ = __index__ = __int__ = _raise


class WrongFloat:
    def __float__(self):
        return "nope"

    def __index__(self):
        return 1.5

    def __int__(self):
        return "nope"


class HugeFloat:
    def __float__(self):
        return 1e308 * 10

    def __index__(self):
        return 2**200

    def __int__(self):
        return 2**200


class NanFloat:
    def __float__(self):
        return math.nan


class MutatesReceiver:
    """Converts to 2.0, after changing the receiver under conversion."""

    def _mutate(self):
        for target in TARGET:
            try:
                if isinstance(target, (Vector2, Vector3, Vector4, Rect)):
                    target[0] = 99.0
                    target.__init__()
            except Exception:
                pass
        return 2.0

    def __float__(self):
        return self._mutate()

    def __index__(self):
        self._mutate()
        return 1


class RaisesOnCompare:
    __eq__ = __ne__ = __lt__ = __le__ = __gt__ = __ge__ = _raise
    __add__ = __radd__ = __sub__ = __rsub__ = _raise
    __hash__ = object.__hash__


class BadBool:
    def __bool__(self):
        raise Boom


class ComparesBadly:
    def _compare(self, other):
        return BadBool()

    __eq__ = __ne__ = __lt__ = __le__ = __gt__ = __ge__ = _compare
    __add__ = __radd__ = __sub__ = __rsub__ = lambda self, other: self
    __hash__ = object.__hash__


class BadLenTuple(tuple):
    def __len__(self):
        raise Boom


class LyingLenList(list):
    def __len__(self):
        return 2 if TARGET else 4


class RaisingItemList(list):
    def __getitem__(self, i):
        raise Boom


class ShrinkingList(list):
    def __getitem__(self, i):
        value = list.__getitem__(self, i)
        self.clear()
        return value




class HasDel:
    def __del__(self):
        self.gone = True

    def __float__(self):
        return 1.0


class RaisingMapping:
    def __getitem__(self, key):
        raise Boom

    def keys(self):
        return ["x", "y"]


class IntSub(int):
    pass


class FloatSub(float):
    pass


class TupleSub(tuple):
    pass


class ListSub(list):
    pass


# Factories, so every example gets fresh objects nobody else refers to.
POOL = [
    lambda: None,
    lambda: 1.5,
    lambda: -1,
    lambda: 10**400,
    lambda: -(2**63),
    lambda: math.nan,
    lambda: math.inf,
    lambda: True,
    lambda: "x",
    lambda: 1j,
    lambda: RaisesOnFloat(),
    lambda: WrongFloat(),
    lambda: HugeFloat(),
    lambda: NanFloat(),
    lambda: MutatesReceiver(),
    lambda: RaisesOnCompare(),
    lambda: ComparesBadly(),
    lambda: HasDel(),
    lambda: IntSub(3),
    lambda: FloatSub(2.5),
    lambda: TupleSub((1, 2, 3, 4)),
    lambda: ListSub([1, 2]),
    lambda: (1.0, 2.0),
    lambda: (1, 2, 3),
    lambda: [1, 2, 3, 4],
    lambda: (RaisesOnFloat(), 1, 2, 3),
    lambda: [MutatesReceiver(), 1, 2, 3],
    lambda: (ComparesBadly(), ComparesBadly(), ComparesBadly(), ComparesBadly()),
    lambda: BadLenTuple((1, 2)),
    lambda: LyingLenList([1, 2, 3, 4]),
    lambda: RaisingItemList([1, 2, 3, 4]),
    lambda: ShrinkingList([1, 2, 3, 4]),
    lambda: emptying_list(4),
    lambda: {"x": 1, "y": RaisesOnFloat()},
    lambda: RaisingMapping(),
    lambda: Foreign(*[RaisesOnFloat()] * 4),
    lambda: Foreign(*[MutatesReceiver()] * 4),
    lambda: Vector2(1, 2),
    lambda: Vector3(1, 2, 3),
    lambda: Vector4(1, 2, 3, 4),
    lambda: Rect(1, 2, 3, 4),
    lambda: GlyphInfo(),
]


class RectSub(Rect):
    def get_width(self):
        raise Boom


RECEIVERS = {
    "Vector2": lambda: Vector2(1, 2),
    "Vector3": lambda: Vector3(1, 2, 3),
    "Vector4": lambda: Vector4(1, 2, 3, 4),
    "Rect": lambda: Rect(1, 2, 3, 4),
    "RectSub": lambda: RectSub(1, 2, 3, 4),
    "GlyphInfo": lambda: GlyphInfo(),
}

SKIPPED = {
    "__class__", "__init_subclass__", "__subclasshook__", "__getattribute__", "__setattr__",
    "__delattr__", "__dir__", "__format__", "__sizeof__", "__getstate__", "__reduce_ex__",
}


def state(obj):
    return repr(obj) if isinstance(obj, (Vector2, Vector3, Vector4, Rect)) else None


def _targets():
    targets = []
    for name, make in RECEIVERS.items():
        cls = type(make())
        targets.append((f"{name}()", make, lambda r, *a, cls=cls: cls(*a), False, None))
        for attr in sorted(dir(cls)):
            if attr in SKIPPED:
                continue
            value = getattr(cls, attr)
            if isinstance(value, types.GetSetDescriptorType):
                if len(attr) == len(make()) and set(attr) <= set("xyzw") and attr not in ("xy", "yx", "wzyx"):
                    continue  # the swizzles share one getter shape: a few stand for all
                targets.append((f"{name}.{attr} = v", make, lambda r, v, attr=attr: setattr(r, attr, v), True, 1))
                targets.append((f"del {name}.{attr}", make, lambda r, attr=attr: delattr(r, attr), True, 0))
                targets.append((f"{name}.{attr}", make, lambda r, attr=attr: getattr(r, attr), False, 0))
            elif callable(value):
                call = lambda r, *a, attr=attr: getattr(r, attr)(*a)  # noqa: E731
                targets.append((f"{name}.{attr}(...)", make, call, False, None))
        targets.append((f"{name}[k] = v", make, lambda r, k, v: r.__setitem__(k, v), True, 2))
        targets.append((f"{name}[k]", make, lambda r, k: r[k], False, 1))
        operators = lambda r, o: (r == o, r != o, r + o, r - o, r * o, r / o, r // o)  # noqa: E731
        targets.append((f"{name} ops", make, operators, False, 1))
        targets.append((f"{name} in-place", make, lambda r, o: r.__iadd__(o) if hasattr(r, "__iadd__") else None,
                        True, 1))
    return targets


TARGETS = _targets()


def fresh_args(factories):
    return [f() for f in factories]


def counted(args):
    """Arguments whose reference counts are their own: not shared singletons or constants,
    nor lists whose items drop references to them on purpose (emptying_list)."""
    return [a for a in args if not (a is None or type(a) in (bool, str, float, complex) or
                                   (type(a) is int and -5 <= a <= 256) or
                                   (isinstance(a, list) and any(isinstance(i, Clears) for i in a)))]


@pytest.mark.parametrize("target", TARGETS, ids=[t[0] for t in TARGETS])
@settings(max_examples=EXAMPLES, derandomize=True, deadline=None,
          suppress_health_check=[HealthCheck.too_slow, HealthCheck.filter_too_much])
@given(data=st.data())
def test_hostile_arguments(target, data):
    name, make, call, is_setter, arity = target
    low, high = (0, 5) if arity is None else (arity, arity)
    factories = data.draw(st.lists(st.sampled_from(POOL), min_size=low, max_size=high))
    receiver = make()
    args = fresh_args(factories)
    watched = counted(args) + [receiver]
    before_counts = [sys.getrefcount(a) for a in watched]
    before = state(receiver)
    mutating = any(isinstance(a, (MutatesReceiver, Foreign)) or
                   (isinstance(a, (list, tuple)) and any(isinstance(i, MutatesReceiver) for i in a)) for a in args)
    TARGET.append(receiver)
    failed = False
    try:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            result = call(receiver, *args)
        del result
    except Exception:
        failed = True
    finally:
        TARGET.clear()
    if failed and is_setter and not mutating:
        assert state(receiver) == before, name
    assert [sys.getrefcount(a) for a in watched] == before_counts, name
