// velmora.image.image: the least of the outside image module that glyph_info needs. The
// Image class wraps a raylib Image record; only its table's `new` entry works. Nothing
// here ever frees pixel data: the stand-in has no way of knowing who allocated it.
#include "frame.hpp"
#include "rows.hpp"

#include <cstddef>
#include <type_traits>

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
    PyErr_Format(PyExc_NotImplementedError, "%s.%s is not available in velmora's stand-in image module", type_name,
                 entry);
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

// The binding of Image's rows: read-only properties of the record's ints.
struct ImageBinding {
    static constexpr const char *owner = type_name;
    template <Name row, class P> static P receiver(PyObject *self) {
        static_assert(std::is_same_v<P, const ImageObject *>,
                      "an Image row's function takes the image as const ImageObject *");
        return reinterpret_cast<const ImageObject *>(self);
    }
    template <Name row, class R> static PyObject *to_python(const R &r) {
        static_assert(std::is_same_v<R, int>, "an Image row's function returns an int");
        return PyLong_FromLong(r);
    }
};

template <int Image::*Field> int record_int(const ImageObject *self) { return self->_raw.*Field; }
int owner_flag(const ImageObject *self) { return self->is_owner; }

// clang-format off
using Rows = Members<
    Property<"width", "int", record_int<&Image::width>, "The width in pixels.">,
    Property<"height", "int", record_int<&Image::height>, "The height in pixels.">,
    Property<"mipmaps", "int", record_int<&Image::mipmaps>, "The number of mipmap levels.">,
    Property<"format", "int", record_int<&Image::format>, "raylib's pixel format code.">,
    Property<"is_owner", "int", owner_flag, "1 when the wrapper owns its pixel data, else 0.">,
    TableEntry<&ImageMethodTable::new_, image_new>,
    TableEntry<&ImageMethodTable::c_load, c_load>,
    TableEntry<&ImageMethodTable::c_load_raw, c_load_raw>,
    TableEntry<&ImageMethodTable::c_load_anim, c_load_anim>,
    TableEntry<&ImageMethodTable::c_load_from_screen, c_load_from_screen>,
    TableEntry<&ImageMethodTable::c_copy, c_copy>,
    TableEntry<&ImageMethodTable::export_, export_>,
    TableEntry<&ImageMethodTable::unload, unload>,
    TableEntry<&ImageMethodTable::copy, copy>,
    TableEntry<&ImageMethodTable::from_channel, from_channel>>::In<ImageBinding>;
// clang-format on

auto getsets = getset_table<Rows>();

PyTypeObject image_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0).tp_name = type_name,
    .tp_basicsize = sizeof(ImageObject),
    .tp_flags = Py_TPFLAGS_DEFAULT,
    .tp_doc =
        "A raylib Image record, made by native code through the class's C table "
        "(velmora's stand-in for the image module).",
    .tp_getset = getsets.data(),
};

int prepare() {
    Rows::fill(table);
    return 0;
}

const char *describe() {
    static constinit std::atomic<const char *> made{nullptr};
    return velmora::describe(made, Rows::described);
}

constexpr char pickling_refused[] = "self._raw cannot be converted to a Python object for pickling";
ModuleFrame make_frame() {
    ModuleFrame f =
        class_frame<type_name, pickling_refused>("image", "velmora.image.image", &image_type, "Image", &table, prepare);
    f.describe = describe;
    return f;
}
ModuleFrame frame = make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(image, velmora::frame)
