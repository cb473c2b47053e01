// One argument binder for every Python-visible method (METH_FASTCALL | METH_KEYWORDS):
// binds positional and keyword arguments to a fixed list of parameters and raises the
// package's messages. Methods then read like their signature:
//
//     PyObject *other;
//     if (!bind_args("dot", args, nargs, kwnames, {"other"}, &other)) return nullptr;
#pragma once

#include "velmora.h"

#include <initializer_list>

namespace velmora {

// Binds exactly `names.size()` required parameters into `out` (borrowed references).
// Returns false with a TypeError set.
bool bind_args_array(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                     const char *const *names, Py_ssize_t nparams, PyObject **out);

template <class... Out>
inline bool bind_args(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                      std::initializer_list<const char *> names, Out **...out) {
    PyObject *slots[sizeof...(Out) + 1];
    if (!bind_args_array(func, args, nargsf, kwnames, names.begin(),
                         static_cast<Py_ssize_t>(names.size()), slots)) {
        return false;
    }
    Py_ssize_t i = 0;
    ((*out = slots[i++]), ...);
    (void)i;
    return true;
}

}  // namespace velmora
