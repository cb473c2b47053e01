# Cython declarations of velmora.vector2.vector2: Vector2 as velmora.h lays it out, so that Cython
# code reads `v.data` in place and calls the class's C-level table with no Python call:
#
#     from velmora.vector2.vector2 cimport Vector2
#     cdef Vector2 v = Vector2.new(0.0, 0.0)
#
# The methods are Vector2MethodTable's entries in slot order (Vector2Object * is Vector2,
# PyObject * object; an entry's skip-dispatch flag is cpdef's own). Those with a number or no
# result report failure only by a pending exception: `except *`. Final, as the class is at
# run time: Cython refuses a subclass.

cimport cython

from velmora cimport records


@cython.final
cdef class Vector2:
    cdef records.Vector2 data

    @staticmethod
    cdef Vector2 new(double x, double y)
    @staticmethod
    cdef Vector2 cfrom_struct(records.Vector2 record)
    @staticmethod
    cdef Vector2 cfrom_list(list list)
    @staticmethod
    cdef Vector2 cfrom_ints(int x, int y)
    @staticmethod
    cdef Vector2 cfrom_floats(float x, float y)
    @staticmethod
    cdef Vector2 cfrom_tuple(tuple tuple)
    @staticmethod
    cdef Vector2 cfrom_vector2(Vector2 other)
    @staticmethod
    cdef Vector2 cfrom_xy(double x, double y)
    cdef Vector2 _add(self, Vector2 other)
    cdef Vector2 _sub(self, Vector2 other)
    cdef void _iadd(self, Vector2 other) except *
    cdef void _isub(self, Vector2 other) except *
    cdef void _imul(self, Vector2 other) except *
    cdef void _sadd(self, Vector2 new_vec, Vector2 old_vec) except *
    cpdef void sadd(self, Vector2 new_vec, Vector2 old_vec) except *
    cpdef object get_tuple(self)
    cdef object c_get_tuple(self)
    cpdef Vector2 to_round(self)
    cpdef Vector2 get_round(self)
    cpdef Vector2 to_abs(self)
    cpdef Vector2 get_abs(self)
    cpdef Vector2 to_neg(self)
    cpdef Vector2 get_neg(self)
    cpdef object get_int_tuple(self)
    cpdef object get_rounded_tuple(self)
    cpdef Vector2 copy(self)
    cpdef Vector2 to_normalized(self)
    cpdef Vector2 get_normalized(self)
    cpdef double distance_to(self, Vector2 other) except *
    cpdef double distance_squared_to(self, Vector2 other) except *
    cpdef double dot(self, Vector2 other) except *
