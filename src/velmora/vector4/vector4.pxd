# Cython declarations of velmora.vector4.vector4: Vector4 as velmora.h lays it out, so that Cython
# code reads `v.data` in place and calls the class's C-level table with no Python call:
#
#     from velmora.vector4.vector4 cimport Vector4
#     cdef Vector4 v = Vector4.new(0.0, 0.0, 0.0, 0.0)
#
# The methods are Vector4MethodTable's entries in slot order (Vector4Object * is Vector4,
# PyObject * object; an entry's skip-dispatch flag is cpdef's own). Those with a number or no
# result report failure only by a pending exception: `except *`. Final, as the class is at
# run time: Cython refuses a subclass.

cimport cython

from velmora cimport records


@cython.final
cdef class Vector4:
    cdef records.vector4_t data

    @staticmethod
    cdef Vector4 new(double x, double y, double z, double w)
    @staticmethod
    cdef Vector4 cfrom_list(list list)
    @staticmethod
    cdef Vector4 cfrom_ints(int x, int y, int z, int w)
    @staticmethod
    cdef Vector4 cfrom_floats(float x, float y, float z, float w)
    @staticmethod
    cdef Vector4 cfrom_tuple(tuple tuple)
    @staticmethod
    cdef Vector4 cfrom_vector4(Vector4 other)
    @staticmethod
    cdef Vector4 cfrom_xyzw(double x, double y, double z, double w)
    cdef Vector4 _add(self, Vector4 other)
    cdef Vector4 _sub(self, Vector4 other)
    cdef void _iadd(self, Vector4 other) except *
    cdef void _isub(self, Vector4 other) except *
    cdef void _imul(self, Vector4 other) except *
    cdef void _sadd(self, Vector4 new_vec, Vector4 old_vec) except *
    cpdef void sadd(self, Vector4 new_vec, Vector4 old_vec) except *
    cpdef object get_tuple(self)
    cdef object c_get_tuple(self)
    cpdef Vector4 to_round(self)
    cpdef Vector4 get_round(self)
    cpdef Vector4 to_abs(self)
    cpdef Vector4 get_abs(self)
    cpdef Vector4 to_neg(self)
    cpdef Vector4 get_neg(self)
    cpdef object get_int_tuple(self)
    cpdef object get_rounded_tuple(self)
    cpdef Vector4 copy(self)
    cpdef Vector4 to_normalized(self)
    cpdef Vector4 get_normalized(self)
    cpdef double distance_to(self, Vector4 other) except *
    cpdef double distance_squared_to(self, Vector4 other) except *
    cpdef double dot(self, Vector4 other) except *
