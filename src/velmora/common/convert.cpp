#include "convert.hpp"

#include "ref.hpp"

#include <climits>

namespace velmora {

namespace {

// The host's own message for an int that no C int can hold.
bool host_int_overflow(PyObject *value) {
#if PY_VERSION_HEX >= 0x030D0000
    (void)PyLong_AsInt(value);
#else
    (void)value;
    PyErr_SetString(PyExc_OverflowError, "Python int too large to convert to C int");
#endif
    return false;
}

bool int_from_long(PyObject *value, int &out) {
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(value, &overflow);
    if (v == -1 && PyErr_Occurred()) {
        return false;
    }
    // Magnitudes from 2**60 on get the host's message, smaller ones the package's.
    constexpr long long limit = 1LL << 60;
    if (overflow != 0 || v >= limit || v <= -limit) {
        return host_int_overflow(value);
    }
    if (v < INT_MIN || v > INT_MAX) {
        PyErr_SetString(PyExc_OverflowError, "value too large to convert to int");
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

}  // namespace

bool to_int32(PyObject *o, int &out) {
    if (PyLong_Check(o)) {
        return int_from_long(o, out);
    }
    PyNumberMethods *nb = Py_TYPE(o)->tp_as_number;
    if (nb == nullptr || nb->nb_int == nullptr) {
        PyErr_SetString(PyExc_TypeError, "an integer is required");
        return false;
    }
    ref value = ref::steal(nb->nb_int(o));
    if (!value) {
        return false;
    }
    if (!PyLong_CheckExact(value.get())) {
        if (!PyLong_Check(value.get())) {
            PyErr_Format(PyExc_TypeError, "__int__ returned non-int (type %.200s)", Py_TYPE(value.get())->tp_name);
            return false;
        }
        if (PyErr_WarnFormat(PyExc_DeprecationWarning, 1,
                             "__int__ returned non-int (type %.200s).  The ability to return an "
                             "instance of a strict subclass of int is deprecated, and may be "
                             "removed in a future version of Python.",
                             Py_TYPE(value.get())->tp_name) < 0) {
            return false;
        }
    }
    return int_from_long(value.get(), out);
}

bool registered_real(PyTypeObject *type) {
    // numbers.Real, imported when a number of another kind first needs it and then kept.
    static PyObject *real = nullptr;
    if (real == nullptr) {
        ref numbers = ref::steal(PyImport_ImportModule("numbers"));
        real = numbers ? PyObject_GetAttrString(numbers.get(), "Real") : nullptr;
    }
    const int registered = real != nullptr ? PyObject_IsSubclass(reinterpret_cast<PyObject *>(type), real) : -1;
    if (registered < 0) {
        PyErr_Clear();
        return false;
    }
    return registered == 1;
}

}  // namespace velmora
