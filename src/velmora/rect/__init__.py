"""Rect, from its extension module velmora.rect.rect."""
from velmora.rect.rect import Rect

__all__ = ["Rect"]
