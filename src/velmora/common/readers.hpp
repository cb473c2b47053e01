// Argument readers: the components of a vector argument (by attribute) or of a sequence or any
// indexable object (by item), each converted as soon as it is read; and the record of an exact
// instance of a vector class, read in place. Vectors and Rect read their sequence and
// foreign-vector arguments through these.
#pragma once

#include "convert.hpp"
#include "lifecycle.hpp"
#include "record.hpp"
#include "ref.hpp"

#include <array>

namespace velmora {

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

// ---- records of exact vectors ----
//
// The vector classes are final and their component attributes cannot be replaced, so for an
// exact instance, reading the record gives exactly what reading x, y (z, w) as attributes and
// converting the floats would give, in the same order, without making a float for each.

inline std::array<double, 2> widened(const ::Vector2 &v) { return {v.x, v.y}; }
inline std::array<double, 3> widened(const ::Vector3 &v) { return {v.x, v.y, v.z}; }
inline std::array<double, 4> widened(const vector4_t &v) { return {v.x, v.y, v.z, v.w}; }

// The first N components of an exact instance of `type` (whose instance record is Object) into
// `out`; false, reading nothing, for any other object.
template <class Object, class T, size_t N>
VELMORA_HOT bool read_exact_vector(PyObject *o, PyTypeObject *type, const std::array<T *, N> &out) {
    if (Py_TYPE(o) != type) {
        return false;
    }
    const auto values = widened(reinterpret_cast<Object *>(o)->data);
    static_assert(N <= values.size());
    for (size_t i = 0; i < N; ++i) {
        *out[i] = static_cast<T>(values[i]);
    }
    return true;
}

}  // namespace velmora
