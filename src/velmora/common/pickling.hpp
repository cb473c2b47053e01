// The classes' own __reduce__ and __setstate__: both refuse with the class's message,
// after the usual argument check. The module frame installs them on the class.
#pragma once

#include "args.hpp"
#include "errors.hpp"
#include "methods.hpp"

namespace velmora {

template <const char *Owner, const char *Message> struct PicklingRefusal {
    static PyObject *reduce(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        if (bind_args("__reduce__", args, nargs, kw, {})) {
            refuse_pickling(Message);
        }
        return Fail<Owner>::object("__reduce__");
    }
    static PyObject *setstate(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *state;
        if (bind_args("__setstate__", args, nargs, kw, {"state"}, &state)) {
            refuse_pickling(Message);
        }
        return Fail<Owner>::object("__setstate__");
    }
    static constexpr MethodRow rows[2] = {
        {"__reduce__", reduce, "($self, /)", "Refused: instances cannot be pickled (TypeError)."},
        {"__setstate__", setstate, "($self, state)", "Refused: instances cannot be unpickled (TypeError)."},
    };
    static inline MethodDefs<2> defs;
    static PyMethodDef *methods() { return defs.fill(rows); }
};

}  // namespace velmora
