"""GlyphInfo, from its extension module velmora.glyph_info.glyph_info."""
from velmora.glyph_info.glyph_info import GlyphInfo

__all__ = ["GlyphInfo"]
