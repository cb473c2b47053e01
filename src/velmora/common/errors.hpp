// The package's error helpers: one for argument-type errors, one for traceback entries.
#pragma once

#include "velmora.h"

namespace velmora {

// TypeError "Argument 'name' has incorrect type (expected E, got T)"; returns nullptr.
PyObject *arg_type_error(const char *argname, const char *expected, PyObject *got);

// Adds a traceback entry named "<owner>.<member>" (or just <owner>) to the pending
// exception, so a failure shows the operation it came from. Public C API only.
void add_traceback(const char *owner, const char *member = nullptr, const char *file = "velmora");

// NotImplementedError "__del__": deleting a settable property.
int refuse_property_delete();

// TypeError raised by a pickling refusal.
PyObject *refuse_pickling(const char *message);

}  // namespace velmora
