# Cython declarations of velmora.rect.rect: Rect as velmora.h lays it out, so that Cython code
# reads `r._raw` in place and calls the class's C-level table with no Python call:
#
#     from velmora cimport records
#     from velmora.rect.rect cimport Rect
#     cdef Rect r = Rect.new(records.Rectangle(0, 0, 16, 16))
#
# The methods are RectMethodTable's entries in slot order (RectObject * is Rect, PyObject *
# object; an entry's skip-dispatch flag is cpdef's own). Truth values are bint, and report
# failure only by a pending exception: `except *`.
#
# Rect can be subclassed, by Python classes and by cdef classes. A cdef subclass's override
# of an entry goes into its own copy of the table, which its instances point to, so a C caller
# that calls through an instance's table (`r.vtab`, as Cython's own calls do) runs it. The
# subclass's own cdef methods are placed after RectMethodTable's last slot: Rect's table
# never grows within a major version of velmora's C interface, so that they stay valid.

from velmora cimport records
from velmora.vector2.vector2 cimport Vector2
from velmora.vector4.vector4 cimport Vector4


cdef class Rect:
    cdef records.Rectangle _raw

    @staticmethod
    cdef Rect new(records.Rectangle record)
    cpdef object get_width(self)
    cpdef object get_height(self)
    cpdef bint collide_point(self, object point) except *
    cpdef bint collide_point_vector2(self, Vector2 point) except *
    cpdef bint collide_point_tuple(self, object point) except *
    cpdef bint collide_point_list(self, object point) except *
    cpdef bint collide_rect(self, object other) except *
    cpdef bint collide_rect_vector4(self, Vector4 other) except *
    cpdef bint collide_rect_rect(self, Rect other) except *
    cpdef bint collide_rect_tuple(self, object other) except *
    cpdef bint collide_rect_list(self, object other) except *
    cpdef Vector4 get_vector4(self)
    cpdef object get_tuple(self)
