#include "args.hpp"

namespace velmora {

namespace {

bool refuse_keyword(PyObject *key, const char *func) {
    if (!PyUnicode_Check(key)) {
        PyErr_Format(PyExc_TypeError, "%.200s() keywords must be strings", func);
    } else {
        PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", func, key);
    }
    return false;
}

// The parameter `key` names, or -1: by identity first, then by text for a keyword string
// built at run time (or before the names were interned).
Py_ssize_t find_keyword(PyObject *key, const Keywords &names, Py_ssize_t nparams) {
    if (names.interned != nullptr) {
        for (Py_ssize_t i = 0; i < nparams; ++i) {
            if (key == names.interned[i]) {
                return i;
            }
        }
    }
    for (Py_ssize_t i = 0; i < nparams; ++i) {
        if (PyUnicode_CompareWithASCIIString(key, names.text[i]) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace

bool wrong_count(const char *func, Py_ssize_t expected, Py_ssize_t given, const char *how) {
    PyErr_Format(PyExc_TypeError, "%.200s() takes %.8s %zd positional argument%.1s (%zd given)", func, how, expected,
                 expected == 1 ? "" : "s", given);
    return false;
}

int intern_names(const char *const *names, size_t count, PyObject **out) {
    for (size_t i = 0; i < count; ++i) {
        if (out[i] == nullptr && (out[i] = PyUnicode_InternFromString(names[i])) == nullptr) {
            return -1;
        }
    }
    return 0;
}

bool no_keywords(PyObject *kwds) {
    if (kwds == nullptr || PyDict_GET_SIZE(kwds) == 0) {
        return true;
    }
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    PyDict_Next(kwds, &pos, &key, &value);
    return refuse_keyword(key, "__init__");
}

bool no_keyword_names(PyObject *kwnames, const char *func) {
    return kwnames == nullptr || PyTuple_GET_SIZE(kwnames) == 0 || refuse_keyword(PyTuple_GET_ITEM(kwnames, 0), func);
}

bool bind_args_slow(const char *func, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                    const Keywords &names, Py_ssize_t nparams, PyObject **out) {
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (nargs > nparams) {
        return wrong_count(func, nparams, nargs);
    }
    for (Py_ssize_t i = 0; i < nparams; ++i) {
        out[i] = i < nargs ? args[i] : nullptr;
    }
    const Py_ssize_t nkw = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        PyObject *key = PyTuple_GET_ITEM(kwnames, k);
        if (!PyUnicode_Check(key)) {
            PyErr_Format(PyExc_TypeError, "%.200s() keywords must be strings", func);
            return false;
        }
        const Py_ssize_t match = find_keyword(key, names, nparams);
        if (match < 0) {
            PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", func, key);
            return false;
        }
        if (out[match] != nullptr) {
            PyErr_Format(PyExc_TypeError, "%s() got multiple values for keyword argument '%U'", func, key);
            return false;
        }
        out[match] = args[nargs + k];
    }
    for (Py_ssize_t i = 0; i < nparams; ++i) {
        if (out[i] == nullptr) {
            // Counted like the positional arguments before the first missing parameter.
            return wrong_count(func, nparams, i);
        }
    }
    return true;
}

}  // namespace velmora
