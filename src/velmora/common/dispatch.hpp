// Override dispatch for the C-level entries of a subclassable class. Native code calls an
// entry with a zero skip-dispatch flag; when the receiver's class overrides the method in
// Python, the override runs instead of the class's own code.
#pragma once

#include "ref.hpp"
#include "tables.hpp"

namespace velmora {

// The Python override of `name` on the receiver, or an empty ref when the class's own
// method (whose Python-visible function is `own`) would run; empty with an exception set
// when the look-up failed.
ref find_override(PyObject *self, const char *name, FastMethod own);

// What an overridable entry does first: `ran` tells whether an override was called, and
// `result` holds its result (empty with an exception set when the call failed).
struct Dispatched {
    bool ran;
    ref result;
};

// Calls the override of `name` with `args` when there is one and `skip` is 0.
template <class... Args>
Dispatched dispatch(PyObject *self, int skip, const char *name, FastMethod own, Args... args) {
    static_assert(sizeof...(Args) <= 1);
    if (skip) {
        return {false, ref()};
    }
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
