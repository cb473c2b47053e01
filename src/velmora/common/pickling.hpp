// The classes' own __reduce__ and __setstate__: both refuse with the class's message,
// after the usual argument check. The module frame installs them on the class.
#pragma once

#include "args.hpp"
#include "errors.hpp"

namespace velmora {

template <class F> inline PyCFunction as_method(F *f) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(f));
}

template <const char *Owner, const char *Message> struct PicklingRefusal {
    static PyObject *reduce(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        if (bind_args("__reduce__", args, nargs, kw, {})) {
            refuse_pickling(Message);
        }
        add_traceback(Owner, "__reduce__");
        return nullptr;
    }
    static PyObject *setstate(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *state;
        if (bind_args("__setstate__", args, nargs, kw, {"state"}, &state)) {
            refuse_pickling(Message);
        }
        add_traceback(Owner, "__setstate__");
        return nullptr;
    }
    static inline PyMethodDef defs[2] = {
        {"__reduce__", as_method(reduce), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {"__setstate__", as_method(setstate), METH_FASTCALL | METH_KEYWORDS, nullptr},
    };
};

}  // namespace velmora
