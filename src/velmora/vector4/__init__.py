"""Vector4, from its extension module velmora.vector4.vector4."""
from velmora.vector4.vector4 import Vector4

__all__ = ["Vector4"]
