// velmora.glyph_info.glyph_info: GlyphInfo, one raylib glyph record made by native code,
// with an Image wrapper (velmora.image.image) for the glyph's image. Python code can
// hold and drop these objects but sees none of their fields.
#include "frame.hpp"
#include "lifecycle.hpp"
#include "ref.hpp"

namespace velmora {
namespace {

constexpr char type_name[] = "velmora.glyph_info.glyph_info.GlyphInfo";

extern PyTypeObject glyph_type;
GlyphInfoMethodTable table{};

// The Image class and table, imported once at initialisation.
PyTypeObject *image_type = nullptr;
ImageMethodTable *image_table = nullptr;

GlyphInfoObject *cast(PyObject *o) { return reinterpret_cast<GlyphInfoObject *>(o); }

// A zeroed record holding None: the state every creation path starts from.
PyObject *create(PyTypeObject *type) {
    PyObject *self = allocate_instance(type);
    if (self != nullptr) {
        cast(self)->vtab = &table;
        cast(self)->_image = Py_NewRef(Py_None);
    }
    return self;
}

PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) { return create(type); }

// Calling the class itself ignores the arguments; subclasses take the ordinary path.
PyObject *vectorcall(PyObject *type, PyObject *const *, size_t, PyObject *) {
    return create(reinterpret_cast<PyTypeObject *>(type));
}

int traverse(PyObject *self, visitproc visit, void *arg) {
    Py_VISIT(cast(self)->_image);
    return 0;
}

// _image is None before the old object goes, so code run by its release sees a whole glyph.
int clear(PyObject *self) {
    PyObject *old = cast(self)->_image;
    cast(self)->_image = Py_NewRef(Py_None);
    Py_XDECREF(old);
    return 0;
}

void dealloc(PyObject *self) {
    PyTypeObject *type = Py_TYPE(self);
    if (!finalize_from_dealloc(self, dealloc)) {
        return;  // resurrected
    }
    PyObject_GC_UnTrack(self);
    Py_CLEAR(cast(self)->_image);
    type->tp_free(self);
}

// The glyph's image is wrapped without taking over its pixels.
GlyphInfoObject *glyph_new(GlyphInfo record) {
    ref self = ref::steal(create(&glyph_type));
    if (!self) {
        return Fail<type_name>::object("new");
    }
    cast(self.get())->_raw = record;
    ImageNewOptArgs not_owner = {1, 0};
    PyObject *image = reinterpret_cast<PyObject *>(image_table->new_(record.image, &not_owner));
    if (image == nullptr) {
        return Fail<type_name>::object("new");  // the half-built glyph goes with `self`
    }
    Py_SETREF(cast(self.get())->_image, image);
    return self.release_as<GlyphInfoObject>();
}

// The class as data. Its doc is a text signature only, so the class has no docstring.
PyTypeObject glyph_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0).tp_name = type_name,
    .tp_basicsize = sizeof(GlyphInfoObject),
    .tp_dealloc = dealloc,
    .tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
    .tp_doc = "GlyphInfo(*args, **kwargs)\n--\n\n",
    .tp_traverse = traverse,
    .tp_clear = clear,
    .tp_new = tp_new,
    .tp_vectorcall = vectorcall,
};

int prepare() {
    table.new_ = glyph_new;
    return 0;
}

int import_image() {
    return import_class("velmora.image.image", "Image", sizeof(ImageObject), image_type,
                        reinterpret_cast<void **>(&image_table));
}

constexpr char pickling_refused[] = "self._raw cannot be converted to a Python object for pickling";
ModuleFrame frame = class_frame<type_name, pickling_refused>("glyph_info", "velmora.glyph_info.glyph_info", &glyph_type,
                                                             "GlyphInfo", &table, prepare, import_image);

}  // namespace
}  // namespace velmora

VELMORA_MODULE(glyph_info, velmora::frame)
