/*
 * testabi: a test-only native module that uses velmora exactly as a third-party native
 * module would: import a class through the size-checked import, take its C-level table
 * from the capsule, call the slots. The tests compile it, in plain C11, against the
 * headers velmora installs (velmora.get_include()), which also proves they compile as C.
 */
#include "velmora.h"

#include <string.h>

static PyTypeObject *v2_type, *v3_type, *v4_type;
static Vector2MethodTable *v2;
static Vector3MethodTable *v3;
static Vector4MethodTable *v4;

/* Guards the test module itself: a wrong test argument must not crash the interpreter. */
static int check(PyObject *o, PyTypeObject *type) {
    if (Py_TYPE(o) != type) {
        PyErr_Format(PyExc_TypeError, "testabi: expected %s, got %s", type->tp_name, Py_TYPE(o)->tp_name);
        return 0;
    }
    return 1;
}

static PyObject *none_or_error(void) {
    if (PyErr_Occurred()) {
        return NULL;
    }
    Py_RETURN_NONE;
}

static PyObject *double_or_error(double d) {
    if (PyErr_Occurred()) {
        return NULL;
    }
    return PyFloat_FromDouble(d);
}

/* ---- entries the three vector tables share, by kind ---- */

#define SELF_FLAG_OBJ(P, O, name)                                                   \
    static PyObject *P##_##name(PyObject *m, PyObject *args) {                      \
        PyObject *s; int flag;                                                      \
        (void)m;                                                                    \
        if (!PyArg_ParseTuple(args, "Oi", &s, &flag) || !check(s, P##_type)) return NULL; \
        return (PyObject *)P->name((O *)s, flag);                                   \
    }
#define SELF_OTHER_OBJ(P, O, name)                                                  \
    static PyObject *P##_##name(PyObject *m, PyObject *args) {                      \
        PyObject *s, *o;                                                            \
        (void)m;                                                                    \
        if (!PyArg_ParseTuple(args, "OO", &s, &o) || !check(s, P##_type) || !check(o, P##_type)) return NULL; \
        return (PyObject *)P->name((O *)s, (O *)o);                                 \
    }
#define SELF_OTHER_VOID(P, O, name)                                                 \
    static PyObject *P##_##name(PyObject *m, PyObject *args) {                      \
        PyObject *s, *o;                                                            \
        (void)m;                                                                    \
        if (!PyArg_ParseTuple(args, "OO", &s, &o) || !check(s, P##_type) || !check(o, P##_type)) return NULL; \
        P->name((O *)s, (O *)o);                                                    \
        return none_or_error();                                                     \
    }
#define SELF_OTHER_FLAG_DOUBLE(P, O, name)                                          \
    static PyObject *P##_##name(PyObject *m, PyObject *args) {                      \
        PyObject *s, *o; int flag;                                                  \
        (void)m;                                                                    \
        if (!PyArg_ParseTuple(args, "OOi", &s, &o, &flag) || !check(s, P##_type) || !check(o, P##_type)) return NULL; \
        return double_or_error(P->name((O *)s, (O *)o, flag));                      \
    }

#define VECTOR_ENTRIES(P, O, COPY)                                                  \
    static PyObject *P##_cfrom_list(PyObject *m, PyObject *args) {                  \
        PyObject *l; (void)m;                                                       \
        if (!PyArg_ParseTuple(args, "O!", &PyList_Type, &l)) return NULL;           \
        return (PyObject *)P->cfrom_list(l);                                        \
    }                                                                               \
    static PyObject *P##_cfrom_tuple(PyObject *m, PyObject *args) {                 \
        PyObject *t; (void)m;                                                       \
        if (!PyArg_ParseTuple(args, "O!", &PyTuple_Type, &t)) return NULL;          \
        return (PyObject *)P->cfrom_tuple(t);                                       \
    }                                                                               \
    static PyObject *P##_##COPY(PyObject *m, PyObject *args) {                      \
        PyObject *o; (void)m;                                                       \
        if (!PyArg_ParseTuple(args, "O", &o) || !check(o, P##_type)) return NULL;   \
        return (PyObject *)P->COPY((O *)o);                                         \
    }                                                                               \
    static PyObject *P##_c_get_tuple(PyObject *m, PyObject *args) {                 \
        PyObject *s; (void)m;                                                       \
        if (!PyArg_ParseTuple(args, "O", &s) || !check(s, P##_type)) return NULL;   \
        return P->c_get_tuple((O *)s);                                              \
    }                                                                               \
    static PyObject *P##__sadd(PyObject *m, PyObject *args) {                       \
        PyObject *s, *a, *b; (void)m;                                               \
        if (!PyArg_ParseTuple(args, "OOO", &s, &a, &b) || !check(s, P##_type) ||    \
            !check(a, P##_type) || !check(b, P##_type)) return NULL;                \
        P->_sadd((O *)s, (O *)a, (O *)b);                                           \
        return none_or_error();                                                     \
    }                                                                               \
    static PyObject *P##_sadd(PyObject *m, PyObject *args) {                        \
        PyObject *s, *a, *b; int flag; (void)m;                                     \
        if (!PyArg_ParseTuple(args, "OOOi", &s, &a, &b, &flag) || !check(s, P##_type) || \
            !check(a, P##_type) || !check(b, P##_type)) return NULL;                \
        P->sadd((O *)s, (O *)a, (O *)b, flag);                                      \
        return none_or_error();                                                     \
    }                                                                               \
    SELF_OTHER_OBJ(P, O, _add)                                                      \
    SELF_OTHER_OBJ(P, O, _sub)                                                      \
    SELF_OTHER_VOID(P, O, _iadd)                                                    \
    SELF_OTHER_VOID(P, O, _isub)                                                    \
    SELF_OTHER_VOID(P, O, _imul)                                                    \
    SELF_FLAG_OBJ(P, O, get_tuple)                                                  \
    SELF_FLAG_OBJ(P, O, to_round)                                                   \
    SELF_FLAG_OBJ(P, O, get_round)                                                  \
    SELF_FLAG_OBJ(P, O, to_abs)                                                     \
    SELF_FLAG_OBJ(P, O, get_abs)                                                    \
    SELF_FLAG_OBJ(P, O, to_neg)                                                     \
    SELF_FLAG_OBJ(P, O, get_neg)                                                    \
    SELF_FLAG_OBJ(P, O, get_int_tuple)                                              \
    SELF_FLAG_OBJ(P, O, get_rounded_tuple)                                          \
    SELF_FLAG_OBJ(P, O, copy)                                                       \
    SELF_FLAG_OBJ(P, O, to_normalized)                                              \
    SELF_FLAG_OBJ(P, O, get_normalized)                                             \
    SELF_OTHER_FLAG_DOUBLE(P, O, distance_to)                                       \
    SELF_OTHER_FLAG_DOUBLE(P, O, distance_squared_to)                               \
    SELF_OTHER_FLAG_DOUBLE(P, O, dot)

VECTOR_ENTRIES(v2, Vector2Object, cfrom_vector2)
VECTOR_ENTRIES(v3, Vector3Object, cfrom_vector3)
VECTOR_ENTRIES(v4, Vector4Object, cfrom_vector4)

/* ---- entries whose arity differs per class ---- */

static PyObject *v2_new(PyObject *m, PyObject *a) {
    double x, y; (void)m;
    return PyArg_ParseTuple(a, "dd", &x, &y) ? (PyObject *)v2->new_(x, y) : NULL;
}
static PyObject *v2_cfrom_xy(PyObject *m, PyObject *a) {
    double x, y; (void)m;
    return PyArg_ParseTuple(a, "dd", &x, &y) ? (PyObject *)v2->cfrom_xy(x, y) : NULL;
}
static PyObject *v2_cfrom_ints(PyObject *m, PyObject *a) {
    int x, y; (void)m;
    return PyArg_ParseTuple(a, "ii", &x, &y) ? (PyObject *)v2->cfrom_ints(x, y) : NULL;
}
static PyObject *v2_cfrom_floats(PyObject *m, PyObject *a) {
    float x, y; (void)m;
    return PyArg_ParseTuple(a, "ff", &x, &y) ? (PyObject *)v2->cfrom_floats(x, y) : NULL;
}
static PyObject *v2_cfrom_struct(PyObject *m, PyObject *a) {
    Vector2 r; (void)m;
    return PyArg_ParseTuple(a, "ff", &r.x, &r.y) ? (PyObject *)v2->cfrom_struct(r) : NULL;
}
static PyObject *v3_new(PyObject *m, PyObject *a) {
    double x, y, z; (void)m;
    return PyArg_ParseTuple(a, "ddd", &x, &y, &z) ? (PyObject *)v3->new_(x, y, z) : NULL;
}
static PyObject *v3_cfrom_xyz(PyObject *m, PyObject *a) {
    double x, y, z; (void)m;
    return PyArg_ParseTuple(a, "ddd", &x, &y, &z) ? (PyObject *)v3->cfrom_xyz(x, y, z) : NULL;
}
static PyObject *v3_cfrom_ints(PyObject *m, PyObject *a) {
    int x, y, z; (void)m;
    return PyArg_ParseTuple(a, "iii", &x, &y, &z) ? (PyObject *)v3->cfrom_ints(x, y, z) : NULL;
}
static PyObject *v3_cfrom_floats(PyObject *m, PyObject *a) {
    float x, y, z; (void)m;
    return PyArg_ParseTuple(a, "fff", &x, &y, &z) ? (PyObject *)v3->cfrom_floats(x, y, z) : NULL;
}
static PyObject *v3_cross(PyObject *m, PyObject *args) {
    PyObject *s, *o; int flag; (void)m;
    if (!PyArg_ParseTuple(args, "OOi", &s, &o, &flag) || !check(s, v3_type) || !check(o, v3_type)) return NULL;
    return (PyObject *)v3->cross((Vector3Object *)s, (Vector3Object *)o, flag);
}
static PyObject *v4_new(PyObject *m, PyObject *a) {
    double x, y, z, w; (void)m;
    return PyArg_ParseTuple(a, "dddd", &x, &y, &z, &w) ? (PyObject *)v4->new_(x, y, z, w) : NULL;
}
static PyObject *v4_cfrom_xyzw(PyObject *m, PyObject *a) {
    double x, y, z, w; (void)m;
    return PyArg_ParseTuple(a, "dddd", &x, &y, &z, &w) ? (PyObject *)v4->cfrom_xyzw(x, y, z, w) : NULL;
}
static PyObject *v4_cfrom_ints(PyObject *m, PyObject *a) {
    int x, y, z, w; (void)m;
    return PyArg_ParseTuple(a, "iiii", &x, &y, &z, &w) ? (PyObject *)v4->cfrom_ints(x, y, z, w) : NULL;
}
static PyObject *v4_cfrom_floats(PyObject *m, PyObject *a) {
    float x, y, z, w; (void)m;
    return PyArg_ParseTuple(a, "ffff", &x, &y, &z, &w) ? (PyObject *)v4->cfrom_floats(x, y, z, w) : NULL;
}

/* ---- Rect, imported on first use so rect's own import can be tested first ---- */

static PyTypeObject *rect_type;
static RectMethodTable *rt;

static int need_rect(void) {
    if (rt == NULL) {
        rect_type = velmora_import_type("velmora.rect.rect", "Rect", sizeof(RectObject), (void **)&rt);
    }
    return rect_type != NULL;
}

static PyObject *r_new(PyObject *m, PyObject *a) {
    Rectangle r; (void)m;
    if (!need_rect() || !PyArg_ParseTuple(a, "ffff", &r.x, &r.y, &r.width, &r.height)) return NULL;
    return (PyObject *)rt->new_(r);
}

#define RECT_OBJ(name)                                                              \
    static PyObject *r_##name(PyObject *m, PyObject *a) {                           \
        PyObject *s; int flag; (void)m;                                             \
        if (!need_rect() || !PyArg_ParseTuple(a, "O!i", rect_type, &s, &flag)) return NULL; \
        return (PyObject *)rt->name((RectObject *)s, flag);                         \
    }
#define RECT_TEST(name, T)                                                          \
    static PyObject *r_##name(PyObject *m, PyObject *a) {                           \
        PyObject *s, *o; int flag; (void)m;                                         \
        if (!need_rect() || !PyArg_ParseTuple(a, "O!Oi", rect_type, &s, &o, &flag)) return NULL; \
        int result = rt->name((RectObject *)s, (T)o, flag);                         \
        if (PyErr_Occurred()) return NULL;                                          \
        return PyBool_FromLong(result);                                             \
    }

RECT_OBJ(get_width)
RECT_OBJ(get_height)
RECT_OBJ(get_vector4)
RECT_OBJ(get_tuple)
RECT_TEST(collide_point, PyObject *)
RECT_TEST(collide_point_vector2, Vector2Object *)
RECT_TEST(collide_point_tuple, PyObject *)
RECT_TEST(collide_point_list, PyObject *)
RECT_TEST(collide_rect, PyObject *)
RECT_TEST(collide_rect_vector4, Vector4Object *)
RECT_TEST(collide_rect_rect, RectObject *)
RECT_TEST(collide_rect_tuple, PyObject *)
RECT_TEST(collide_rect_list, PyObject *)

/* ---- GlyphInfo and a failing stand-in for the Image class ---- */

static GlyphInfoMethodTable *gi;

/* gi_new(value, offsetX, offsetY, advanceX, pixels, width, height, mipmaps, format) */
static PyObject *gi_new(PyObject *m, PyObject *a) {
    GlyphInfo g;
    unsigned long long pixels;
    (void)m;
    if (!PyArg_ParseTuple(a, "iiiiKiiii", &g.value, &g.offsetX, &g.offsetY, &g.advanceX, &pixels,
                          &g.image.width, &g.image.height, &g.image.mipmaps, &g.image.format)) {
        return NULL;
    }
    g.image.data = (void *)(uintptr_t)pixels;
    if (gi == NULL) {
        PyTypeObject *t = velmora_import_type("velmora.glyph_info.glyph_info", "GlyphInfo",
                                              sizeof(GlyphInfoObject), (void **)&gi);
        if (t == NULL) return NULL;
        Py_DECREF(t);
    }
    return (PyObject *)gi->new_(g);
}

/* A class laid out like Image whose `new` entry always fails. */
static ImageObject *failing_new(Image record, ImageNewOptArgs *optional) {
    (void)record;
    PyErr_Format(PyExc_RuntimeError, "image refused (is_owner=%d)", optional->is_owner);
    return NULL;
}
static ImageMethodTable failing_table = {.new_ = failing_new};
static PyTypeObject failing_image = {
    PyVarObject_HEAD_INIT(NULL, 0)
    .tp_name = "testabi.FailingImage",
    .tp_basicsize = sizeof(ImageObject),
    .tp_flags = Py_TPFLAGS_DEFAULT,
};

static PyObject *failing_image_type(PyObject *m, PyObject *unused) {
    (void)m; (void)unused;
    if (!(failing_image.tp_flags & Py_TPFLAGS_READY)) {
        if (PyType_Ready(&failing_image) < 0) return NULL;
        PyObject *capsule = PyCapsule_New(&failing_table, NULL, NULL);
        if (capsule == NULL) return NULL;
        int rc = PyDict_SetItemString(failing_image.tp_dict, "__pyx_vtable__", capsule);
        Py_DECREF(capsule);
        if (rc < 0) return NULL;
        PyType_Modified(&failing_image);
    }
    return Py_NewRef((PyObject *)&failing_image);
}

/* ---- a native subtype of a vector class, laid out as a Cython cdef subclass would be ---- */

/* The vector classes have no BASETYPE flag, which PyType_Ready does not check: a static type
 * can still name one as its base. Its tp_new calls the base's and then writes its own field,
 * as Cython's generated tp_new does. */
typedef struct {
    Vector4Object base; /* the largest of the three records */
    double extra;
} SubVectorObject;

static PyObject *sub_new(PyTypeObject *type, PyObject *args, PyObject *kwds) {
    PyObject *o = type->tp_base->tp_new(type, args, kwds);
    if (o != NULL) ((SubVectorObject *)o)->extra = 42.0;
    return o;
}

static PyTypeObject sub_types[3] = {
    {PyVarObject_HEAD_INIT(NULL, 0) .tp_name = "testabi.SubVector2"},
    {PyVarObject_HEAD_INIT(NULL, 0) .tp_name = "testabi.SubVector3"},
    {PyVarObject_HEAD_INIT(NULL, 0) .tp_name = "testabi.SubVector4"},
};

/* vector_subtype(cls): the subtype of Vector2, Vector3 or Vector4, made ready on first use. */
static PyObject *vector_subtype(PyObject *m, PyObject *cls) {
    (void)m;
    PyTypeObject *bases[3] = {v2_type, v3_type, v4_type};
    for (int i = 0; i < 3; ++i) {
        if (cls != (PyObject *)bases[i]) continue;
        PyTypeObject *t = &sub_types[i];
        if (!(t->tp_flags & Py_TPFLAGS_READY)) {
            t->tp_base = bases[i];
            t->tp_basicsize = sizeof(SubVectorObject);
            t->tp_flags = Py_TPFLAGS_DEFAULT;
            t->tp_new = sub_new;
            if (PyType_Ready(t) < 0) return NULL;
        }
        return Py_NewRef((PyObject *)t);
    }
    return PyErr_Format(PyExc_TypeError, "testabi: not a vector class");
}

/* ---- Rect entries called through the instance's own table, as a C caller of a subclass
 * made by Cython (whose instances point at the subclass's table) must call them ---- */

static PyObject *vtab_get_width(PyObject *m, PyObject *s) {
    (void)m;
    if (!need_rect()) return NULL;
    if (!PyObject_TypeCheck(s, rect_type)) return PyErr_Format(PyExc_TypeError, "testabi: not a Rect");
    return ((RectObject *)s)->vtab->get_width((RectObject *)s, 0);
}

static PyObject *vtab_collide_point(PyObject *m, PyObject *a) {
    PyObject *s, *p;
    (void)m;
    if (!need_rect() || !PyArg_ParseTuple(a, "O!O", rect_type, &s, &p)) return NULL;
    int result = ((RectObject *)s)->vtab->collide_point((RectObject *)s, p, 0);
    if (PyErr_Occurred()) return NULL;
    return PyBool_FromLong(result);
}

/* ---- the import routine and the module frame ---- */

/* import_type(module_path, class_name, expected_size, with_table) -> (type, table address) */
static PyObject *import_type(PyObject *m, PyObject *args) {
    const char *path, *name;
    Py_ssize_t size;
    int with_table;
    void *table = NULL;
    (void)m;
    if (!PyArg_ParseTuple(args, "ssnp", &path, &name, &size, &with_table)) return NULL;
    PyTypeObject *type = velmora_import_type(path, name, size, with_table ? &table : NULL);
    if (type == NULL) return NULL;
    return Py_BuildValue("(NK)", (PyObject *)type, (unsigned long long)(uintptr_t)table);
}

/* The address held by a class's __pyx_vtable__ capsule. */
static PyObject *table_address(PyObject *m, PyObject *cls) {
    (void)m;
    if (!PyType_Check(cls)) return PyErr_Format(PyExc_TypeError, "testabi: expected a type");
    PyObject *capsule = PyDict_GetItemString(((PyTypeObject *)cls)->tp_dict, "__pyx_vtable__");
    if (capsule == NULL) return PyErr_Format(PyExc_KeyError, "__pyx_vtable__");
    void *p = PyCapsule_GetPointer(capsule, NULL);
    return p ? PyLong_FromVoidPtr(p) : NULL;
}

/* Whether each slot of a class's table is filled, one bool per slot of the table as velmora.h
 * declares it (the class named by its full name). */
static PyObject *table_slots(PyObject *m, PyObject *cls) {
    (void)m;
    static const struct {
        const char *name;
        size_t size;
    } tables[] = {
        {"velmora.vector2.vector2.Vector2", sizeof(Vector2MethodTable)},
        {"velmora.vector3.vector3.Vector3", sizeof(Vector3MethodTable)},
        {"velmora.vector4.vector4.Vector4", sizeof(Vector4MethodTable)},
        {"velmora.rect.rect.Rect", sizeof(RectMethodTable)},
        {"velmora.glyph_info.glyph_info.GlyphInfo", sizeof(GlyphInfoMethodTable)},
        {"velmora.image.image.Image", sizeof(ImageMethodTable)},
    };
    PyObject *address = table_address(m, cls);
    if (address == NULL) return NULL;
    const unsigned char *table = PyLong_AsVoidPtr(address);
    Py_DECREF(address);
    for (size_t t = 0; t < sizeof tables / sizeof tables[0]; ++t) {
        if (strcmp(((PyTypeObject *)cls)->tp_name, tables[t].name) != 0) continue;
        size_t count = tables[t].size / sizeof(void (*)(void));
        PyObject *filled = PyList_New((Py_ssize_t)count);
        for (size_t i = 0; filled != NULL && i < count; ++i) {
            void (*slot)(void);
            memcpy(&slot, table + i * sizeof slot, sizeof slot);
            PyList_SET_ITEM(filled, (Py_ssize_t)i, PyBool_FromLong(slot != NULL));
        }
        return filled;
    }
    return PyErr_Format(PyExc_KeyError, "%s", ((PyTypeObject *)cls)->tp_name);
}

/* (capacity, size) of a class's free list, from its table capsule's context; None without one. */
static PyObject *freelist_info(PyObject *m, PyObject *cls) {
    (void)m;
    if (!PyType_Check(cls)) return PyErr_Format(PyExc_TypeError, "testabi: expected a type");
    PyObject *capsule = PyDict_GetItemString(((PyTypeObject *)cls)->tp_dict, "__pyx_vtable__");
    if (capsule == NULL) return PyErr_Format(PyExc_KeyError, "__pyx_vtable__");
    const VelmoraFreeListInfo *info = PyCapsule_GetContext(capsule);
    if (info == NULL) return PyErr_Occurred() ? NULL : Py_NewRef(Py_None);
    return Py_BuildValue("(ii)", info->capacity, *info->size);
}

/* Runs a module's exec step on a new module object made from the same definition. */
static PyObject *exec_on_new_module(PyObject *m, PyObject *module) {
    (void)m;
    PyModuleDef *def = PyModule_GetDef(module);
    if (def == NULL) return PyErr_Occurred() ? NULL : PyErr_Format(PyExc_TypeError, "no module definition");
    PyObject *other = PyModule_New("velmora_testabi_other");
    if (other == NULL) return NULL;
    if (PyModule_ExecDef(other, def) < 0) {
        Py_DECREF(other);
        return NULL;
    }
    return other;
}

#define E(name) {#name, (PyCFunction)(void (*)(void))name, METH_VARARGS, NULL}
#define VECTOR_DEFS(P, COPY)                                                        \
    E(P##_new), E(P##_cfrom_list), E(P##_cfrom_ints), E(P##_cfrom_floats), E(P##_cfrom_tuple), \
    E(P##_##COPY), E(P##__add), E(P##__sub), E(P##__iadd), E(P##__isub), E(P##__imul),     \
    E(P##__sadd), E(P##_sadd), E(P##_get_tuple), E(P##_c_get_tuple), E(P##_to_round),      \
    E(P##_get_round), E(P##_to_abs), E(P##_get_abs), E(P##_to_neg), E(P##_get_neg),        \
    E(P##_get_int_tuple), E(P##_get_rounded_tuple), E(P##_copy), E(P##_to_normalized),     \
    E(P##_get_normalized), E(P##_distance_to), E(P##_distance_squared_to), E(P##_dot)

static PyMethodDef methods[] = {
    VECTOR_DEFS(v2, cfrom_vector2), E(v2_cfrom_struct), E(v2_cfrom_xy),
    VECTOR_DEFS(v3, cfrom_vector3), E(v3_cfrom_xyz), E(v3_cross),
    VECTOR_DEFS(v4, cfrom_vector4), E(v4_cfrom_xyzw),
    E(r_new), E(r_get_width), E(r_get_height), E(r_get_vector4), E(r_get_tuple),
    E(r_collide_point), E(r_collide_point_vector2), E(r_collide_point_tuple), E(r_collide_point_list),
    E(r_collide_rect), E(r_collide_rect_vector4), E(r_collide_rect_rect), E(r_collide_rect_tuple),
    E(r_collide_rect_list),
    E(import_type), E(gi_new),
    {"failing_image_type", failing_image_type, METH_NOARGS, NULL},
    {"table_address", table_address, METH_O, NULL},
    {"freelist_info", freelist_info, METH_O, NULL},
    {"table_slots", table_slots, METH_O, NULL},
    {"exec_on_new_module", exec_on_new_module, METH_O, NULL},
    {"vector_subtype", vector_subtype, METH_O, NULL},
    {"vtab_get_width", vtab_get_width, METH_O, NULL},
    E(vtab_collide_point),
    {NULL, NULL, 0, NULL},
};

static int exec_module(PyObject *module) {
    (void)module;
    v2_type = velmora_import_type("velmora.vector2.vector2", "Vector2", sizeof(Vector2Object), (void **)&v2);
    if (v2_type == NULL) return -1;
    v3_type = velmora_import_type("velmora.vector3.vector3", "Vector3", sizeof(Vector3Object), (void **)&v3);
    if (v3_type == NULL) return -1;
    v4_type = velmora_import_type("velmora.vector4.vector4", "Vector4", sizeof(Vector4Object), (void **)&v4);
    if (v4_type == NULL) return -1;
    return 0;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "testabi", NULL, 0, methods, slots, NULL, NULL, NULL};

PyMODINIT_FUNC PyInit_testabi(void) { return PyModuleDef_Init(&def); }
