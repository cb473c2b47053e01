# Cython declarations of velmora.glyph_info.glyph_info: GlyphInfo as velmora.h lays it out.
# Native code makes GlyphInfo objects from raylib GlyphInfo records through the table:
#
#     from velmora.glyph_info.glyph_info cimport GlyphInfo
#     cdef GlyphInfo g = GlyphInfo.new(record)
#
# `_image` is the Image wrapper of the glyph's image (or None). GlyphInfo can be subclassed;
# its table never grows within a major version of velmora's C interface, so a cdef
# subclass's own methods, placed after its last slot, stay valid.

from velmora cimport records


cdef class GlyphInfo:
    cdef records.GlyphInfo _raw
    cdef object _image

    @staticmethod
    cdef GlyphInfo new(records.GlyphInfo record)
