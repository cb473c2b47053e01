// The record protocol: every class whose instances hold a record of N scalars (the vectors,
// Rect) is a small fixed-length sequence through these slots, and shows itself through
// one representation builder.
//
//     struct Traits {                      // what a record class provides
//         using Scalar = float;            // storage type of the fields
//         static constexpr int N = 4;
//         static constexpr const char *owner = "velmora.rect.rect.Rect";  // traceback names
//         static constexpr const char *index_error = "Rect index out of range";
//         static Scalar &field(PyObject *self, Py_ssize_t i);
//     };
#pragma once

#include "convert.hpp"
#include "errors.hpp"

#include "ref.hpp"

#include <array>
#include <concepts>
#include <span>

namespace velmora {

// The interned attribute names "x", "y", "z", "w", made by intern_component_names() when a
// module initialises.
extern PyObject *component_names[4];
int intern_component_names();

// The ints 0 to 3, kept from initialisation. The interpreter shares one object for each small
// int, so an index that is one of these objects is known without reading it; any other index
// object is read as usual.
extern PyObject *small_indices[4];
int intern_small_indices(int count);
template <int N> inline bool small_index(PyObject *key, Py_ssize_t &i) {
    for (int k = 0; k < N; ++k) {
        if (key == small_indices[k]) {
            i = k;
            return true;
        }
    }
    return false;
}

// "Name(a, b, …)"-style text: pieces[0] value[0] pieces[1] … value[n-1] pieces[n], each value
// as Python's repr of a float, made in one string allocation of the final length.
PyObject *record_repr(std::span<const char *const> pieces, std::span<const double> values);

// A tuple of make_item(v) for each value, the items made first, in order; nullptr with the
// exception of the first that fails (the others are released).
template <size_t N, class Make> PyObject *tuple_of(const std::array<double, N> &values, Make make_item) {
    ref items[N];
    for (size_t i = 0; i < N; ++i) {
        items[i] = ref::steal(make_item(values[i]));
        if (!items[i]) {
            return nullptr;
        }
    }
    PyObject *t = PyTuple_New(N);
    if (t != nullptr) {
        for (size_t i = 0; i < N; ++i) {
            PyTuple_SET_ITEM(t, i, items[i].release());
        }
    }
    return t;
}

template <size_t N> PyObject *float_tuple(const std::array<double, N> &values) {
    return tuple_of(values, [](double v) { return PyFloat_FromDouble(v); });
}

template <class T>
concept RecordTraits = requires(PyObject *self, Py_ssize_t i) {
    requires std::floating_point<typename T::Scalar>;
    { T::N } -> std::convertible_to<int>;
    { T::owner } -> std::convertible_to<const char *>;
    { T::index_error } -> std::convertible_to<const char *>;
    { T::field(self, i) } -> std::same_as<typename T::Scalar &>;
};

template <RecordTraits T> struct RecordProtocol {
    using Scalar = typename T::Scalar;
    static constexpr int N = T::N;
    using fail = Fail<T::owner>;

    static Py_ssize_t length(PyObject *) { return N; }

    // The IndexError's message, made once: every iteration and unpacking ends with one.
    static inline PyObject *index_message = nullptr;
    static int prepare() {
        if (index_message == nullptr && (index_message = PyUnicode_InternFromString(T::index_error)) == nullptr) {
            return -1;
        }
        return intern_small_indices(N);
    }

    static std::nullptr_t index_error() {
        PyErr_SetObject(PyExc_IndexError, index_message);
        return nullptr;
    }

    // The sequence protocol (iteration, unpacking, `in`): its IndexError at N ends every
    // iteration, so it is routine there and gets no traceback entry.
    static PyObject *sq_item(PyObject *self, Py_ssize_t i) {
        return 0 <= i && i < N ? PyFloat_FromDouble(T::field(self, i)) : index_error();
    }

    // r[i]: only 0 to N-1; no counting from the end, no slices.
    static PyObject *subscript(PyObject *self, PyObject *key) {
        Py_ssize_t i;
        if (small_index<N>(key, i) || (to_index(key, i) && 0 <= i && i < N)) {
            return PyFloat_FromDouble(T::field(self, i));
        }
        if (!PyErr_Occurred()) {
            index_error();
        }
        return fail::object("__getitem__");
    }

    // The value is converted before the index is tested, so a bad value is reported first.
    static int store(PyObject *self, Py_ssize_t i, PyObject *value) {
        Scalar v;
        if (!to_scalar(value, v)) {
            return -1;
        }
        if (!(0 <= i && i < N)) {
            index_error();
            return -1;
        }
        T::field(self, i) = v;
        return 0;
    }

    static int sq_ass_item(PyObject *self, Py_ssize_t i, PyObject *value) {
        if (value == nullptr) {
            refuse_item_delete(self);
            return fail::status("__delitem__");
        }
        return store(self, i, value) == 0 ? 0 : fail::status("__setitem__");
    }

    static int ass_subscript(PyObject *self, PyObject *key, PyObject *value) {
        if (value == nullptr) {
            refuse_item_delete(self);
            return fail::status("__delitem__");
        }
        Py_ssize_t i;
        return (small_index<N>(key, i) || to_index(key, i)) && store(self, i, value) == 0 ? 0
                                                                                          : fail::status("__setitem__");
    }

    static inline PySequenceMethods sequence_slots = {
        .sq_length = length,
        .sq_item = sq_item,
        .sq_ass_item = sq_ass_item,
    };
    static inline PyMappingMethods mapping_slots = {
        .mp_length = length,
        .mp_subscript = subscript,
        .mp_ass_subscript = ass_subscript,
    };
};

}  // namespace velmora
