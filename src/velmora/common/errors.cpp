#include "errors.hpp"

#include "ref.hpp"

#include <frameobject.h>

namespace velmora {

std::nullptr_t arg_type_error(const char *argname, const char *expected, PyObject *got) {
    PyErr_Format(PyExc_TypeError, "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)", argname,
                 expected, Py_TYPE(got)->tp_name);
    return nullptr;
}

namespace {

// PyFrame_New gives up while an exception is pending, so the exception is parked meanwhile.
struct ParkedException {
#if PY_VERSION_HEX >= 0x030C0000
    PyObject *exc = PyErr_GetRaisedException();
    void restore() { PyErr_SetRaisedException(exc); }
#else
    PyObject *type, *value, *tb;
    ParkedException() { PyErr_Fetch(&type, &value, &tb); }
    void restore() { PyErr_Restore(type, value, tb); }
#endif
};

}  // namespace

void add_traceback(const char *owner, const char *member, const char *file) {
    char name[256];
    PyOS_snprintf(name, sizeof name, member != nullptr ? "%s.%s" : "%s", owner, member);
    ParkedException parked;
    // One code object per operation, made on its first failure and kept in a dict by name.
    static PyObject *codes = nullptr;
    static PyObject *globals = nullptr;
    if (codes == nullptr) {
        codes = PyDict_New();
    }
    if (globals == nullptr) {
        globals = PyDict_New();
    }
    PyObject *code = codes != nullptr ? PyDict_GetItemString(codes, name) : nullptr;  // borrowed
    if (code == nullptr && codes != nullptr) {
        ref made = ref::steal(PyCode_NewEmpty(file, name, 0));
        if (made && PyDict_SetItemString(codes, name, made.get()) == 0) {
            code = made.get();  // the dict keeps it alive
        }
    }
    PyFrameObject *frame = nullptr;
    if (code != nullptr && globals != nullptr) {
        frame = PyFrame_New(PyThreadState_Get(), reinterpret_cast<PyCodeObject *>(code), globals, nullptr);
    }
    // A failure to build the entry must not replace the operation's own exception.
    PyErr_Clear();
    parked.restore();
    if (frame != nullptr) {
        PyTraceBack_Here(frame);
        Py_DECREF(frame);
    }
}

int refuse_property_delete() {
    PyErr_SetString(PyExc_NotImplementedError, "__del__");
    return -1;
}

int refuse_item_delete(PyObject *self) {
    PyErr_Format(PyExc_NotImplementedError, "Subscript %.10s not supported by %.200s", "deletion",
                 Py_TYPE(self)->tp_name);
    return -1;
}

std::nullptr_t refuse_pickling(const char *message) {
    PyErr_SetString(PyExc_TypeError, message);
    return nullptr;
}

}  // namespace velmora
