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

// Keywords, missing or surplus arguments: binds them or raises the package's TypeError.
bool bind_args_slow(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                    const char *const *names, Py_ssize_t nparams, PyObject **out);

// Binds exactly `nparams` required parameters into `out` (borrowed references).
// Returns false with a TypeError set.
inline bool bind_args_array(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                            const char *const *names, Py_ssize_t nparams, PyObject **out) {
    if (kwnames == nullptr && PyVectorcall_NARGS(nargsf) == nparams) {
        for (Py_ssize_t i = 0; i < nparams; ++i) {
            out[i] = args[i];
        }
        return true;
    }
    return bind_args_slow(func, args, nargsf, kwnames, names, nparams, out);
}

// Constructors and operator methods take no keywords. Each returns true when none were given,
// else false with the TypeError naming the first: from tp_init's keyword dict, or a
// vectorcall's kwnames.
bool no_keywords(PyObject *kwds);
bool no_keyword_names(PyObject *kwnames, const char *func = "__init__");

// Binds from `least` to `most` positional arguments (no keywords) into out[0..most), the
// missing ones as nullptr. Returns false with a TypeError set.
bool bind_positional(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames, Py_ssize_t least,
                     Py_ssize_t most, PyObject **out);

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
