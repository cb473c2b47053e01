/*
 * velmora's C interface: the instance records of every class, their C-level method
 * tables, and the size-checked import that hands a native module a class and its table.
 *
 * Other native modules compile against this header and call velmora's operations with
 * one indirect call. The layouts are a contract between separately built modules: the
 * import checks the instance size before a table is used. Compiles as C11 and C++20.
 *
 * Conventions of the tables:
 *   - an entry with an object result returns a new reference, or NULL with an exception set;
 *   - an entry with a double, truth-value (int) or no result reports failure only by leaving
 *     an exception set: test PyErr_Occurred() after the call;
 *   - the last int parameter named `skip_dispatch` is the override flag: pass 0 from native
 *     code (a Python subclass's override of the method is then honoured), non-zero to run
 *     the class's own code at once. The vector classes cannot be subclassed and ignore it;
 *   - callers guarantee the types of typed parameters (a Vector2Object * is a Vector2, a
 *     list parameter is a list with enough items); the entries do not check them.
 *
 * The constructor entry is named `new_` because `new` is reserved in C++.
 *
 * Compatibility: VELMORA_C_API_VERSION names this interface. Its major part changes when
 * an instance record, a table's slot order or an entry's parameters change: a module built
 * against an older major version must be rebuilt. Its minor part grows when entries or
 * helpers are added at the end, which older importers never see. The tables of the classes
 * that can be subclassed (Rect, GlyphInfo) never grow within a major version: a Cython
 * subclass's own entries follow its base's last slot. Check it at compile time:
 *
 *     #if VELMORA_C_API_VERSION_MAJOR != 1
 *     #error "built for another velmora C interface"
 *     #endif
 */
#ifndef VELMORA_H
#define VELMORA_H

#define VELMORA_C_API_VERSION_MAJOR 1
#define VELMORA_C_API_VERSION_MINOR 1
#define VELMORA_C_API_VERSION (VELMORA_C_API_VERSION_MAJOR * 100 + VELMORA_C_API_VERSION_MINOR)

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "velmora_records.h"

