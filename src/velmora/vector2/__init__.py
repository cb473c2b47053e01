"""Vector2, from its extension module velmora.vector2.vector2."""
from velmora.vector2.vector2 import Vector2

__all__ = ["Vector2"]
