// Argument readers: the components of a vector argument (by attribute) or of a sequence or
// any indexable object (by item), each converted as soon as it is read. Vectors and Rect read
// their sequence and foreign-vector arguments through these; an argument of a package class
// they know exactly (a vector of the receiver's class, a Rect, an exact Vector2 or Vector4) is
// read from its record instead, which gives the same values.
#pragma once

#include "convert.hpp"
#include "record.hpp"
#include "ref.hpp"

#include <array>

namespace velmora {

// isinstance for a class of the package: the exact type first, then the bases.
inline bool is_instance(PyObject *o, PyTypeObject *type) {
    return Py_TYPE(o) == type || PyType_IsSubtype(Py_TYPE(o), type);
}

inline bool is_list_or_tuple(PyObject *o) { return PyList_Check(o) || PyTuple_Check(o); }

// Component i of an argument: attribute x, y, z or w of a vector, else o[i] by the
// interpreter's item access (mappings answer it too; anything else raises its own error).
// Exact tuples and lists are read directly, with what their item access would give.
inline ref component(PyObject *o, bool vector, Py_ssize_t i) {
    if (vector) {
        return ref::steal(PyObject_GetAttr(o, component_names[i]));
    }
    if (PyTuple_CheckExact(o) && i < PyTuple_GET_SIZE(o)) {
        return ref::borrow(PyTuple_GET_ITEM(o, i));
    }
    if (PyList_CheckExact(o)) {
        // Measured again at every read: converting an earlier item may have shrunk the list.
        if (i < PyList_GET_SIZE(o)) {
            return ref::borrow(PyList_GET_ITEM(o, i));
        }
        PyErr_SetString(PyExc_IndexError, "list index out of range");
        return ref();
    }
    ref key = ref::steal(PyLong_FromSsize_t(i));
    return key ? ref::steal(PyObject_GetItem(o, key.get())) : ref();
}

// Items 0..N-1 of an exact tuple that has them, each converted in turn. A tuple is immutable
// and its caller holds it: its items need no references of ours.
template <class T, size_t N> inline bool read_tuple(PyObject *t, const std::array<T *, N> &out) {
    for (size_t i = 0; i < N; ++i) {
        if (!to_scalar(PyTuple_GET_ITEM(t, i), *out[i])) {
            return false;
        }
    }
    return true;
}

// Components 0..N-1 of an argument into `out` (floats or doubles), each converted as soon as
// it is read. The item is held while it converts: its conversion may drop it from `o`.
template <class T, size_t N> bool read_components(PyObject *o, bool vector, const std::array<T *, N> &out) {
    if (!vector && PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) >= static_cast<Py_ssize_t>(N)) {
        return read_tuple(o, out);
    }
    for (size_t i = 0; i < N; ++i) {
        ref value = component(o, vector, static_cast<Py_ssize_t>(i));
        if (!value || !to_scalar(value.get(), *out[i])) {
            return false;
        }
    }
    return true;
}

// The length of a list or tuple by the host's length protocol (exact ones read directly);
// -1 with an exception set.
inline Py_ssize_t sequence_length(PyObject *o) {
    return PyTuple_CheckExact(o) || PyList_CheckExact(o) ? Py_SIZE(o) : PyObject_Length(o);
}

// True for a list or tuple (subclasses included) of exactly n items; otherwise false with
// ValueError(message), or with the error of the length protocol.
inline bool sized_sequence(PyObject *o, Py_ssize_t n, const char *message) {
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
bool read_vector_or_sequence(PyObject *o, PyTypeObject *vector, const std::array<T *, N> &out,
                             const char *message) {
    if (PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) == static_cast<Py_ssize_t>(N)) {
        return read_tuple(o, out);  // the common case; an exact tuple is no vector
    }
    if (is_instance(o, vector)) {
        return read_components(o, true, out);
    }
    return sized_sequence(o, N, message) && read_components(o, false, out);
}

}  // namespace velmora
