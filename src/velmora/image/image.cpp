// velmora.image.image: the least of the outside image module that glyph_info needs. The
// Image class wraps a raylib Image record; only its table's `new` entry works. Nothing
// here ever frees pixel data: the stand-in has no way of knowing who allocated it.
#include "errors.hpp"
#include "frame.hpp"
#include "pickling.hpp"

#include <cstddef>

namespace velmora {
namespace {

constexpr char type_name[] = "velmora.image.image.Image";

PyTypeObject image_type = {PyVarObject_HEAD_INIT(nullptr, 0)};
ImageMethodTable table{};

// An optional-argument record that gives no `is_owner` leaves the default: the wrapper
// owns the record it is handed.
ImageObject *image_new(Image record, ImageNewOptArgs *optional) {
    auto *self = reinterpret_cast<ImageObject *>(image_type.tp_alloc(&image_type, 0));
    if (self == nullptr) {
        add_traceback(type_name, "new");
        return nullptr;
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
    {"width", get_raw_int<&Image::width>, nullptr, nullptr, nullptr},
    {"height", get_raw_int<&Image::height>, nullptr, nullptr, nullptr},
    {"mipmaps", get_raw_int<&Image::mipmaps>, nullptr, nullptr, nullptr},
    {"format", get_raw_int<&Image::format>, nullptr, nullptr, nullptr},
    {"is_owner", get_int<&ImageObject::is_owner>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

constexpr char pickling_refused[] = "self._raw cannot be converted to a Python object for pickling";
using Pickling = PicklingRefusal<type_name, pickling_refused>;

int prepare() {
    table = ImageMethodTable{image_new, c_load, c_load_raw, c_load_anim, c_load_from_screen,
                             c_copy, export_, unload, copy, from_channel};
    image_type.tp_name = type_name;
    image_type.tp_basicsize = sizeof(ImageObject);
    image_type.tp_flags = Py_TPFLAGS_DEFAULT;
    image_type.tp_getset = getsets;
    return 0;
}

ModuleFrame frame = class_frame<Pickling>("image", "velmora.image.image", &image_type, "Image", &table, prepare);

}  // namespace
}  // namespace velmora

VELMORA_MODULE(image, velmora::frame)
