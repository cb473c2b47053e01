// The real conversion (one Python object to one component) and the integer conversion.
#pragma once

#include "velmora.h"

namespace velmora {

// An exact float is read directly and an exact int without a temporary float; anything
// else goes through the host's float conversion (__float__, then __index__). Returns
// false with the host's exception set.
inline bool to_double(PyObject *o, double &out) {
    if (PyFloat_CheckExact(o)) {
        out = PyFloat_AS_DOUBLE(o);
        return true;
    }
    const double d = PyLong_CheckExact(o) ? PyLong_AsDouble(o) : PyFloat_AsDouble(o);
    if (d == -1.0 && PyErr_Occurred()) {
        return false;
    }
    out = d;
    return true;
}

// The real conversion into a record's storage type. Narrowing to float rounds to nearest
// (ties to even); magnitudes beyond the float range become infinities, as IEEE says.
template <class Scalar> inline bool to_scalar(PyObject *o, Scalar &out) {
    double d;
    if (!to_double(o, d)) {
        return false;
    }
    out = static_cast<Scalar>(d);
    return true;
}

// An item index: an exact int read directly, anything else through __index__; an int
// beyond the 64-bit range raises OverflowError. Returns false with an exception set.
inline bool to_index(PyObject *key, Py_ssize_t &i) {
    i = PyLong_CheckExact(key) ? PyLong_AsSsize_t(key) : PyNumber_AsSsize_t(key, PyExc_OverflowError);
    return !(i == -1 && PyErr_Occurred());
}

// To a signed 32-bit integer through the type's integer conversion (__int__), with the
// messages callers of from_ints see. Returns false with an exception set.
bool to_int32(PyObject *o, int &out);

// Whether `type` is registered as numbers.Real. Asked of the type, never of an object's
// __class__; the ABC's own cache keeps the answer right when a type is registered later. A
// check that fails counts as "no": its exception is dropped.
bool registered_real(PyTypeObject *type);

// A number operand: an int or float (subclasses included), or an instance of a type registered
// as numbers.Real (numpy's scalar types, fractions.Fraction).
inline bool is_real_number(PyObject *o) { return PyFloat_Check(o) || PyLong_Check(o) || registered_real(Py_TYPE(o)); }

}  // namespace velmora
