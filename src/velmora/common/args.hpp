// One argument binder for every Python-visible method (METH_FASTCALL | METH_KEYWORDS): binds
// positional and keyword arguments to a fixed list of parameters and raises the package's
// messages. The member rows bind through it (binding.hpp); the few hand-written binders too.
#pragma once

#include "velmora.h"

#include <cstddef>
#include <initializer_list>

namespace velmora {

// The keyword names of one method's parameters: their text, for messages and for keywords the
// caller built at run time, and the same names interned when the module initialises. A call
// written with keywords passes the interpreter's interned strings, which are matched by
// identity before any text is compared.
struct Keywords {
    const char *const *text;
    PyObject *const *interned;  // nullptr, or one per name (nullptr before initialisation)
};

// Interns `count` names into `out` once; 0, or -1 with an exception set.
int intern_names(const char *const *names, size_t count, PyObject **out);

// Keywords, missing or surplus arguments: binds them or raises the package's TypeError.
bool bind_args_slow(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                    const Keywords &names, Py_ssize_t nparams, PyObject **out);

// Binds exactly `nparams` required parameters into `out` (borrowed references).
// Returns false with a TypeError set.
inline bool bind_args_array(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                            const Keywords &names, Py_ssize_t nparams, PyObject **out) {
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

// The binder for a hand-written method: `bind_args("name", args, nargs, kw, {"state"}, &state)`.
template <class... Out> inline bool bind_args(const char *func, PyObject *const *args, Py_ssize_t nargsf,
                                              PyObject *kwnames, std::initializer_list<const char *> names,
                                              Out **...out) {
    PyObject *slots[sizeof...(Out) + 1];
    if (!bind_args_array(func, args, nargsf, kwnames, Keywords{names.begin(), nullptr},
                         static_cast<Py_ssize_t>(names.size()), slots)) {
        return false;
    }
    Py_ssize_t i = 0;
    ((*out = slots[i++]), ...);
    (void)i;
    return true;
}

// TypeError "f() takes exactly 1 positional argument (2 given)" and its kin; returns false.
bool wrong_count(const char *func, Py_ssize_t expected, Py_ssize_t given, const char *how = "exactly");

}  // namespace velmora
