"""Vector3, from its extension module velmora.vector3.vector3."""
from velmora.vector3.vector3 import Vector3

__all__ = ["Vector3"]
