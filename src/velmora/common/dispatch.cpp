#include "dispatch.hpp"

namespace velmora {

ref find_override(PyObject *self, const char *name, FastMethod own) {
    if (!may_override(Py_TYPE(self))) {
        return ref();
    }
    ref attr = ref::steal(PyObject_GetAttrString(self, name));
    if (!attr) {
        return attr;
    }
    PyObject *function = attr.get();
    if (PyMethod_Check(function)) {
        function = PyMethod_GET_FUNCTION(function);
    }
    if (PyCFunction_Check(function) && PyCFunction_GET_FUNCTION(function) == as_method(own)) {
        return ref();
    }
    return attr;
}

}  // namespace velmora
