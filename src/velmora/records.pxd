# Cython declarations of the value records velmora's classes hold (velmora_records.h), under
# their C names: raylib's Vector2, Vector3, Rectangle, Image and GlyphInfo, and velmora's own
# vector4_t. Cimport the module, not the names, where a class of the same name is in scope:
#
#     from velmora cimport records
#     cdef records.Rectangle r = records.Rectangle(0, 0, 16, 16)

cdef extern from "velmora_records.h":
    ctypedef struct Vector2:
        float x
        float y

    ctypedef struct Vector3:
        float x
        float y
        float z

    ctypedef struct Rectangle:
        float x
        float y
        float width
        float height

    ctypedef struct Image:
        void *data
        int width
        int height
        int mipmaps
        int format

    ctypedef struct GlyphInfo:
        int value
        int offsetX
        int offsetY
        int advanceX
        Image image

    ctypedef struct vector4_t:
        double x
        double y
        double z
        double w
