"""Uses of velmora that fail at run time. Type checkers must report each line whose comment
starts with E: a plain E both mypy and basedpyright, E[mypy] or E[pyright] only the one
named (the other lets that mistake through: a limit of the checker, not of the stubs)."""
from velmora import Vector5  # E: no such class (the package's stub names its classes)
from velmora.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3 import Vector3

v = Vector2(1, 2)
r = Rect(0, 0, 1, 1)
a = 2 * v  # E: no reflected forms
b = v + Vector3(1, 2, 3)  # E: only vectors of the same class
c = v.cross(v)  # E: Vector2 has no cross
v.length = 3.0  # E: length is read-only
e = v.xyz  # E: no three-letter swizzles on Vector2
f = Vector2(x=1, y=2)  # E: no keyword construction
g = v[0:1]  # E: no slices
v *= 2  # E[mypy]: in-place scaling is refused (`v = v * 2` scales)
s = {r}  # E[pyright]: Rect is unhashable
t = Rect(Vector2(1, 2), (16, 16))  # E: after a Vector2 position the size is read by attribute
u = Rect((1, 2, 3), (4, 5))  # E: a position is 2 numbers
w = r.collide_point_vector2(None)  # E: a Vector2 only
