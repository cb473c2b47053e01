// velmora.rect.rect: Rect, an axis-aligned rectangle in raylib's Rectangle layout.
//
// Precision is part of each operation's contract: far edges (right, bottom) are 32-bit
// float sums; centres are one double rounding; the typed collision methods compare Python
// objects with Python's own operators. Rect can be subclassed, so its C-level entries
// consult Python overrides when native code calls them with a zero skip-dispatch flag.
#include "args.hpp"
#include "convert.hpp"
#include "errors.hpp"
#include "frame.hpp"
#include "pickling.hpp"
#include "ref.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace velmora {
namespace {

constexpr char type_name[] = "velmora.rect.rect.Rect";

PyTypeObject rect_type = {PyVarObject_HEAD_INIT(nullptr, 0)};
RectMethodTable table{};

// Imported at initialisation and kept for the life of the process.
PyTypeObject *vector2_type = nullptr;
Vector2MethodTable *vector2_table = nullptr;
PyTypeObject *vector4_type = nullptr;
Vector4MethodTable *vector4_table = nullptr;

PyObject *s_x, *s_y, *s_z, *s_w;  // interned attribute names

RectObject *cast(PyObject *o) { return reinterpret_cast<RectObject *>(o); }
PyObject *obj(void *o) { return reinterpret_cast<PyObject *>(o); }
Rectangle &raw(PyObject *o) { return cast(o)->_raw; }

bool is_instance(PyObject *o, PyTypeObject *type) {
    return Py_TYPE(o) == type || PyType_IsSubtype(Py_TYPE(o), type);
}

PyObject *fail(const char *member) {
    add_traceback(type_name, member);
    return nullptr;
}

float right_of(const Rectangle &r) { return r.x + r.width; }
float bottom_of(const Rectangle &r) { return r.y + r.height; }

PyObject **const component_names[] = {&s_x, &s_y, &s_z, &s_w};

// Component i of an argument: attribute x, y, z or w of a vector, else o[i] by the
// interpreter's item access (mappings answer it too; anything else raises its own error).
ref component(PyObject *o, bool vector, Py_ssize_t i) {
    if (vector) {
        return ref::steal(PyObject_GetAttr(o, *component_names[i]));
    }
    if (PyTuple_CheckExact(o) && i < PyTuple_GET_SIZE(o)) {
        return ref::borrow(PyTuple_GET_ITEM(o, i));  // what its item access would give
    }
    ref key = ref::steal(PyLong_FromSsize_t(i));
    return key ? ref::steal(PyObject_GetItem(o, key.get())) : ref();
}

// Components 0..N-1 of an argument, each converted (to a field float or a double) as soon
// as it is read.
template <class T, size_t N> bool read(PyObject *o, bool vector, const std::array<T *, N> &out) {
    if (!vector && PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) >= static_cast<Py_ssize_t>(N)) {
        // A tuple is immutable and its caller holds it: its items need no references of ours.
        for (size_t i = 0; i < N; ++i) {
            if (!to_scalar(PyTuple_GET_ITEM(o, i), *out[i])) {
                return false;
            }
        }
        return true;
    }
    for (size_t i = 0; i < N; ++i) {
        ref value = component(o, vector, static_cast<Py_ssize_t>(i));
        if (!value || !to_scalar(value.get(), *out[i])) {
            return false;
        }
    }
    return true;
}

bool is_sequence(PyObject *o) { return PyList_Check(o) || PyTuple_Check(o); }

// True for a list or tuple (subclasses included) of exactly n items; otherwise false with
// ValueError(message), or with the error of the length protocol.
bool sized_sequence(PyObject *o, Py_ssize_t n, const char *message) {
    if (is_sequence(o)) {
        const bool exact = PyTuple_CheckExact(o) || PyList_CheckExact(o);
        const Py_ssize_t length = exact ? Py_SIZE(o) : PyObject_Length(o);
        if (length == n) {
            return true;
        }
        if (length < 0) {
            return false;
        }
    }
    PyErr_SetString(PyExc_ValueError, message);
    return false;
}

