"""Uses of velmora that fail at run time; mypy must report each line marked E."""
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3

v = Vector2(1, 2)
a = 2 * v  # E: no reflected forms
b = v + Vector3(1, 2, 3)  # E: only vectors of the same class
c = v.cross(v)  # E: Vector2 has no cross
v.length = 3.0  # E: length is read-only
e = v.xyz  # E: no three-letter swizzles on Vector2