#ifdef __cplusplus
extern "C" {
#endif

struct Vector2MethodTable;
struct Vector3MethodTable;
struct Vector4MethodTable;
struct RectMethodTable;
struct GlyphInfoMethodTable;
struct ImageMethodTable;

/* ---- Instance records: object header, table pointer, value record. ---- */

typedef struct Vector2Object {
    PyObject_HEAD
    struct Vector2MethodTable *vtab;
    Vector2 data;
} Vector2Object;

typedef struct Vector3Object {
    PyObject_HEAD
    struct Vector3MethodTable *vtab;
    Vector3 data;
} Vector3Object;

typedef struct Vector4Object {
    PyObject_HEAD
    struct Vector4MethodTable *vtab;
    vector4_t data;
} Vector4Object;

typedef struct RectObject {
    PyObject_HEAD
    struct RectMethodTable *vtab;
    Rectangle _raw;
} RectObject;

typedef struct ImageObject {
    PyObject_HEAD
    struct ImageMethodTable *vtab;
    Image _raw;
    int is_owner;
} ImageObject;

typedef struct GlyphInfoObject {
    PyObject_HEAD
    struct GlyphInfoMethodTable *vtab;
    GlyphInfo _raw;
    PyObject *_image; /* an Image, or None; NULL only while the instance is destroyed */
} GlyphInfoObject;

/* ---- C-level method tables, in slot order (aligned by hand, each slot numbered). ---- */
/* clang-format off */

typedef struct Vector2MethodTable {
    Vector2Object *(*new_)(double x, double y);                                  /* 0 */
    Vector2Object *(*cfrom_struct)(Vector2 record);                              /* 1 */
    Vector2Object *(*cfrom_list)(PyObject *list);                                /* 2 */
    Vector2Object *(*cfrom_ints)(int x, int y);                                  /* 3 */
    Vector2Object *(*cfrom_floats)(float x, float y);                            /* 4 */
    Vector2Object *(*cfrom_tuple)(PyObject *tuple);                              /* 5 */
    Vector2Object *(*cfrom_vector2)(Vector2Object *other);                       /* 6 */
    Vector2Object *(*cfrom_xy)(double x, double y);                              /* 7 */
    Vector2Object *(*_add)(Vector2Object *self, Vector2Object *other);           /* 8 */
    Vector2Object *(*_sub)(Vector2Object *self, Vector2Object *other);           /* 9 */
    void (*_iadd)(Vector2Object *self, Vector2Object *other);                    /* 10 */
    void (*_isub)(Vector2Object *self, Vector2Object *other);                    /* 11 */
    void (*_imul)(Vector2Object *self, Vector2Object *other);                    /* 12 */
    void (*_sadd)(Vector2Object *self, Vector2Object *new_vec, Vector2Object *old_vec); /* 13 */
    void (*sadd)(Vector2Object *self, Vector2Object *new_vec, Vector2Object *old_vec,
                 int skip_dispatch);                                             /* 14 */
    PyObject *(*get_tuple)(Vector2Object *self, int skip_dispatch);              /* 15 */
    PyObject *(*c_get_tuple)(Vector2Object *self);                               /* 16 */
    Vector2Object *(*to_round)(Vector2Object *self, int skip_dispatch);          /* 17 */
    Vector2Object *(*get_round)(Vector2Object *self, int skip_dispatch);         /* 18 */
    Vector2Object *(*to_abs)(Vector2Object *self, int skip_dispatch);            /* 19 */
    Vector2Object *(*get_abs)(Vector2Object *self, int skip_dispatch);           /* 20 */
    Vector2Object *(*to_neg)(Vector2Object *self, int skip_dispatch);            /* 21 */
    Vector2Object *(*get_neg)(Vector2Object *self, int skip_dispatch);           /* 22 */
    PyObject *(*get_int_tuple)(Vector2Object *self, int skip_dispatch);          /* 23 */
    PyObject *(*get_rounded_tuple)(Vector2Object *self, int skip_dispatch);      /* 24 */
    Vector2Object *(*copy)(Vector2Object *self, int skip_dispatch);              /* 25 */
    Vector2Object *(*to_normalized)(Vector2Object *self, int skip_dispatch);     /* 26 */
    Vector2Object *(*get_normalized)(Vector2Object *self, int skip_dispatch);    /* 27 */
    double (*distance_to)(Vector2Object *self, Vector2Object *other, int skip_dispatch); /* 28 */
    double (*distance_squared_to)(Vector2Object *self, Vector2Object *other,
                                  int skip_dispatch);                            /* 29 */
    double (*dot)(Vector2Object *self, Vector2Object *other, int skip_dispatch); /* 30 */
} Vector2MethodTable;

typedef struct Vector3MethodTable {
    Vector3Object *(*new_)(double x, double y, double z);                        /* 0 */
    Vector3Object *(*cfrom_list)(PyObject *list);                                /* 1 */
    Vector3Object *(*cfrom_ints)(int x, int y, int z);                           /* 2 */
    Vector3Object *(*cfrom_floats)(float x, float y, float z);                   /* 3 */
    Vector3Object *(*cfrom_tuple)(PyObject *tuple);                              /* 4 */
    Vector3Object *(*cfrom_vector3)(Vector3Object *other);                       /* 5 */
    Vector3Object *(*cfrom_xyz)(double x, double y, double z);                   /* 6 */
    Vector3Object *(*_add)(Vector3Object *self, Vector3Object *other);           /* 7 */
    Vector3Object *(*_sub)(Vector3Object *self, Vector3Object *other);           /* 8 */
    void (*_iadd)(Vector3Object *self, Vector3Object *other);                    /* 9 */
    void (*_isub)(Vector3Object *self, Vector3Object *other);                    /* 10 */
    void (*_imul)(Vector3Object *self, Vector3Object *other);                    /* 11 */
    void (*_sadd)(Vector3Object *self, Vector3Object *new_vec, Vector3Object *old_vec); /* 12 */
    void (*sadd)(Vector3Object *self, Vector3Object *new_vec, Vector3Object *old_vec,
                 int skip_dispatch);                                             /* 13 */
    PyObject *(*get_tuple)(Vector3Object *self, int skip_dispatch);              /* 14 */
    PyObject *(*c_get_tuple)(Vector3Object *self);                               /* 15 */
    Vector3Object *(*to_round)(Vector3Object *self, int skip_dispatch);          /* 16 */
    Vector3Object *(*get_round)(Vector3Object *self, int skip_dispatch);         /* 17 */
    Vector3Object *(*to_abs)(Vector3Object *self, int skip_dispatch);            /* 18 */
    Vector3Object *(*get_abs)(Vector3Object *self, int skip_dispatch);           /* 19 */
    Vector3Object *(*to_neg)(Vector3Object *self, int skip_dispatch);            /* 20 */
    Vector3Object *(*get_neg)(Vector3Object *self, int skip_dispatch);           /* 21 */
    PyObject *(*get_int_tuple)(Vector3Object *self, int skip_dispatch);          /* 22 */
    PyObject *(*get_rounded_tuple)(Vector3Object *self, int skip_dispatch);      /* 23 */
    Vector3Object *(*copy)(Vector3Object *self, int skip_dispatch);              /* 24 */
    Vector3Object *(*to_normalized)(Vector3Object *self, int skip_dispatch);     /* 25 */
    Vector3Object *(*get_normalized)(Vector3Object *self, int skip_dispatch);    /* 26 */
    double (*distance_to)(Vector3Object *self, Vector3Object *other, int skip_dispatch); /* 27 */
    double (*distance_squared_to)(Vector3Object *self, Vector3Object *other,
                                  int skip_dispatch);                            /* 28 */
    double (*dot)(Vector3Object *self, Vector3Object *other, int skip_dispatch); /* 29 */
    Vector3Object *(*cross)(Vector3Object *self, Vector3Object *other, int skip_dispatch); /* 30 */
} Vector3MethodTable;

typedef struct Vector4MethodTable {
    Vector4Object *(*new_)(double x, double y, double z, double w);              /* 0 */
    Vector4Object *(*cfrom_list)(PyObject *list);                                /* 1 */
    Vector4Object *(*cfrom_ints)(int x, int y, int z, int w);                    /* 2 */
    Vector4Object *(*cfrom_floats)(float x, float y, float z, float w);          /* 3 */
    Vector4Object *(*cfrom_tuple)(PyObject *tuple);                              /* 4 */
    Vector4Object *(*cfrom_vector4)(Vector4Object *other);                       /* 5 */
    Vector4Object *(*cfrom_xyzw)(double x, double y, double z, double w);        /* 6 */
    Vector4Object *(*_add)(Vector4Object *self, Vector4Object *other);           /* 7 */
    Vector4Object *(*_sub)(Vector4Object *self, Vector4Object *other);           /* 8 */
    void (*_iadd)(Vector4Object *self, Vector4Object *other);                    /* 9 */
    void (*_isub)(Vector4Object *self, Vector4Object *other);                    /* 10 */
    void (*_imul)(Vector4Object *self, Vector4Object *other);                    /* 11 */
    void (*_sadd)(Vector4Object *self, Vector4Object *new_vec, Vector4Object *old_vec); /* 12 */
    void (*sadd)(Vector4Object *self, Vector4Object *new_vec, Vector4Object *old_vec,
                 int skip_dispatch);                                             /* 13 */
    PyObject *(*get_tuple)(Vector4Object *self, int skip_dispatch);              /* 14 */
    PyObject *(*c_get_tuple)(Vector4Object *self);                               /* 15 */
    Vector4Object *(*to_round)(Vector4Object *self, int skip_dispatch);          /* 16 */
    Vector4Object *(*get_round)(Vector4Object *self, int skip_dispatch);         /* 17 */
    Vector4Object *(*to_abs)(Vector4Object *self, int skip_dispatch);            /* 18 */
    Vector4Object *(*get_abs)(Vector4Object *self, int skip_dispatch);           /* 19 */
    Vector4Object *(*to_neg)(Vector4Object *self, int skip_dispatch);            /* 20 */
    Vector4Object *(*get_neg)(Vector4Object *self, int skip_dispatch);           /* 21 */
    PyObject *(*get_int_tuple)(Vector4Object *self, int skip_dispatch);          /* 22 */
    PyObject *(*get_rounded_tuple)(Vector4Object *self, int skip_dispatch);      /* 23 */
    Vector4Object *(*copy)(Vector4Object *self, int skip_dispatch);              /* 24 */
    Vector4Object *(*to_normalized)(Vector4Object *self, int skip_dispatch);     /* 25 */
    Vector4Object *(*get_normalized)(Vector4Object *self, int skip_dispatch);    /* 26 */
    double (*distance_to)(Vector4Object *self, Vector4Object *other, int skip_dispatch); /* 27 */
    double (*distance_squared_to)(Vector4Object *self, Vector4Object *other,
                                  int skip_dispatch);                            /* 28 */
    double (*dot)(Vector4Object *self, Vector4Object *other, int skip_dispatch); /* 29 */
} Vector4MethodTable;

typedef struct RectMethodTable {
    RectObject *(*new_)(Rectangle record);                                       /* 0 */
    PyObject *(*get_width)(RectObject *self, int skip_dispatch);                 /* 1 */
    PyObject *(*get_height)(RectObject *self, int skip_dispatch);                /* 2 */
    int (*collide_point)(RectObject *self, PyObject *point, int skip_dispatch);  /* 3 */
    int (*collide_point_vector2)(RectObject *self, Vector2Object *point,
                                 int skip_dispatch);                             /* 4 */
    int (*collide_point_tuple)(RectObject *self, PyObject *point, int skip_dispatch); /* 5 */
    int (*collide_point_list)(RectObject *self, PyObject *point, int skip_dispatch);  /* 6 */
    int (*collide_rect)(RectObject *self, PyObject *other, int skip_dispatch);   /* 7 */
    int (*collide_rect_vector4)(RectObject *self, Vector4Object *other,
                                int skip_dispatch);                              /* 8 */
    int (*collide_rect_rect)(RectObject *self, RectObject *other, int skip_dispatch); /* 9 */
    int (*collide_rect_tuple)(RectObject *self, PyObject *other, int skip_dispatch);  /* 10 */
    int (*collide_rect_list)(RectObject *self, PyObject *other, int skip_dispatch);   /* 11 */
    Vector4Object *(*get_vector4)(RectObject *self, int skip_dispatch);          /* 12 */
    PyObject *(*get_tuple)(RectObject *self, int skip_dispatch);                 /* 13 */
} RectMethodTable;

typedef struct GlyphInfoMethodTable {
    GlyphInfoObject *(*new_)(GlyphInfo record);                                  /* 0 */
} GlyphInfoMethodTable;

/* Optional arguments of the Image constructor entry: how many are given, then their values. */
typedef struct ImageNewOptArgs {
    int n;
    int is_owner;
} ImageNewOptArgs;

typedef struct ImageMethodTable {
    ImageObject *(*new_)(Image record, ImageNewOptArgs *optional_args);          /* 0 */
    ImageObject *(*c_load)(PyObject *path);                                      /* 1 */
    ImageObject *(*c_load_raw)(PyObject *path, int width, int height, int format,
                               int header_size);                                 /* 2 */
    ImageObject *(*c_load_anim)(PyObject *path, int *frames);                    /* 3 */
    ImageObject *(*c_load_from_screen)(void);                                    /* 4 */
    ImageObject *(*c_copy)(ImageObject *image);                                  /* 5 */
    int (*export_)(ImageObject *self, PyObject *path, int skip_dispatch);        /* 6 */
    void (*unload)(ImageObject *self, int skip_dispatch);                        /* 7 */
    ImageObject *(*copy)(ImageObject *self, int skip_dispatch);                  /* 8 */
    ImageObject *(*from_channel)(ImageObject *self, int channel, int skip_dispatch); /* 9 */
} ImageMethodTable;

/* clang-format on */

/*
 * Diagnostics for tests and profilers: the capsule a class publishes under "__pyx_vtable__"
 * carries, as its context (PyCapsule_GetContext), the state of the class's free list of
 * released instances. Capacity 0 means the build has no free list; NULL, that the class
 * keeps none.
 */
typedef struct VelmoraFreeListInfo {
    int capacity;
    const int *size; /* instances held now */
} VelmoraFreeListInfo;

/* ---- Importing a class of another module ---- */

/*
 * Imports `module_path`, takes its attribute `class_name`, checks that it is a type whose
 * instances are at least `expected_size` bytes (a larger size only warns), and, when
 * `table` is not NULL, reads the address of its C-level method table from the capsule
 * the class publishes under "__pyx_vtable__". Returns a new reference to the class, or
 * NULL with an exception set.
 */
static inline PyTypeObject *velmora_import_type(const char *module_path, const char *class_name,
                                                Py_ssize_t expected_size, void **table) {
    PyObject *module = PyImport_ImportModule(module_path);
    if (module == NULL) {
        return NULL;
    }
    PyObject *cls = PyObject_GetAttrString(module, class_name);
    Py_DECREF(module);
    if (cls == NULL) {
        return NULL;
    }
    if (!PyType_Check(cls)) {
        PyErr_Format(PyExc_TypeError, "%.200s.%.200s is not a type object", module_path, class_name);
        goto fail;
    }
    {
        PyTypeObject *type = (PyTypeObject *)cls;
        Py_ssize_t basic = type->tp_basicsize;
        Py_ssize_t actual = basic;
        if (type->tp_itemsize) {
            actual += type->tp_itemsize < (Py_ssize_t)sizeof(void *) ? (Py_ssize_t)sizeof(void *) : type->tp_itemsize;
        }
        if (actual < expected_size) {
            PyErr_Format(PyExc_ValueError,
                         "%.200s.%.200s size changed, may indicate binary incompatibility. "
                         "Expected %zd from C header, got %zd from PyObject",
                         module_path, class_name, expected_size, actual);
            goto fail;
        }
        if (basic > expected_size &&
            PyErr_WarnFormat(PyExc_RuntimeWarning, 0,
                             "%.200s.%.200s size changed, may indicate binary incompatibility. "
                             "Expected %zd from C header, got %zd from PyObject",
                             module_path, class_name, expected_size, basic) < 0) {
            goto fail;
        }
        if (table != NULL) {
            /* The class's own dictionary, not its bases': a table belongs to one layout. */
            PyObject *key = PyUnicode_FromString("__pyx_vtable__");
            if (key == NULL) {
                goto fail;
            }
            PyObject *capsule = PyObject_GetItem(type->tp_dict, key);
            Py_DECREF(key);
            if (capsule == NULL) {
                goto fail;
            }
            *table = PyCapsule_GetPointer(capsule, NULL);
            Py_DECREF(capsule);
            if (*table == NULL) {
                if (!PyErr_Occurred()) {
                    PyErr_SetString(PyExc_RuntimeError, "invalid vtable found for imported type");
                }
                goto fail;
            }
        }
    }
    return (PyTypeObject *)cls;
fail:
    Py_DECREF(cls);
    return NULL;
}

/*
 * The package's classes with their tables, for a module's initialisation:
 *
 *     Vector2MethodTable *v2;
 *     PyTypeObject *Vector2Type = velmora_import_vector2(&v2);
 *     if (Vector2Type == NULL) return -1;
 *     Vector2Object *v = v2->new_(3.0, 4.0);
 */
static inline PyTypeObject *velmora_import_vector2(Vector2MethodTable **table) {
    return velmora_import_type("velmora.vector2.vector2", "Vector2", sizeof(Vector2Object), (void **)table);
}
static inline PyTypeObject *velmora_import_vector3(Vector3MethodTable **table) {
    return velmora_import_type("velmora.vector3.vector3", "Vector3", sizeof(Vector3Object), (void **)table);
}
static inline PyTypeObject *velmora_import_vector4(Vector4MethodTable **table) {
    return velmora_import_type("velmora.vector4.vector4", "Vector4", sizeof(Vector4Object), (void **)table);
}
static inline PyTypeObject *velmora_import_rect(RectMethodTable **table) {
    return velmora_import_type("velmora.rect.rect", "Rect", sizeof(RectObject), (void **)table);
}
static inline PyTypeObject *velmora_import_glyph_info(GlyphInfoMethodTable **table) {
    return velmora_import_type("velmora.glyph_info.glyph_info", "GlyphInfo", sizeof(GlyphInfoObject), (void **)table);
}
static inline PyTypeObject *velmora_import_image(ImageMethodTable **table) {
    return velmora_import_type("velmora.image.image", "Image", sizeof(ImageObject), (void **)table);
}

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_H */
