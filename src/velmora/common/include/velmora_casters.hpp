// velmora's records to and from velmora objects, for C++ binding libraries: what the type
// casters of velmora_pybind11.hpp and velmora_nanobind.hpp share. Header-only; a module that
// uses it links against nothing of velmora: the classes and their tables are imported at run
// time, once, by velmora::import_tables() (call it in the module's initialisation).
//
// For each record (raylib's Vector2, Vector3 and Rectangle, velmora's vector4_t):
//   - an instance of its class is read in place: load() returns a pointer into the object's
//     record, so a C++ reference parameter writes through to the Python object. A Rect
//     subclass's instance is a Rect; the vector classes have no subclasses;
//   - with conversion allowed, a list or tuple of the class's length is converted by calling
//     the class with it, exactly as Python code constructing one would;
//   - anything else is refused without an exception, so the binding library raises its own;
//   - make() gives a new object of exactly the class, by its table's slot 0 (`new_`).
#ifndef VELMORA_CASTERS_HPP
#define VELMORA_CASTERS_HPP

#include "velmora.h"

namespace velmora {

// The classes and tables, kept for the life of the process (as tables are).
struct CasterTables {
    PyTypeObject *vector2_type = nullptr;
    PyTypeObject *vector3_type = nullptr;
    PyTypeObject *vector4_type = nullptr;
    PyTypeObject *rect_type = nullptr;
    Vector2MethodTable *vector2 = nullptr;
    Vector3MethodTable *vector3 = nullptr;
    Vector4MethodTable *vector4 = nullptr;
    RectMethodTable *rect = nullptr;
};
inline CasterTables caster_tables;

// Imports Vector2, Vector3, Vector4 and Rect with their tables, once. 0, or -1 with an
// exception set: in a pybind11 module `if (velmora::import_tables() < 0) throw
// pybind11::error_already_set();`, in a nanobind one `… throw nanobind::python_error();`.
inline int import_tables() {
    CasterTables &t = caster_tables;
    if (t.rect != nullptr) {
        return 0;
    }
    CasterTables made;
    if ((made.vector2_type = velmora_import_vector2(&made.vector2)) == nullptr ||
        (made.vector3_type = velmora_import_vector3(&made.vector3)) == nullptr ||
        (made.vector4_type = velmora_import_vector4(&made.vector4)) == nullptr ||
        (made.rect_type = velmora_import_rect(&made.rect)) == nullptr) {
        Py_XDECREF(made.vector2_type);
        Py_XDECREF(made.vector3_type);
        Py_XDECREF(made.vector4_type);
        return -1;
    }
    t = made;  // the class references are kept for good
    return 0;
}

// What a record's class is: its Python name for signatures, its instance test, where its
// record lies in an instance, and its constructor entry.
template <class Record> struct RecordClass;

template <> struct RecordClass<Vector2> {
    static constexpr char name[] = "velmora.Vector2";
    static constexpr Py_ssize_t length = 2;
    static PyTypeObject *type() { return caster_tables.vector2_type; }
    static bool is_instance(PyObject *o) { return Py_TYPE(o) == type(); }  // the class is final
    static Vector2 *record(PyObject *o) { return &reinterpret_cast<Vector2Object *>(o)->data; }
    static PyObject *make(const Vector2 &r) {
        return reinterpret_cast<PyObject *>(caster_tables.vector2->new_(r.x, r.y));
    }
};

template <> struct RecordClass<Vector3> {
    static constexpr char name[] = "velmora.Vector3";
    static constexpr Py_ssize_t length = 3;
    static PyTypeObject *type() { return caster_tables.vector3_type; }
    static bool is_instance(PyObject *o) { return Py_TYPE(o) == type(); }
    static Vector3 *record(PyObject *o) { return &reinterpret_cast<Vector3Object *>(o)->data; }
    static PyObject *make(const Vector3 &r) {
        return reinterpret_cast<PyObject *>(caster_tables.vector3->new_(r.x, r.y, r.z));
    }
};

template <> struct RecordClass<vector4_t> {
    static constexpr char name[] = "velmora.Vector4";
    static constexpr Py_ssize_t length = 4;
    static PyTypeObject *type() { return caster_tables.vector4_type; }
    static bool is_instance(PyObject *o) { return Py_TYPE(o) == type(); }
    static vector4_t *record(PyObject *o) { return &reinterpret_cast<Vector4Object *>(o)->data; }
    static PyObject *make(const vector4_t &r) {
        return reinterpret_cast<PyObject *>(caster_tables.vector4->new_(r.x, r.y, r.z, r.w));
    }
};

template <> struct RecordClass<Rectangle> {
    static constexpr char name[] = "velmora.Rect";
    static constexpr Py_ssize_t length = 4;
    static PyTypeObject *type() { return caster_tables.rect_type; }
    static bool is_instance(PyObject *o) { return PyObject_TypeCheck(o, type()); }  // subclasses too
    static Rectangle *record(PyObject *o) { return &reinterpret_cast<RectObject *>(o)->_raw; }
    static PyObject *make(const Rectangle &r) { return reinterpret_cast<PyObject *>(caster_tables.rect->new_(r)); }
};

// The record of `src`: in place for an instance of the class; else, with `convert`, a list or
// tuple of the class's length made into one by the class's constructor and copied into
// `local`. nullptr, with no exception set, for anything else (or a failed conversion).
template <class Record> Record *load_record(PyObject *src, bool convert, Record &local) {
    using C = RecordClass<Record>;
    if (import_tables() < 0) {
        PyErr_Clear();  // the binding library's own error says the argument was not taken
        return nullptr;
    }
    if (C::is_instance(src)) {
        return C::record(src);
    }
    if (!convert || !(PyList_Check(src) || PyTuple_Check(src))) {
        return nullptr;
    }
    const Py_ssize_t n = PyObject_Length(src);
    PyObject *made = n == C::length ? PyObject_CallOneArg(reinterpret_cast<PyObject *>(C::type()), src) : nullptr;
    if (made == nullptr) {
        PyErr_Clear();
        return nullptr;
    }
    local = *C::record(made);
    Py_DECREF(made);
    return &local;
}

// A new object of exactly the record's class: a new reference, or nullptr with an exception set.
template <class Record> PyObject *make_object(const Record &r) {
    if (import_tables() < 0) {
        return nullptr;
    }
    return RecordClass<Record>::make(r);
}

}  // namespace velmora

#endif  // VELMORA_CASTERS_HPP
