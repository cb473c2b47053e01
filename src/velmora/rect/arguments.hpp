// Reading Rect's arguments: points, offsets and sizes as `center =` reads them, rectangles as
// collide_rect reads them, move's and inflate's one or two arguments, and the class tests of
// the typed collision methods. Part of rect.cpp's translation unit (see fields.hpp).
#pragma once

#include "args.hpp"
#include "fields.hpp"
#include "readers.hpp"

#include <array>

namespace velmora::rect {

// isinstance for a class of the package: the exact type first, then the bases.
bool is_instance(PyObject *o, PyTypeObject *type) { return Py_TYPE(o) == type || PyType_IsSubtype(Py_TYPE(o), type); }

// A point, offset or size of the toolkit, as read: two doubles.
struct Point {
    double x, y;
};

// The components of an argument known to be a Vector2 (N = 2) or Vector4 (N = 4): an exact
// one's from its record, anything else by attribute.
template <class T, size_t N> bool read_vector(PyObject *o, const std::array<T *, N> &out) {
    if constexpr (N == 2) {
        if (read_exact_vector<Vector2Object>(o, vector2_type, out)) {
            return true;
        }
    } else {
        if (read_exact_vector<Vector4Object>(o, vector4_type, out)) {
            return true;
        }
    }
    return read_components(o, true, out);
}

// A point or a size, as `center =` takes it: a Vector2's x and y, or items 0 and 1 of any
// indexable object (its length is not tested), each converted as soon as it is read.
template <class T> bool read_point(PyObject *o, T &x, T &y) {
    const std::array out{&x, &y};
    if (read_exact_vector<Vector2Object>(o, vector2_type, out)) {
        return true;
    }
    return read_components(o, is_instance(o, vector2_type), out);
}

// True for a list or tuple (subclasses included) of exactly n items; otherwise false with
// ValueError(message), or with the error of the length protocol.
bool sized_sequence(PyObject *o, Py_ssize_t n, const char *message) {
    if (is_list_or_tuple(o)) {
        const Py_ssize_t length = sequence_length(o);
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

// An instance of `vector` read by attributes, or a list or tuple of exactly N items read by
// index; anything else is ValueError(message).
template <class T, size_t N>
bool read_vector_or_sequence(PyObject *o, PyTypeObject *vector, const std::array<T *, N> &out, const char *message) {
    if (PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) == static_cast<Py_ssize_t>(N)) {
        return read_tuple(o, out);  // the common case; an exact tuple is no vector
    }
    if (is_instance(o, vector)) {
        return read_components(o, true, out);
    }
    return sized_sequence(o, N, message) && read_components(o, false, out);
}

// A Vector2, or a list or tuple of exactly two numbers; anything else is ValueError(message).
template <class T> bool read_vector2_or_pair(PyObject *o, const std::array<T *, 2> &out, const char *message) {
    return read_exact_vector<Vector2Object>(o, vector2_type, out) ||
           read_vector_or_sequence(o, vector2_type, out, message);
}

// A rectangle as collide_rect reads it: a Rect's fields, a Vector4's components, or the items
// of a list or tuple of exactly four; anything else is ValueError(message). Callers test for an
// exact Rect, the common argument, themselves and read it in place.
template <class T> bool read_rect(PyObject *o, const std::array<T *, 4> &out, const char *message) {
    if (is_instance(o, &rect_type)) {
        const Rectangle &r = raw(o);
        *out[0] = r.x, *out[1] = r.y, *out[2] = r.width, *out[3] = r.height;
        return true;
    }
    return read_exact_vector<Vector4Object>(o, vector4_type, out) ||
           read_vector_or_sequence(o, vector4_type, out, message);
}

// move's and inflate's arguments: two numbers, or one point-like pair; positional only.
VELMORA_HOT bool read_offset(const char *name, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                             Point &offset) {
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (kwnames != nullptr && !no_keyword_names(kwnames, name)) {
        return false;
    }
    if (nargs < 1) {
        return wrong_count(name, 1, nargs, "at least");
    }
    if (nargs > 2) {
        return wrong_count(name, 2, nargs, "at most");
    }
    return nargs == 1 ? read_point(args[0], offset.x, offset.y)
                      : to_double(args[0], offset.x) && to_double(args[1], offset.y);
}

}  // namespace velmora::rect
