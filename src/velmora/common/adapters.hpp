// Python-method adapters shared by every class: each binds the Python arguments with the one
// binder, runs a C-level entry with the skip-dispatch flag set, and traces a failure under
// the method's name. `method<"name", Adapters<Owner>::NoArgs, entry>("doc")` makes the row.
#pragma once

#include "args.hpp"
#include "errors.hpp"
#include "tables.hpp"

namespace velmora {

// The receiver type of a C-level entry R entry(Object *self, ...).
template <class F> struct EntryOf;
template <class R, class O, class... A> struct EntryOf<R (*)(O *, A...)> {
    using Object = O;
};

template <const char *Owner> struct Adapters {
    // A method without parameters running entry(self, skip).
    template <Name name, auto Entry> struct NoArgs {
        static constexpr const char *signature = "($self, /)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            if (!bind_args(name.c_str(), args, nargs, kw, {})) {
                return Fail<Owner>::object(name.c_str());
            }
            using Object = typename EntryOf<decltype(Entry)>::Object;
            PyObject *result = reinterpret_cast<PyObject *>(Entry(reinterpret_cast<Object *>(self), 1));
            return result ? result : Fail<Owner>::object(name.c_str());
        }
    };
};

}  // namespace velmora
