// The module frame every velmora module shares: multi-phase create and exec, the
// one-interpreter rule, the cached module, publication of the class's C-level table,
// the pickling hooks, and the size-checked import of other modules' classes.
#pragma once

#include "pickling.hpp"

#include <cstdint>

namespace velmora {

struct ModuleFrame {
    // What the module is.
    const char *def_name;  // "vector2"
    const char *path;      // "velmora.vector2.vector2"
    PyTypeObject *type;    // the module's one class (a static type)
    const char *class_name;
    void *table;                    // the class's C-level method table, published under __pyx_vtable__
    VelmoraFreeListInfo *freelist;  // the class's free list, as the table capsule's context (may be null)
    // Exec hooks, each returning 0 or -1 with an exception set.
    int (*prepare)();                  // before the type is made ready: interned names and messages,
                                       // the method table's rows, the C-level table
    int (*import_types)();             // classes of other modules the module needs (may be null)
    const char *const *builtins;       // host built-ins looked up, nullptr-terminated (may be null)
    PyMethodDef *(*pickling_defs)();   // the class's own pickling and restoring functions:
                                       // they become __reduce__ and __setstate__
    PyMethodDef *(*static_methods)();  // wrapped by the built-in staticmethod (may be null)
    const char *(*describe)();         // the class's member rows for the stub generator (may be null)

    // Process-wide state: one copy per process, not per module object.
    PyObject *cached_module = nullptr;
    int64_t interpreter = -1;
    PyObject *staticmethod = nullptr;
};

// The frame of a module whose one class, named Owner, refuses pickling with Message;
// built-ins, static methods and a free list are added by the caller.
template <const char *Owner, const char *Message>
ModuleFrame class_frame(const char *def_name, const char *path, PyTypeObject *type, const char *class_name, void *table,
                        int (*prepare)(), int (*import_types)() = nullptr) {
    return ModuleFrame{.def_name = def_name,
                       .path = path,
                       .type = type,
                       .class_name = class_name,
                       .table = table,
                       .prepare = prepare,
                       .import_types = import_types,
                       .pickling_defs = PicklingRefusal<Owner, Message>::methods};
}

PyObject *frame_create(ModuleFrame &frame, PyObject *spec);
int frame_exec(ModuleFrame &frame, PyObject *module);

// Imports a class of another module and its table (see velmora_import_type), keeping it
// for the life of the process. Returns 0, or -1 with an exception set.
int import_class(const char *module_path, const char *class_name, Py_ssize_t expected_size, PyTypeObject *&type,
                 void **table);

}  // namespace velmora

// The module definition and entry point: exactly two slots, create and exec; and the module's
// member rows for tools (describe.hpp), an exported function no Python code sees.
#define VELMORA_MODULE(name, frame)                                                                                \
    extern "C" Py_EXPORTED_SYMBOL const char *velmora_member_rows(void) {                                          \
        return frame.describe != nullptr ? frame.describe() : "";                                                  \
    }                                                                                                              \
    static PyObject *name##_create(PyObject *spec, PyModuleDef *) { return ::velmora::frame_create(frame, spec); } \
    static int name##_exec(PyObject *module) { return ::velmora::frame_exec(frame, module); }                      \
    static PyModuleDef_Slot name##_slots[] = {                                                                     \
        {Py_mod_create, reinterpret_cast<void *>(name##_create)},                                                  \
        {Py_mod_exec, reinterpret_cast<void *>(name##_exec)},                                                      \
        {0, nullptr},                                                                                              \
    };                                                                                                             \
    static PyModuleDef name##_def = {                                                                              \
        PyModuleDef_HEAD_INIT, #name, nullptr, 0, nullptr, name##_slots, nullptr, nullptr, nullptr,                \
    };                                                                                                             \
    PyMODINIT_FUNC PyInit_##name() { return PyModuleDef_Init(&name##_def); }
