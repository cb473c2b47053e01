#include "dispatch.hpp"

namespace velmora {

ref find_override(PyObject *self, const char *name, FastMethod own) {
    // Instances of the class itself (no dictionary, a static type) have no overrides.
    PyTypeObject *type = Py_TYPE(self);
    if (type->tp_dictoffset == 0 && !(type->tp_flags & (Py_TPFLAGS_HEAPTYPE | Py_TPFLAGS_IS_ABSTRACT))) {
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
