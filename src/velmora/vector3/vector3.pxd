# Cython declarations of velmora.vector3.vector3: Vector3 as velmora.h lays it out, so that Cython
# code reads `v.data` in place and calls the class's C-level table with no Python call:
#
#     from velmora.vector3.vector3 cimport Vector3
#     cdef Vector3 v = Vector3.new(0.0, 0.0, 0.0)
#
# The methods are Vector3MethodTable's entries in slot order (Vector3Object * is Vector3,
# PyObject * object; an entry's skip-dispatch flag is cpdef's own). Those with a number or no
# result report failure only by a pending exception: `except *`. Final, as the class is at
# run time: Cython refuses a subclass.

cimport cython

from velmora cimport records


@cython.final
cdef class Vector3:
    cdef records.Vector3 data

    @staticmethod
    cdef Vector3 new(double x, double y, double z)
    @staticmethod
    cdef Vector3 cfrom_list(list list)
    @staticmethod
    cdef Vector3 cfrom_ints(int x, int y, int z)
    @staticmethod
    cdef Vector3 cfrom_floats(float x, float y, float z)
    @staticmethod
    cdef Vector3 cfrom_tuple(tuple tuple)
    @staticmethod
    cdef Vector3 cfrom_vector3(Vector3 other)
    @staticmethod
    cdef Vector3 cfrom_xyz(double x, double y, double z)
    cdef Vector3 _add(self, Vector3 other)
    cdef Vector3 _sub(self, Vector3 other)
    cdef void _iadd(self, Vector3 other) except *
    cdef void _isub(self, Vector3 other) except *
    cdef void _imul(self, Vector3 other) except *
    cdef void _sadd(self, Vector3 new_vec, Vector3 old_vec) except *
    cpdef void sadd(self, Vector3 new_vec, Vector3 old_vec) except *
    cpdef object get_tuple(self)
    cdef object c_get_tuple(self)
    cpdef Vector3 to_round(self)
    cpdef Vector3 get_round(self)
    cpdef Vector3 to_abs(self)
    cpdef Vector3 get_abs(self)
    cpdef Vector3 to_neg(self)
    cpdef Vector3 get_neg(self)
    cpdef object get_int_tuple(self)
    cpdef object get_rounded_tuple(self)
    cpdef Vector3 copy(self)
    cpdef Vector3 to_normalized(self)
    cpdef Vector3 get_normalized(self)
    cpdef double distance_to(self, Vector3 other) except *
    cpdef double distance_squared_to(self, Vector3 other) except *
    cpdef double dot(self, Vector3 other) except *
    cpdef Vector3 cross(self, Vector3 other)
