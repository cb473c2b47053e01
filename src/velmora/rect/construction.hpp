// Making rectangles: creation and destruction (exact Rects through the free list), the C-level
// `new`, __init__ with its argument shapes, and calling the class. Part of rect.cpp's
// translation unit (see fields.hpp).
#pragma once

#include "arguments.hpp"
#include "fields.hpp"

namespace velmora::rect {

// A zero rectangle of `type`: exact Rects from the free list, others by the class's
// creation path.
VELMORA_HOT PyObject *create(PyTypeObject *type) {
    PyObject *self = type == &rect_type ? obj(freelist.take(type)) : allocate_instance(type);
    if (self != nullptr) {
        cast(self)->vtab = &table;
        raw(self) = Rectangle{0, 0, 0, 0};
    }
    return self;
}

PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) { return create(type); }

void dealloc(PyObject *self) {
    // An exact Rect has no finaliser to run; only a subclass's instances may.
    if (Py_TYPE(self) == &rect_type) {
        if (!freelist.keep(self)) {
            rect_type.tp_free(self);
        }
        return;
    }
    if (finalize_from_dealloc(self, dealloc)) {  // false: resurrected
        Py_TYPE(self)->tp_free(self);
    }
}

// The C-level `new`, and every new Rect the toolkit returns.
VELMORA_HOT RectObject *rect_new(Rectangle record) {
    PyObject *self = create(&rect_type);
    if (self == nullptr) {
        return fail::object("new");
    }
    raw(self) = record;
    return cast(self);
}

// ---- __init__ ----

int init_one(Rectangle &r, PyObject *a) {
    if (is_instance(a, vector2_type)) {
        r.x = r.y = 0;
        return read_vector(a, std::array{&r.width, &r.height}) ? 0 : -1;
    }
    if (is_instance(a, &rect_type)) {
        r = raw(a);
        return 0;
    }
    const std::array all{&r.x, &r.y, &r.width, &r.height};
    if (is_instance(a, vector4_type)) {
        return read_vector(a, all) ? 0 : -1;
    }
    if (is_list_or_tuple(a)) {
        return sized_sequence(a, 4, "list/tuple for rect must have 4 elements") && read_components(a, false, all) ? 0
                                                                                                                  : -1;
    }
    PyErr_SetString(PyExc_ValueError, "Rect takes Vector2, Rect, Vector4, or list/tuple of length 4");
    return -1;
}

int init_two(PyObject *self, PyObject *position, PyObject *size) {
    Rectangle r = raw(self);
    const std::array extent{&r.width, &r.height};
    if (is_instance(position, vector2_type)) {
        // Any size with numeric x and y attributes serves here.
        if (!read_vector(position, std::array{&r.x, &r.y}) || !read_vector(size, extent)) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    if (!sized_sequence(position, 2, "First argument must be a Vector2 or list/tuple of length 2") ||
        !read_components(position, false, std::array{&r.x, &r.y}) ||
        !(read_exact_vector<Vector2Object>(size, vector2_type, extent) || read_components(size, false, extent))) {
        return -1;
    }
    raw(self) = r;
    // The size is read a second time, now to validate it: the values just stored stay
    // when it turns out to be neither a Vector2 nor a list or tuple of two (a mapping, say),
    // and a size whose items change between the reads is stored as read the second time.
    if (!read_vector2_or_pair(size, extent, "Second argument must be a Vector2 or list/tuple of length 2")) {
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
        if (!to_scalar(a[0], r.x) || !to_scalar(a[1], r.y) || !to_scalar(a[2], r.width) || !to_scalar(a[3], r.height)) {
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
    return fail::status("__init__");
}

// Calling Rect itself: what __new__ followed by __init__ does, without an argument tuple.
// Subclasses do not inherit it and take the ordinary path.
PyObject *vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    const Py_ssize_t n = PyVectorcall_NARGS(nargsf);
    if (kwnames == nullptr && n == 4) {
        // The common call, four numbers: converted before an instance is taken.
        Rectangle r;
        if (!to_scalar(args[0], r.x) || !to_scalar(args[1], r.y) || !to_scalar(args[2], r.width) ||
            !to_scalar(args[3], r.height)) {
            return fail::object("__init__");
        }
        PyObject *self = obj(rect_new(r));
        return self ? self : fail::object("__init__");
    }
    if (kwnames == nullptr && n == 1 && Py_TYPE(args[0]) == &rect_type) {
        PyObject *self = obj(rect_new(raw(args[0])));  // a copy
        return self ? self : fail::object("__init__");
    }
    if (kwnames == nullptr && n == 2 && Py_TYPE(args[0]) == vector2_type && Py_TYPE(args[1]) == vector2_type) {
        // A position and a size, both exact Vector2s: read from their records, as init_two would.
        const ::Vector2 &p = reinterpret_cast<Vector2Object *>(args[0])->data,
                        &s = reinterpret_cast<Vector2Object *>(args[1])->data;
        PyObject *self = obj(rect_new(Rectangle{p.x, p.y, s.x, s.y}));
        return self ? self : fail::object("__init__");
    }
    ref self = ref::steal(create(reinterpret_cast<PyTypeObject *>(type)));
    if (!self) {
        return nullptr;
    }
    if (no_keyword_names(kwnames) && init_args(self.get(), args, n) == 0) {
        return self.release();
    }
    return fail::object("__init__");
}

}  // namespace velmora::rect
