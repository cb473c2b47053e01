// velmora.image.image: the least of the outside image module that glyph_info needs. The
// Image class wraps a raylib Image record; only its table's `new` entry works. Nothing
// here ever frees pixel data: the stand-in has no way of knowing who allocated it.
#include "frame.hpp"

#include <cstddef>

namespace velmora {
namespace {

constexpr char type_name[] = "velmora.image.image.Image";

extern PyTypeObject image_type;
ImageMethodTable table{};

// An optional-argument record that gives no `is_owner` leaves the default: the wrapper
// owns the record it is handed.
ImageObject *image_new(Image record, ImageNewOptArgs *optional) {
    auto *self = reinterpret_cast<ImageObject *>(image_type.tp_alloc(&image_type, 0));
    if (self == nullptr) {
        return Fail<type_name>::object("new");
    }
    self->vtab = &table;
    self->_raw = record;
    self->is_owner = optional != nullptr && optional->n >= 1 ? optional->is_owner : 1;
    return self;
}

PyObject *unavailable(const char *entry) {
    PyErr_Format(PyExc_NotImplementedError,
                 "%s.%s is not available in velmora's stand-in image module", type_name, entry);
    add_traceback(type_name, entry);
    return nullptr;
}

ImageObject *c_load(PyObject *) { return (ImageObject *)unavailable("c_load"); }
ImageObject *c_load_raw(PyObject *, int, int, int, int) { return (ImageObject *)unavailable("c_load_raw"); }
ImageObject *c_load_anim(PyObject *, int *) { return (ImageObject *)unavailable("c_load_anim"); }
ImageObject *c_load_from_screen() { return (ImageObject *)unavailable("c_load_from_screen"); }
ImageObject *c_copy(ImageObject *) { return (ImageObject *)unavailable("c_copy"); }
int export_(ImageObject *, PyObject *, int) { return unavailable("export"), 0; }
void unload(ImageObject *, int) { unavailable("unload"); }
ImageObject *copy(ImageObject *, int) { return (ImageObject *)unavailable("copy"); }
ImageObject *from_channel(ImageObject *, int, int) { return (ImageObject *)unavailable("from_channel"); }

template <int ImageObject::*Field> PyObject *get_int(PyObject *self, void *) {
    return PyLong_FromLong(reinterpret_cast<ImageObject *>(self)->*Field);
}
template <int Image::*Field> PyObject *get_raw_int(PyObject *self, void *) {
    return PyLong_FromLong(reinterpret_cast<ImageObject *>(self)->_raw.*Field);
}

PyGetSetDef getsets[] = {
    {"width", get_raw_int<&Image::width>, nullptr, "The width in pixels.", nullptr},
    {"height", get_raw_int<&Image::height>, nullptr, "The height in pixels.", nullptr},
    {"mipmaps", get_raw_int<&Image::mipmaps>, nullptr, "The number of mipmap levels.", nullptr},
    {"format", get_raw_int<&Image::format>, nullptr, "raylib's pixel format code.", nullptr},
    {"is_owner", get_int<&ImageObject::is_owner>, nullptr, "1 when the wrapper owns its pixel data, else 0.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyTypeObject image_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0)
    .tp_name = type_name,
    .tp_basicsize = sizeof(ImageObject),
    .tp_flags = Py_TPFLAGS_DEFAULT,
    .tp_doc = "A raylib Image record, made by native code through the class's C table "
              "(velmora's stand-in for the image module).",
    .tp_getset = getsets,
};

int prepare() {
    table = ImageMethodTable{image_new, c_load, c_load_raw, c_load_anim, c_load_from_screen,
                             c_copy, export_, unload, copy, from_channel};
    return 0;
}

constexpr char pickling_refused[] = "self._raw cannot be converted to a Python object for pickling";
ModuleFrame frame = class_frame<type_name, pickling_refused>("image", "velmora.image.image", &image_type, "Image", &table, prepare);

}  // namespace
}  // namespace velmora

VELMORA_MODULE(image, velmora::frame)
