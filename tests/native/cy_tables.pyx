# cython: language_level=3
"""Cimports every class of velmora through the shipped declarations (velmora/**/*.pxd) and calls
them as a user's module would: records read in place, every kind of table entry (class-level,
instance, overridable with each kind of result; Vector2's stand for the vector tables, which the
declaration test compares slot by slot), failures through `except *`, and cdef subclasses of
Rect and GlyphInfo. Built by tests/test_cython.py against the installed package; never shipped."""
from velmora cimport records
from velmora.glyph_info.glyph_info cimport GlyphInfo
from velmora.image.image cimport Image
from velmora.rect.rect cimport Rect
from velmora.vector2.vector2 cimport Vector2
from velmora.vector3.vector3 cimport Vector3
from velmora.vector4.vector4 cimport Vector4


def vector2_entries():
    """What every entry of Vector2's table gives, by name, for a = (3, 4) and b = (1, 2)."""
    cdef records.Vector2 record = records.Vector2(5, 6)
    cdef Vector2 a = Vector2.new(3.0, 4.0)
    cdef Vector2 b = Vector2.cfrom_xy(1.0, 2.0)
    cdef Vector2 c = Vector2.cfrom_vector2(a)
    out = {"new": Vector2.new(3.0, 4.0), "cfrom_xy": b, "cfrom_vector2": Vector2.cfrom_vector2(a), "cfrom_struct": Vector2.cfrom_struct(record),
           "cfrom_list": Vector2.cfrom_list([1, 2.5]), "cfrom_tuple": Vector2.cfrom_tuple((1, 2.5)),
           "cfrom_ints": Vector2.cfrom_ints(7, -8), "cfrom_floats": Vector2.cfrom_floats(0.1, 0.2),
           "_add": a._add(b), "_sub": a._sub(b), "get_tuple": a.get_tuple(), "c_get_tuple": a.c_get_tuple(),
           "get_round": Vector2.new(2.5, -2.5).get_round(), "get_abs": Vector2.new(-1, 2).get_abs(),
           "get_neg": a.get_neg(), "get_int_tuple": Vector2.new(1.9, -1.9).get_int_tuple(),
           "get_rounded_tuple": Vector2.new(2.5, -2.5).get_rounded_tuple(), "copy": a.copy(),
           "get_normalized": a.get_normalized(), "distance_to": a.distance_to(b),
           "distance_squared_to": a.distance_squared_to(b), "dot": a.dot(b)}
    c._iadd(b)
    out["_iadd"] = c.copy()
    c._isub(a)
    out["_isub"] = c.copy()
    c._imul(a)
    out["_imul"] = c.copy()
    c._sadd(a, b)
    out["_sadd"] = c.copy()
    c.sadd(b, b)
    out["sadd"] = c.copy()
    for name, v in [("to_round", Vector2.new(2.5, -2.5)), ("to_abs", Vector2.new(-1, 2)), ("to_neg", Vector2.new(3, 4)),
                    ("to_normalized", Vector2.new(3, 4))]:
        result = getattr(v, name)()  # the in-place forms return the receiver itself
        out[name] = (result is v, v)
    return out


def scale_in_place(Vector2 v, float k):
    """Changes the vector's record directly: no Python call, no new object."""
    v.data.x *= k
    v.data.y *= k


def rect_entries(Rect r, point, other):
    """Every entry of Rect's table on r, the collision tests with the given arguments."""
    return {"new": Rect.new(r._raw), "get_width": r.get_width(), "get_height": r.get_height(),
            "collide_point": r.collide_point(point), "collide_point_vector2": r.collide_point_vector2(Vector2(point)),
            "collide_point_tuple": r.collide_point_tuple(tuple(point)), "collide_point_list": r.collide_point_list(list(point)),
            "collide_rect": r.collide_rect(other), "collide_rect_vector4": r.collide_rect_vector4(Vector4(other)),
            "collide_rect_rect": r.collide_rect_rect(Rect(other)), "collide_rect_tuple": r.collide_rect_tuple(tuple(other)),
            "collide_rect_list": r.collide_rect_list(list(other)), "get_vector4": r.get_vector4(),
            "get_tuple": r.get_tuple()}


def collide_point(Rect r, point):
    """A truth-value entry through the table: its failure propagates by `except *`."""
    return r.collide_point(point)


def unload(Image image):
    """A no-result entry of the stand-in Image, which raises NotImplementedError."""
    image.unload()


def export(Image image, path):
    return image.export(path)


def glyph(int value, int width):
    """A GlyphInfo made from a record, with an Image wrapper that does not own the pixels."""
    cdef records.GlyphInfo record
    record.value, record.offsetX, record.offsetY, record.advanceX = value, 1, 2, 3
    record.image = records.Image(NULL, width, 1, 1, 7)
    cdef GlyphInfo g = GlyphInfo.new(record)
    return g, g._raw.value, g._image


def image(int width, owner=None):
    cdef records.Image record = records.Image(NULL, width, 2, 1, 7)
    return Image.new(record) if owner is None else Image.new(record, is_owner=owner)


cdef class Wall(Rect):
    """A cdef subclass with a field of its own, overriding two entries: C callers that call
    through the instance's table run the overrides."""
    cdef public int tests

    cpdef object get_width(self):
        return Rect.get_width(self) * 2

    cpdef bint collide_point(self, object point) except *:
        self.tests += 1
        if point is None:
            raise LookupError("no point")
        return Rect.collide_point(self, point)


cdef class Glyph(GlyphInfo):
    cdef public object label
