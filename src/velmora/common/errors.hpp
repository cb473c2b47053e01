// The package's error helpers: the argument-type error, traceback entries, and the
// refusals every class shares.
#pragma once

#include "velmora.h"

#include <cstddef>

namespace velmora {

// TypeError "Argument 'name' has incorrect type (expected E, got T)"; returns nullptr.
std::nullptr_t arg_type_error(const char *argname, const char *expected, PyObject *got);

// Adds a traceback entry named "<owner>.<member>" (or just <owner>) to the pending
// exception, so a failure shows the operation it came from. Public C API only.
void add_traceback(const char *owner, const char *member = nullptr, const char *file = "velmora");

// The failure exits of one class's operations: each adds the entry "<Owner>.<member>" and
// gives the error value of its kind.
template <const char *Owner> struct Fail {
    static std::nullptr_t object(const char *member) {
        add_traceback(Owner, member);
        return nullptr;
    }
    static int status(const char *member) {
        add_traceback(Owner, member);
        return -1;
    }
};

// NotImplementedError "__del__": deleting a settable property. Returns -1.
int refuse_property_delete();

// NotImplementedError "Subscript deletion not supported by <type>". Returns -1.
int refuse_item_delete(PyObject *self);

// TypeError raised by a pickling refusal; returns nullptr.
std::nullptr_t refuse_pickling(const char *message);

}  // namespace velmora
