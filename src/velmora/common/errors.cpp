#include "errors.hpp"

#include <frameobject.h>

#include <string>
#include <unordered_map>

namespace velmora {

std::nullptr_t arg_type_error(const char *argname, const char *expected, PyObject *got) {
    PyErr_Format(PyExc_TypeError, "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)",
                 argname, expected, Py_TYPE(got)->tp_name);
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
    // One code object per operation, made on its first failure and kept.
    static std::unordered_map<std::string, PyCodeObject *> codes;
    static PyObject *globals = nullptr;

    std::string name(owner);
    if (member != nullptr) {
        name += '.';
        name += member;
    }
    ParkedException parked;
    PyCodeObject *&code = codes[name];
    if (code == nullptr) {
        code = PyCode_NewEmpty(file, name.c_str(), 0);
    }
    if (globals == nullptr) {
        globals = PyDict_New();
    }
    PyFrameObject *frame = nullptr;
    if (code != nullptr && globals != nullptr) {
        frame = PyFrame_New(PyThreadState_Get(), code, globals, nullptr);
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
