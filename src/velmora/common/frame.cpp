#include "frame.hpp"

#include "errors.hpp"
#include "ref.hpp"

#include <cstring>

namespace velmora {

namespace {

// Copies spec.<attr> to module.<name>; a missing attribute is skipped.
int copy_spec_attr(PyObject *spec, PyObject *module, const char *attr, const char *name, bool skip_none) {
    ref value = ref::steal(PyObject_GetAttrString(spec, attr));
    if (!value) {
        if (PyErr_ExceptionMatches(PyExc_AttributeError)) {
            PyErr_Clear();
            return 0;
        }
        return -1;
    }
    if (skip_none && value.get() == Py_None) {
        return 0;
    }
    return PyObject_SetAttrString(module, name, value.get());
}

int check_version(const ModuleFrame &frame) {
    const int major = static_cast<int>((Py_Version >> 24) & 0xFF);
    const int minor = static_cast<int>((Py_Version >> 16) & 0xFF);
    if (major == PY_MAJOR_VERSION && minor == PY_MINOR_VERSION) {
        return 0;
    }
    return PyErr_WarnFormat(PyExc_RuntimeWarning, 1,
                            "compile time Python version %d.%d of module '%.100s' %s "
                            "runtime version %d.%d",
                            PY_MAJOR_VERSION, PY_MINOR_VERSION, frame.path, "does not match", major, minor);
}

int look_up_builtins(ModuleFrame &frame) {
    if (frame.builtins == nullptr) {
        return 0;
    }
    ref builtins = ref::steal(PyImport_ImportModule("builtins"));
    if (!builtins) {
        return -1;
    }
    for (const char *const *name = frame.builtins; *name != nullptr; ++name) {
        ref value = ref::steal(PyObject_GetAttrString(builtins.get(), *name));
        if (!value) {
            if (!PyErr_ExceptionMatches(PyExc_AttributeError)) {
                return -1;
            }
            PyErr_Clear();
            ref key = ref::steal(PyUnicode_FromString(*name));
            if (key) {
                PyErr_Format(PyExc_NameError, "name '%U' is not defined", key.get());
            }
            return -1;
        }
        if (std::strcmp(*name, "staticmethod") == 0) {
            Py_XSETREF(frame.staticmethod, value.release());
        }
    }
    return 0;
}

int publish_table(const ModuleFrame &frame) {
    ref capsule = ref::steal(PyCapsule_New(frame.table, nullptr, nullptr));
    if (!capsule || PyCapsule_SetContext(capsule.get(), frame.freelist) < 0 ||
        PyDict_SetItemString(frame.type->tp_dict, "__pyx_vtable__", capsule.get()) < 0) {
        return -1;
    }
    PyType_Modified(frame.type);
    return 0;
}

// The class's own pickling functions replace __reduce__ and __setstate__, unless the
// class already customises pickling some other way.
int install_pickling(const ModuleFrame &frame) {
    PyObject *type = reinterpret_cast<PyObject *>(frame.type);
    PyObject *object = reinterpret_cast<PyObject *>(&PyBaseObject_Type);
    auto same_as_object = [&](const char *name, bool &same) {
        ref mine = ref::steal(PyObject_GetAttrString(type, name));
        ref base = ref::steal(PyObject_GetAttrString(object, name));
        if (!mine || !base) {
            return false;
        }
        same = mine.get() == base.get();
        return true;
    };
    bool getstate_default = false, reduce_ex_default = false, reduce_default = false;
    if (!same_as_object("__getstate__", getstate_default) || !same_as_object("__reduce_ex__", reduce_ex_default) ||
        !same_as_object("__reduce__", reduce_default)) {
        return -1;
    }
    if (!getstate_default || !reduce_ex_default) {
        return 0;
    }
    if (!reduce_default) {
        // Already installed (a repeated exec after a failure): nothing more to do.
        return 0;
    }
    PyMethodDef *defs = frame.pickling_defs();
    ref reduce = ref::steal(PyDescr_NewMethod(frame.type, &defs[0]));
    ref setstate = ref::steal(PyDescr_NewMethod(frame.type, &defs[1]));
    if (!reduce || !setstate || PyDict_SetItemString(frame.type->tp_dict, "__reduce__", reduce.get()) < 0 ||
        PyDict_SetItemString(frame.type->tp_dict, "__setstate__", setstate.get()) < 0) {
        return -1;
    }
    PyType_Modified(frame.type);
    return 0;
}

int add_static_methods(const ModuleFrame &frame, PyObject *module_name) {
    if (frame.static_methods == nullptr) {
        return 0;
    }
    for (PyMethodDef *def = frame.static_methods(); def->ml_name != nullptr; ++def) {
        ref function = ref::steal(PyCFunction_NewEx(def, nullptr, module_name));
        if (!function) {
            return -1;
        }
        ref method = ref::steal(PyObject_CallOneArg(frame.staticmethod, function.get()));
        if (!method || PyDict_SetItemString(frame.type->tp_dict, def->ml_name, method.get()) < 0) {
            return -1;
        }
    }
    PyType_Modified(frame.type);
    return 0;
}

int exec_steps(ModuleFrame &frame, PyObject *module) {
    ref builtins = ref::steal(PyImport_ImportModule("builtins"));
    if (!builtins || PyModule_AddObjectRef(module, "__builtins__", builtins.get()) < 0) {
        return -1;
    }
    if (check_version(frame) < 0) {
        return -1;
    }
    // Entered under its path unless the import system already did so.
    PyObject *modules = PyImport_GetModuleDict();
    ref path = ref::steal(PyUnicode_FromString(frame.path));
    if (!path) {
        return -1;
    }
    const int present = PyDict_Contains(modules, path.get());
    if (present < 0 || (present == 0 && PyDict_SetItem(modules, path.get(), module) < 0)) {
        return -1;
    }
    if (look_up_builtins(frame) < 0 || frame.prepare() < 0 || PyType_Ready(frame.type) < 0 ||
        publish_table(frame) < 0 ||
        PyModule_AddObjectRef(module, frame.class_name, reinterpret_cast<PyObject *>(frame.type)) < 0) {
        return -1;
    }
    if (install_pickling(frame) < 0) {
        if (!PyErr_Occurred()) {
            PyErr_Format(PyExc_RuntimeError, "Unable to initialize pickling for %.200s", frame.type->tp_name);
        }
        return -1;
    }
    if (frame.import_types != nullptr && frame.import_types() < 0) {
        return -1;
    }
    ref module_name = ref::steal(PyModule_GetNameObject(module));
    if (!module_name || add_static_methods(frame, module_name.get()) < 0) {
        return -1;
    }
    ref test = ref::steal(PyDict_New());
    if (!test || PyModule_AddObjectRef(module, "__test__", test.get()) < 0) {
        return -1;
    }
    return 0;
}

}  // namespace

int frame_exec(ModuleFrame &frame, PyObject *module) {
    if (frame.cached_module != nullptr) {
        if (frame.cached_module == module) {
            return 0;
        }
        PyErr_Format(PyExc_RuntimeError, "Module '%s' has already been imported. Re-initialisation is not supported.",
                     frame.def_name);
        return -1;
    }
    // The cache holds its own reference: an initialised module lives as long as the process.
    frame.cached_module = Py_NewRef(module);
    if (exec_steps(frame, module) < 0) {
        char entry[128];
        PyOS_snprintf(entry, sizeof entry, "init %s", frame.path);
        add_traceback(entry);
        Py_CLEAR(frame.cached_module);
        return -1;
    }
    return 0;
}

PyObject *frame_create(ModuleFrame &frame, PyObject *spec) {
    const int64_t current = PyInterpreterState_GetID(PyInterpreterState_Get());
    if (current == -1 && PyErr_Occurred()) {
        return nullptr;
    }
    if (frame.interpreter == -1) {
        frame.interpreter = current;
    } else if (frame.interpreter != current) {
        PyErr_SetString(PyExc_ImportError,
                        "Interpreter change detected - this module can only be loaded into one "
                        "interpreter per process.");
        return nullptr;
    }
    if (frame.cached_module != nullptr) {
        // The host drops the module's state pointer once create returns and exec then
        // allocates a new (empty) state: release the old block first, or every re-import
        // after removal from sys.modules leaks one. Nothing reads this state, and the cache
        // keeps the module alive, so no module dealloc can free the block a second time.
        PyMem_Free(PyModule_GetState(frame.cached_module));
        return Py_NewRef(frame.cached_module);
    }
    ref name = ref::steal(PyObject_GetAttrString(spec, "name"));
    if (!name) {
        return nullptr;
    }
    ref module = ref::steal(PyModule_NewObject(name.get()));
    if (!module || copy_spec_attr(spec, module.get(), "loader", "__loader__", false) < 0 ||
        copy_spec_attr(spec, module.get(), "origin", "__file__", false) < 0 ||
        copy_spec_attr(spec, module.get(), "parent", "__package__", false) < 0 ||
        copy_spec_attr(spec, module.get(), "submodule_search_locations", "__path__", true) < 0) {
        return nullptr;
    }
    return module.release();
}

int import_class(const char *module_path, const char *class_name, Py_ssize_t expected_size, PyTypeObject *&type,
                 void **table) {
    PyTypeObject *found = velmora_import_type(module_path, class_name, expected_size, table);
    if (found == nullptr) {
        return -1;
    }
    Py_XSETREF(type, found);
    return 0;
}

}  // namespace velmora
