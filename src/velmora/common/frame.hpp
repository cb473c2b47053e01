// The module frame every velmora module shares: multi-phase create and exec, the
// one-interpreter rule, the cached module, publication of the class's C-level table,
// the pickling hooks, and the size-checked import of other modules' classes.
#pragma once

#include "velmora.h"

#include <cstdint>

namespace velmora {

struct ModuleFrame {
    // What the module is.
    const char *def_name;  // "vector2"
    const char *path;      // "velmora.vector2.vector2"
    PyTypeObject *type;    // the module's one class (a static type)
    const char *class_name;
    void *table;           // the class's C-level method table, published under __pyx_vtable__
    // Exec hooks, each returning 0 or -1 with an exception set.
    int (*prepare)();                // interned names, the table, the type's slots
    int (*import_types)();           // classes of other modules the module needs (may be null)
    const char *const *builtins;     // host built-ins looked up, nullptr-terminated (may be null)
    PyMethodDef *reduce_def;         // the class's own pickling function: becomes __reduce__
    PyMethodDef *setstate_def;       // and its restoring function: becomes __setstate__
    PyMethodDef *static_methods;     // wrapped by the built-in staticmethod (may be null)

    // Process-wide state: one copy per process, not per module object.
    PyObject *cached_module = nullptr;
    int64_t interpreter = -1;
    PyObject *staticmethod = nullptr;
};

// The frame of a module whose one class refuses pickling through `Pickling`
// (a PicklingRefusal); built-ins and static methods are added by the caller if any.
template <class Pickling>
ModuleFrame class_frame(const char *def_name, const char *path, PyTypeObject *type, const char *class_name,
                        void *table, int (*prepare)(), int (*import_types)() = nullptr) {
    ModuleFrame f{};
    f.def_name = def_name;
    f.path = path;
    f.type = type;
    f.class_name = class_name;
    f.table = table;
    f.prepare = prepare;
    f.import_types = import_types;
    f.reduce_def = &Pickling::defs[0];
    f.setstate_def = &Pickling::defs[1];
    return f;
}

PyObject *frame_create(ModuleFrame &frame, PyObject *spec);
int frame_exec(ModuleFrame &frame, PyObject *module);

// Imports a class of another module and its table (see velmora_import_type), keeping it
// for the life of the process. Returns 0, or -1 with an exception set.
int import_class(const char *module_path, const char *class_name, Py_ssize_t expected_size,
                 PyTypeObject *&type, void **table);

// The creation path of a subclassable class: through object's creation for a type
// flagged abstract (which then refuses), else through the type's allocator. Zeroed.
PyObject *allocate_instance(PyTypeObject *type);

// The first step of a subclassable class's dealloc: runs a finaliser that has not run yet
// (a Python subclass's __del__) unless the interpreter's subclass dealloc, which calls
// `own_dealloc` afterwards, already did. False when the object was resurrected.
bool finalize_from_dealloc(PyObject *self, destructor own_dealloc);

}  // namespace velmora

// The module definition and entry point: exactly two slots, create and exec.
#define VELMORA_MODULE(name, frame)                                                           \
    static PyObject *name##_create(PyObject *spec, PyModuleDef *) {                           \
        return ::velmora::frame_create(frame, spec);                                          \
    }                                                                                         \
    static int name##_exec(PyObject *module) { return ::velmora::frame_exec(frame, module); } \
    static PyModuleDef_Slot name##_slots[] = {                                                \
        {Py_mod_create, reinterpret_cast<void *>(name##_create)},                             \
        {Py_mod_exec, reinterpret_cast<void *>(name##_exec)},                                 \
        {0, nullptr},                                                                         \
    };                                                                                        \
    static PyModuleDef name##_def = {                                                         \
        PyModuleDef_HEAD_INIT, #name, nullptr, 0, nullptr, name##_slots,                      \
        nullptr, nullptr, nullptr,                                                            \
    };                                                                                        \
    PyMODINIT_FUNC PyInit_##name() { return PyModuleDef_Init(&name##_def); }
