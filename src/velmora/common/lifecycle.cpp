#include "lifecycle.hpp"

#include "ref.hpp"

namespace velmora {

PyObject *allocate_instance(PyTypeObject *type) {
    if (type->tp_flags & Py_TPFLAGS_IS_ABSTRACT) {
        ref empty = ref::steal(PyTuple_New(0));
        return empty ? PyBaseObject_Type.tp_new(type, empty.get(), nullptr) : nullptr;
    }
    return type->tp_alloc(type, 0);
}

bool finalize_from_dealloc(PyObject *self, destructor own_dealloc) {
    PyTypeObject *type = Py_TYPE(self);
    if (type->tp_finalize == nullptr || type->tp_dealloc != own_dealloc) {
        return true;
    }
    return PyObject_CallFinalizerFromDealloc(self) == 0;
}

}  // namespace velmora
