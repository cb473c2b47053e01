// The Python method table of a class: its methods as rows of constexpr data (MethodRow), turned
// into the PyMethodDef array the interpreter reads when the module initialises. The member rows
// (rows.hpp) make these rows.
#pragma once

#include "velmora.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace velmora {

using FastMethod = PyObject *(*)(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames);

template <class F> inline PyCFunction as_method(F *f) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(f));
}

// One Python method: its name, the function the interpreter calls, its parameters in text
// signature form ("($self, other)") and one sentence or more of documentation.
struct MethodRow {
    const char *name;
    FastMethod call;
    const char *signature;
    const char *doc;
    int flags = METH_FASTCALL | METH_KEYWORDS;
};

// "name(signature)\n--\n\ndoc": the interpreter reads the text signature off the doc.
// Made once and kept for the life of the process.
const char *signed_doc(const char *name, const char *signature, const char *doc);

// The PyMethodDef array made from rows when a module initialises, kept for the life of the
// process (the interpreter holds pointers into it). Plain data, so it is ready before any
// initialiser of the module runs.
template <size_t Count> class MethodDefs {
public:
    PyMethodDef *fill(std::span<const MethodRow> rows) {
        if (defs_[0].ml_name == nullptr) {
            for (size_t i = 0; i < Count; ++i) {
                const MethodRow &r = rows[i];
                defs_[i] = PyMethodDef{r.name, as_method(r.call), r.flags, signed_doc(r.name, r.signature, r.doc)};
            }
        }
        return defs_;
    }
    constexpr PyMethodDef *get() { return defs_; }

private:
    PyMethodDef defs_[Count + 1]{};
};

}  // namespace velmora