// An instance of `vector` read by attributes, or a list or tuple of N items read by index.
template <class T, size_t N>
bool read_vector_or_sequence(PyObject *o, PyTypeObject *vector, const std::array<T *, N> &out,
                             const char *message) {
    if (PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) == static_cast<Py_ssize_t>(N)) {
        return read(o, false, out);  // the common case; an exact tuple is never a vector
    }
    if (is_instance(o, vector)) {
        return read(o, true, out);
    }
    return sized_sequence(o, N, message) && read(o, false, out);
}

// ---- creation and destruction ----

PyObject *create(PyTypeObject *type) {
    PyObject *self = allocate_instance(type);
    if (self != nullptr) {
        cast(self)->vtab = &table;
        raw(self) = Rectangle{0, 0, 0, 0};
    }
    return self;
}

PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) { return create(type); }

void dealloc(PyObject *self) {
    PyTypeObject *type = Py_TYPE(self);
    if (!finalize_from_dealloc(self, dealloc)) {
        return;  // resurrected
    }
    type->tp_free(self);
}

RectObject *rect_new(Rectangle record) {
    PyObject *self = create(&rect_type);
    if (self == nullptr) {
        return reinterpret_cast<RectObject *>(fail("new"));
    }
    raw(self) = record;
    return cast(self);
}

// ---- __init__ ----

int init_one(Rectangle &r, PyObject *a) {
    if (is_instance(a, vector2_type)) {
        r.x = r.y = 0;
        return read(a, true, std::array{&r.width, &r.height}) ? 0 : -1;
    }
    if (is_instance(a, &rect_type)) {
        r = raw(a);
        return 0;
    }
    const std::array all{&r.x, &r.y, &r.width, &r.height};
    if (is_instance(a, vector4_type)) {
        return read(a, true, all) ? 0 : -1;
    }
    if (is_sequence(a)) {
        return sized_sequence(a, 4, "list/tuple for rect must have 4 elements") && read(a, false, all) ? 0 : -1;
    }
    PyErr_SetString(PyExc_ValueError, "Rect takes Vector2, Rect, Vector4, or list/tuple of length 4");
    return -1;
}

