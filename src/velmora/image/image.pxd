# Cython declarations of velmora.image.image, velmora's stand-in for the image module: Image
# as velmora.h lays it out. Only the table's `new` works; the other entries raise
# NotImplementedError. Final, as the class is at run time.
#
#     from velmora.image.image cimport Image
#     cdef Image wrapper = Image.new(record, is_owner=0)

cimport cython

from velmora cimport records


@cython.final
cdef class Image:
    cdef records.Image _raw
    cdef int is_owner

    @staticmethod
    cdef Image new(records.Image record, int is_owner=*)
    @staticmethod
    cdef Image c_load(object path)
    @staticmethod
    cdef Image c_load_raw(object path, int width, int height, int format, int header_size)
    @staticmethod
    cdef Image c_load_anim(object path, int *frames)
    @staticmethod
    cdef Image c_load_from_screen()
    @staticmethod
    cdef Image c_copy(Image image)
    cpdef bint export(self, object path) except *
    cpdef void unload(self) except *
    cpdef Image copy(self)
    cpdef Image from_channel(self, int channel)
