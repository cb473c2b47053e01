// Override dispatch for the C-level entries of a class that can be subclassed: native code
// calls an entry with a zero skip-dispatch flag, and when the receiver's class overrides the
// method in Python, the override runs instead of the class's own code. The flagged entries of
// the member rows (binding.hpp) dispatch through here.
#pragma once

#include "methods.hpp"
#include "ref.hpp"

namespace velmora {

// Whether instances of `type` can have overrides: the class itself (no dictionary, a static
// type) has none. Inline, so that the entries skip the look-up for exact instances cheaply.
inline bool may_override(PyTypeObject *type) {
    return type->tp_dictoffset != 0 || (type->tp_flags & (Py_TPFLAGS_HEAPTYPE | Py_TPFLAGS_IS_ABSTRACT));
}

// The Python override of `name` on the receiver, or an empty ref when the class's own
// method (whose Python-visible function is `own`) would run; empty with an exception set
// when the look-up failed.
ref find_override(PyObject *self, const char *name, FastMethod own);

// What an overridable entry does first: `ran` tells whether an override was called (or its
// look-up failed), and `result` holds its result (empty with an exception set on failure).
struct Dispatched {
    bool ran;
    ref result;
};

// Calls the override of `name` with `args` when there is one.
template <class... Args> Dispatched dispatch(PyObject *self, const char *name, FastMethod own, Args... args) {
    static_assert(sizeof...(Args) <= 1, "overrides are called with at most one argument");
    ref override_ = find_override(self, name, own);
    if (!override_) {
        return {PyErr_Occurred() != nullptr, ref()};
    }
    if constexpr (sizeof...(Args) == 0) {
        return {true, ref::steal(PyObject_CallNoArgs(override_.get()))};
    } else {
        return {true, ref::steal(PyObject_CallOneArg(override_.get(), args...))};
    }
}

}  // namespace velmora