int init_two(PyObject *self, PyObject *position, PyObject *size) {
    Rectangle r = raw(self);
    const std::array extent{&r.width, &r.height};
    if (is_instance(position, vector2_type)) {
        // Any size with numeric x and y attributes serves here.
        if (!read(position, true, std::array{&r.x, &r.y}) || !read(size, true, extent)) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    if (!sized_sequence(position, 2, "First argument must be a Vector2 or list/tuple of length 2") ||
        !read(position, false, std::array{&r.x, &r.y}) || !read(size, false, extent)) {
        return -1;
    }
    raw(self) = r;
    // The size is validated after the values were stored.
    if (!read_vector_or_sequence(size, vector2_type, extent,
                                 "Second argument must be a Vector2 or list/tuple of length 2")) {
        return -1;
    }
    raw(self) = r;
    return 0;
}

int init_args(PyObject *self, PyObject *const *a, Py_ssize_t n) {
    switch (n) {
    case 0:
        raw(self) = Rectangle{0, 0, 0, 0};
        return 0;
    case 1: {
        Rectangle r = raw(self);
        if (init_one(r, a[0]) < 0) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    case 2:
        return init_two(self, a[0], a[1]);
    case 4: {
        Rectangle r;
        if (!to_scalar(a[0], r.x) || !to_scalar(a[1], r.y) || !to_scalar(a[2], r.width) ||
            !to_scalar(a[3], r.height)) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    default:
        PyErr_Format(PyExc_TypeError, "Rect expected 0, 1, 2, or 4 arguments, got %d", static_cast<int>(n));
        return -1;
    }
}

int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
    if (no_keywords(kwds) && init_args(self, PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
        return 0;
    }
    fail("__init__");
    return -1;
}

// Calling Rect itself: what __new__ followed by __init__ does, without an argument tuple.
// Subclasses do not inherit it and take the ordinary path.
PyObject *vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    ref self = ref::steal(create(reinterpret_cast<PyTypeObject *>(type)));
    if (!self) {
        return nullptr;
    }
    if (no_keyword_names(kwnames) && init_args(self.get(), args, PyVectorcall_NARGS(nargsf)) == 0) {
        return self.release();
    }
    return fail("__init__");
}

// ---- overridable entries ----

// The Python-visible methods, declared so the override check can recognise them.
PyObject *py_get_width(PyObject *, PyObject *const *, Py_ssize_t, PyObject *);
PyObject *py_get_height(PyObject *, PyObject *const *, Py_ssize_t, PyObject *);
PyObject *py_get_vector4(PyObject *, PyObject *const *, Py_ssize_t, PyObject *);
PyObject *py_get_tuple(PyObject *, PyObject *const *, Py_ssize_t, PyObject *);

// The Python override of `name` on a subclass instance, or an empty ref when the class's
// own method would run (error set when the look-up failed).
ref find_override(PyObject *self, const char *name, PyCFunction own) {
    PyTypeObject *type = Py_TYPE(self);
    if (type->tp_dictoffset == 0 && !(type->tp_flags & (Py_TPFLAGS_HEAPTYPE | Py_TPFLAGS_IS_ABSTRACT))) {
        return ref();
    }
    ref attr = ref::steal(PyObject_GetAttrString(self, name));
    if (!attr) {
        return attr;
    }
    PyObject *function = attr.get();
    if (PyMethod_Check(function)) {
        function = PyMethod_GET_FUNCTION(function);
    }
    if (PyCFunction_Check(function) && PyCFunction_GET_FUNCTION(function) == own) {
        return ref();
    }
    return attr;
}

template <class... Args> PyObject *call_override(PyObject *attr, Args... args) {
    if constexpr (sizeof...(Args) == 0) {
        return PyObject_CallNoArgs(attr);
    } else {
        return PyObject_CallOneArg(attr, args...);
    }
}

// ---- size methods and properties ----

template <float Rectangle::*Field> PyObject *field_entry(RectObject *self, int skip, const char *name,
                                                        PyCFunction own) {
    if (!skip) {
        ref o = find_override(obj(self), name, own);
        if (o) {
            return call_override(o.get());
        }
        if (PyErr_Occurred()) {
            return fail(name);
        }
    }
    return PyFloat_FromDouble(self->_raw.*Field);
}
PyObject *get_width_entry(RectObject *self, int skip) {
    return field_entry<&Rectangle::width>(self, skip, "get_width", as_method(py_get_width));
}
PyObject *get_height_entry(RectObject *self, int skip) {
    return field_entry<&Rectangle::height>(self, skip, "get_height", as_method(py_get_height));
}

PyObject *py_get_width(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    if (!bind_args("get_width", args, nargs, kw, {})) {
        return fail("get_width");
    }
    return get_width_entry(cast(self), 1);
}
PyObject *py_get_height(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    if (!bind_args("get_height", args, nargs, kw, {})) {
        return fail("get_height");
    }
    return get_height_entry(cast(self), 1);
}

int set_failed(const char *name) {
    std::string member = std::string(name) + ".__set__";
    add_traceback(type_name, member.c_str());
    return -1;
}

// A plain field: get widens, set converts.
template <float Rectangle::*Field> struct Plain {
    static PyObject *get(PyObject *self, void *) { return PyFloat_FromDouble(raw(self).*Field); }
    static int set(PyObject *self, PyObject *value, void *closure) {
        if (value == nullptr) {
            refuse_property_delete();
        } else if (to_scalar(value, raw(self).*Field)) {
            return 0;
        }
        return set_failed(static_cast<const char *>(closure));
    }
};

// Edges and centres move the rectangle: position = value - offset, with Python's own
// subtraction so any object that subtracts a float is accepted.
template <float Rectangle::*Pos, float Rectangle::*Extent, bool Centre> struct Moving {
    static double edge(const Rectangle &r) {
        if constexpr (Centre) {
            return std::fma(static_cast<double>(r.*Extent), 0.5, static_cast<double>(r.*Pos));
        } else {
            return static_cast<float>(r.*Pos + r.*Extent);
        }
    }
    static PyObject *get(PyObject *self, void *) { return PyFloat_FromDouble(edge(raw(self))); }
    static int set(PyObject *self, PyObject *value, void *closure) {
        if (value == nullptr) {
            refuse_property_delete();
            return set_failed(static_cast<const char *>(closure));
        }
        const double extent = static_cast<double>(raw(self).*Extent);
        ref offset = ref::steal(PyFloat_FromDouble(Centre ? extent * 0.5 : extent));
        ref position = offset ? ref::steal(PyNumber_Subtract(value, offset.get())) : ref();
        float stored;
        if (!position || !to_scalar(position.get(), stored)) {
            return set_failed(static_cast<const char *>(closure));
        }
        raw(self).*Pos = stored;
        return 0;
    }
};

PyObject *get_center(PyObject *self, void *) {
    using X = Moving<&Rectangle::x, &Rectangle::width, true>;
    using Y = Moving<&Rectangle::y, &Rectangle::height, true>;
    PyObject *v = obj(vector2_table->new_(X::edge(raw(self)), Y::edge(raw(self))));
    return v ? v : fail("center.__get__");
}

int set_center(PyObject *self, PyObject *value, void *) {
    double cx, cy;
    bool ok;
    if (value == nullptr) {
        refuse_property_delete();
        ok = false;
    } else {
        // Items of any indexable object; the length is not tested.
        ok = read(value, is_instance(value, vector2_type), std::array{&cx, &cy});
    }
    if (!ok) {
        return set_failed("center");
    }
    Rectangle &r = raw(self);
    const float x = static_cast<float>(std::fma(-static_cast<double>(r.width), 0.5, cx));
    const float y = static_cast<float>(std::fma(-static_cast<double>(r.height), 0.5, cy));
    r.x = x;
    r.y = y;
    return 0;
}

#define PLAIN(name, field) {name, Plain<&Rectangle::field>::get, Plain<&Rectangle::field>::set, nullptr, (void *)name}
#define MOVING(name, pos, ext, centre)                                                              \
    {name, Moving<&Rectangle::pos, &Rectangle::ext, centre>::get, Moving<&Rectangle::pos, &Rectangle::ext, centre>::set, \
     nullptr, (void *)name}

PyGetSetDef getsets[] = {
    PLAIN("x", x),
    PLAIN("y", y),
    PLAIN("w", width),
    PLAIN("h", height),
    PLAIN("width", width),
    PLAIN("height", height),
    PLAIN("left", x),
    PLAIN("top", y),
    MOVING("right", x, width, false),
    MOVING("bottom", y, height, false),
    MOVING("centerx", x, width, true),
    MOVING("centery", y, height, true),
    {"center", get_center, set_center, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// ---- collision tests ----

// The inclusive point test and strict overlap test in double, against 32-bit far edges.
bool point_inside(const Rectangle &r, double px, double py) {
    return px >= r.x && px <= static_cast<double>(right_of(r)) && py >= r.y &&
           py <= static_cast<double>(bottom_of(r));
}
bool overlaps(const Rectangle &r, double ox, double oy, double ow, double oh) {
    return ox + ow > r.x && static_cast<double>(right_of(r)) > ox && oy + oh > r.y &&
           static_cast<double>(bottom_of(r)) > oy;
}

// Python's comparison of two objects, reduced to a truth value: 1, 0, or -1 on error.
int py_compare(PyObject *a, PyObject *b, int op) { return PyObject_RichCompareBool(a, b, op); }

// x <= px <= right, then y <= py <= bottom, with Python objects. Each of the rectangle's
// values is read at the moment the chained comparison needs it: the point's comparisons
// run Python code that may change the rectangle in between.
int point_python(PyObject *self, PyObject *p, bool vector) {
    for (int axis = 0; axis < 2; ++axis) {
        ref low = ref::steal(PyFloat_FromDouble(axis == 0 ? raw(self).x : raw(self).y));
        ref value = low ? component(p, vector, axis) : ref();
        if (!value) {
            return -1;
        }
        int t = py_compare(low.get(), value.get(), Py_LE);
        if (t <= 0) {
            return t;
        }
        ref high = ref::steal(PyFloat_FromDouble(axis == 0 ? right_of(raw(self)) : bottom_of(raw(self))));
        if (!high) {
            return -1;
        }
        t = py_compare(value.get(), high.get(), Py_LE);
        if (t <= 0) {
            return t;
        }
    }
    return 1;
}

// x < ox + ow, ox < right, y < oy + oh, oy < bottom, with Python objects, the rectangle's
// values made when each comparison needs them (the argument's `+` and `<` run Python code).
int rect_python(PyObject *self, PyObject *o, bool vector) {
    for (int axis = 0; axis < 2; ++axis) {
        ref low = ref::steal(PyFloat_FromDouble(axis == 0 ? raw(self).x : raw(self).y));
        ref near = low ? component(o, vector, axis) : ref();
        ref extent = near ? component(o, vector, axis + 2) : ref();
        ref far = extent ? ref::steal(PyNumber_Add(near.get(), extent.get())) : ref();
        if (!far) {
            return -1;
        }
        int t = py_compare(low.get(), far.get(), Py_LT);
        if (t <= 0) {
            return t;
        }
        // ox is read a second time, as the comparison `ox < right` reads it afresh.
        ref again = component(o, vector, axis);
        ref high = again ? ref::steal(PyFloat_FromDouble(axis == 0 ? right_of(raw(self)) : bottom_of(raw(self))))
                         : ref();
        if (!high) {
            return -1;
        }
        t = py_compare(again.get(), high.get(), Py_LT);
        if (t <= 0) {
            return t;
        }
    }
    return 1;
}

// The own code of each collision entry: 1 or 0, or -1 with an exception set.
int own_collide_point(PyObject *self, PyObject *p) {
    double px, py;
    if (!read_vector_or_sequence(p, vector2_type, std::array{&px, &py},
                                 "Point must be a Vector2, tuple, or list of length 2")) {
        return -1;
    }
    return point_inside(raw(self), px, py);
}

int own_collide_rect(PyObject *self, PyObject *o) {
    double v[4];
    if (is_instance(o, &rect_type)) {
        const Rectangle &r = raw(o);
        v[0] = r.x, v[1] = r.y, v[2] = r.width, v[3] = r.height;
    } else if (!read_vector_or_sequence(o, vector4_type, std::array{&v[0], &v[1], &v[2], &v[3]},
                                        "rect for collision must be a Rect, Vector4, tuple, or list of length 4")) {
        return -1;
    }
    return overlaps(raw(self), v[0], v[1], v[2], v[3]);
}

// Native callers may pass anything here: nothing is read as a rectangle unless it is one.
int own_collide_rect_rect(PyObject *self, PyObject *o) {
    if (!is_instance(o, &rect_type)) {
        arg_type_error("other", type_name, o);
        return -1;
    }
    const Rectangle &r = raw(self), &s = raw(o);
    return s.x + s.width > r.x && right_of(r) > s.x && s.y + s.height > r.y && bottom_of(r) > s.y;
}

int own_point_vector2(PyObject *self, PyObject *p) { return point_python(self, p, true); }
int own_point_sequence(PyObject *self, PyObject *p) { return point_python(self, p, false); }
int own_rect_vector4(PyObject *self, PyObject *o) { return rect_python(self, o, true); }
int own_rect_sequence(PyObject *self, PyObject *o) { return rect_python(self, o, false); }

// One collision method: its name, argument name, accepted type (nullptr: any object;
// exact for tuple and list), own code and Python-visible method.
struct Collision {
    const char *name;
    const char *arg;
    PyTypeObject **type;
    bool exact;
    int (*own)(PyObject *, PyObject *);
};

PyTypeObject *tuple_type = &PyTuple_Type, *list_type = &PyList_Type, *rect_type_ptr = &rect_type;

enum : int { C_POINT, C_POINT_V2, C_POINT_TUPLE, C_POINT_LIST, C_RECT, C_RECT_V4, C_RECT_RECT, C_RECT_TUPLE, C_RECT_LIST };

const Collision collisions[] = {
    {"collide_point", "point", nullptr, false, own_collide_point},
    {"collide_point_vector2", "point", &vector2_type, false, own_point_vector2},
    {"collide_point_tuple", "point", &tuple_type, true, own_point_sequence},
    {"collide_point_list", "point", &list_type, true, own_point_sequence},
    {"collide_rect", "other", nullptr, false, own_collide_rect},
    {"collide_rect_vector4", "other", &vector4_type, false, own_rect_vector4},
    {"collide_rect_rect", "other", &rect_type_ptr, false, own_collide_rect_rect},
    {"collide_rect_tuple", "other", &tuple_type, true, own_rect_sequence},
    {"collide_rect_list", "other", &list_type, true, own_rect_sequence},
};

template <int K> PyObject *collide_method(PyObject *, PyObject *const *, Py_ssize_t, PyObject *);

template <int K> int collide_entry(RectObject *self, PyObject *arg, int skip) {
    const Collision &c = collisions[K];
    int result;
    if (!skip) {
        ref o = find_override(obj(self), c.name, as_method(collide_method<K>));
        if (o) {
            ref value = ref::steal(call_override(o.get(), arg));
            result = value ? PyObject_IsTrue(value.get()) : -1;
            if (result < 0) {
                fail(c.name);
                return 0;
            }
            return result;
        }
        if (PyErr_Occurred()) {
            fail(c.name);
            return 0;
        }
    }
    result = c.own(obj(self), arg);
    if (result < 0) {
        fail(c.name);
        return 0;
    }
    return result;
}

template <int K> PyObject *collide_method(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    const Collision &c = collisions[K];
    PyObject *arg;
    if (!bind_args_array(c.name, args, nargs, kw, &c.arg, 1, &arg)) {
        return fail(c.name);
    }
    // None passes the typed methods' test; the own code then raises for it.
    if (c.type != nullptr && arg != Py_None) {
        PyTypeObject *want = *c.type;
        if (c.exact ? Py_TYPE(arg) != want : !is_instance(arg, want)) {
            arg_type_error(c.arg, want->tp_name, arg);
            return fail(c.name);
        }
    }
    const int result = collide_entry<K>(cast(self), arg, 1);
    if (result == 0 && PyErr_Occurred()) {
        return nullptr;
    }
    return PyBool_FromLong(result);
}

// ---- conversions and protocols ----

PyObject *get_tuple_own(PyObject *self) {
    const Rectangle &r = raw(self);
    return Py_BuildValue("(dddd)", (double)r.x, (double)r.y, (double)r.width, (double)r.height);
}

Vector4Object *get_vector4_entry(RectObject *self, int skip) {
    if (!skip) {
        ref o = find_override(obj(self), "get_vector4", as_method(py_get_vector4));
        if (o) {
            ref result = ref::steal(call_override(o.get()));
            if (result && result.get() != Py_None && !is_instance(result.get(), vector4_type)) {
                PyErr_Format(PyExc_TypeError, "%.1sCannot convert %.200s to %.200s", "",
                             Py_TYPE(result.get())->tp_name, vector4_type->tp_name);
                result = ref();
            }
            if (!result) {
                fail("get_vector4");
            }
            return result.release_as<Vector4Object>();
        }
        if (PyErr_Occurred()) {
            return reinterpret_cast<Vector4Object *>(fail("get_vector4"));
        }
    }
    const Rectangle &r = self->_raw;
    Vector4Object *v = vector4_table->new_(r.x, r.y, r.width, r.height);
    return v ? v : reinterpret_cast<Vector4Object *>(fail("get_vector4"));
}

PyObject *get_tuple_entry(RectObject *self, int skip) {
    if (!skip) {
        ref o = find_override(obj(self), "get_tuple", as_method(py_get_tuple));
        if (o) {
            ref result = ref::steal(call_override(o.get()));
            if (result && result.get() != Py_None && !PyTuple_CheckExact(result.get())) {
                PyErr_Format(PyExc_TypeError, "Expected %.42s, got %.200s", "tuple", Py_TYPE(result.get())->tp_name);
                result = ref();
            }
            if (!result) {
                fail("get_tuple");
            }
            return result.release();
        }
        if (PyErr_Occurred()) {
            return fail("get_tuple");
        }
    }
    PyObject *t = get_tuple_own(obj(self));
    return t ? t : fail("get_tuple");
}

PyObject *py_get_vector4(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    if (!bind_args("get_vector4", args, nargs, kw, {})) {
        return fail("get_vector4");
    }
    return obj(get_vector4_entry(cast(self), 1));
}
PyObject *py_get_tuple(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    if (!bind_args("get_tuple", args, nargs, kw, {})) {
        return fail("get_tuple");
    }
    return get_tuple_entry(cast(self), 1);
}

PyObject *repr(PyObject *self) {
    const Rectangle &r = raw(self);
    const float values[4] = {r.x, r.y, r.width, r.height};
    std::string text = "Rect(position=(";
    for (int i = 0; i < 4; ++i) {
        char *s = double_repr(values[i]);
        if (s == nullptr) {
            return fail("__repr__");
        }
        text += s;
        PyMem_Free(s);
        text += i == 0 || i == 2 ? ", " : i == 1 ? "), size=(" : "))";
    }
    return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

PyObject *richcompare(PyObject *self, PyObject *other, int op) {
    if (op != Py_EQ && op != Py_NE) {
        Py_RETURN_NOTIMPLEMENTED;
    }
    bool equal = is_instance(other, &rect_type);
    if (equal) {
        const Rectangle &a = raw(self), &b = raw(other);
        equal = a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    return PyBool_FromLong(equal == (op == Py_EQ));
}

Py_ssize_t length(PyObject *) { return 4; }

float Rectangle::*const fields[4] = {&Rectangle::x, &Rectangle::y, &Rectangle::width, &Rectangle::height};

PyObject *index_error() {
    PyErr_SetString(PyExc_IndexError, "Rect index out of range");
    return nullptr;
}

// The sequence protocol (iteration, unpacking): its IndexError at 4 ends every iteration,
// so it is routine there and gets no traceback entry.
PyObject *sq_item(PyObject *self, Py_ssize_t i) {
    return 0 <= i && i < 4 ? PyFloat_FromDouble(raw(self).*fields[i]) : index_error();
}

PyObject *subscript(PyObject *self, PyObject *key) {
    Py_ssize_t i;
    if (!to_index(key, i)) {
        return fail("__getitem__");
    }
    PyObject *result = sq_item(self, i);
    return result ? result : fail("__getitem__");
}

int store_item(PyObject *self, Py_ssize_t i, PyObject *value) {
    if (value == nullptr) {
        PyErr_Format(PyExc_NotImplementedError, "Subscript %.10s not supported by %.200s", "deletion",
                     Py_TYPE(self)->tp_name);
        return -1;
    }
    float v;
    if (!to_scalar(value, v)) {
        return -1;
    }
    if (i < 0 || i >= 4) {
        index_error();
        return -1;
    }
    raw(self).*fields[i] = v;
    return 0;
}

int sq_ass_item(PyObject *self, Py_ssize_t i, PyObject *value) {
    if (store_item(self, i, value) == 0) {
        return 0;
    }
    fail("__setitem__");
    return -1;
}

int ass_subscript(PyObject *self, PyObject *key, PyObject *value) {
    Py_ssize_t i = 0;
    if ((value == nullptr || to_index(key, i)) && store_item(self, i, value) == 0) {
        return 0;
    }
    fail(value == nullptr ? "__delitem__" : "__setitem__");
    return -1;
}

constexpr char pickling_refused[] =
    "Pickling of struct members such as self._raw must be explicitly requested with @auto_pickle(True)";
using Pickling = PicklingRefusal<type_name, pickling_refused>;

constexpr int fast = METH_FASTCALL | METH_KEYWORDS;
PyMethodDef methods[] = {
    {"get_width", as_method(py_get_width), fast, nullptr},
    {"get_height", as_method(py_get_height), fast, nullptr},
    {"collide_point", as_method(collide_method<C_POINT>), fast, nullptr},
    {"collide_point_vector2", as_method(collide_method<C_POINT_V2>), fast, nullptr},
    {"collide_point_tuple", as_method(collide_method<C_POINT_TUPLE>), fast, nullptr},
    {"collide_point_list", as_method(collide_method<C_POINT_LIST>), fast, nullptr},
    {"collide_rect", as_method(collide_method<C_RECT>), fast, nullptr},
    {"collide_rect_vector4", as_method(collide_method<C_RECT_V4>), fast, nullptr},
    {"collide_rect_rect", as_method(collide_method<C_RECT_RECT>), fast, nullptr},
    {"collide_rect_tuple", as_method(collide_method<C_RECT_TUPLE>), fast, nullptr},
    {"collide_rect_list", as_method(collide_method<C_RECT_LIST>), fast, nullptr},
    {"get_vector4", as_method(py_get_vector4), fast, nullptr},
    {"get_tuple", as_method(py_get_tuple), fast, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PySequenceMethods sequence_slots = {length, nullptr, nullptr, sq_item, nullptr, sq_ass_item};
PyMappingMethods mapping_slots = {length, subscript, ass_subscript};

int prepare() {
    struct {
        PyObject **slot;
        const char *text;
    } names[] = {{&s_x, "x"}, {&s_y, "y"}, {&s_z, "z"}, {&s_w, "w"}};
    for (auto &n : names) {
        if (*n.slot == nullptr && (*n.slot = PyUnicode_InternFromString(n.text)) == nullptr) {
            return -1;
        }
    }
    table.new_ = rect_new;
    table.get_width = get_width_entry;
    table.get_height = get_height_entry;
    table.collide_point = collide_entry<C_POINT>;
    table.collide_point_vector2 = [](RectObject *s, Vector2Object *p, int f) {
        return collide_entry<C_POINT_V2>(s, obj(p), f);
    };
    table.collide_point_tuple = collide_entry<C_POINT_TUPLE>;
    table.collide_point_list = collide_entry<C_POINT_LIST>;
    table.collide_rect = collide_entry<C_RECT>;
    table.collide_rect_vector4 = [](RectObject *s, Vector4Object *o, int f) {
        return collide_entry<C_RECT_V4>(s, obj(o), f);
    };
    table.collide_rect_rect = [](RectObject *s, RectObject *o, int f) {
        return collide_entry<C_RECT_RECT>(s, obj(o), f);
    };
    table.collide_rect_tuple = collide_entry<C_RECT_TUPLE>;
    table.collide_rect_list = collide_entry<C_RECT_LIST>;
    table.get_vector4 = get_vector4_entry;
    table.get_tuple = get_tuple_entry;

    rect_type.tp_name = type_name;
    rect_type.tp_basicsize = sizeof(RectObject);
    rect_type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
    rect_type.tp_new = tp_new;
    rect_type.tp_init = tp_init;
    rect_type.tp_dealloc = dealloc;
    rect_type.tp_repr = repr;
    rect_type.tp_hash = PyObject_HashNotImplemented;
    rect_type.tp_richcompare = richcompare;
    rect_type.tp_as_sequence = &sequence_slots;
    rect_type.tp_as_mapping = &mapping_slots;
    rect_type.tp_methods = methods;
    rect_type.tp_getset = getsets;
    rect_type.tp_vectorcall = vectorcall;
    return 0;
}

int import_vectors() {
    if (import_class("velmora.vector2.vector2", "Vector2", sizeof(Vector2Object), vector2_type,
                     reinterpret_cast<void **>(&vector2_table)) < 0) {
        return -1;
    }
    return import_class("velmora.vector4.vector4", "Vector4", sizeof(Vector4Object), vector4_type,
                        reinterpret_cast<void **>(&vector4_table));
}

ModuleFrame frame = class_frame<Pickling>("rect", "velmora.rect.rect", &rect_type, "Rect", &table, prepare, import_vectors);

}  // namespace
}  // namespace velmora

VELMORA_MODULE(rect, velmora::frame)
