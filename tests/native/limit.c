/*
 * limit: the fastest extension types the C API allows for velmora's hot operations, as a
 * yardstick for tests/bench_limit.py. Each type keeps velmora's contract where it costs
 * something: final static vector types with a free list (public API only: PyObject_Init),
 * a type-level vectorcall with an exact-float fast path, keyword-capable methods, iteration
 * through the sequence protocol only (no tp_iter), a subclassable Rect with a free list for
 * exact instances, and other objects read by attribute or item where velmora reads them so.
 * Nothing else: no error tracebacks beyond what the interpreter adds, no argument shapes
 * beyond the benchmarked ones.
 */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <math.h>
#include <string.h>

#define CAPACITY 1000

/* ---- keyword-capable binding of one parameter ---- */

static int bind_one(const char *name, const char *param, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames,
                    PyObject **out) {
    Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (kwnames == NULL && nargs == 1) {
        *out = args[0];
        return 1;
    }
    if (kwnames != NULL && nargs == 0 && PyTuple_GET_SIZE(kwnames) == 1 &&
        PyUnicode_CompareWithASCIIString(PyTuple_GET_ITEM(kwnames, 0), param) == 0) {
        *out = args[0];
        return 1;
    }
    PyErr_Format(PyExc_TypeError, "%s() takes exactly one argument", name);
    return 0;
}

static int to_double(PyObject *o, double *out) {
    if (PyFloat_CheckExact(o)) {
        *out = PyFloat_AS_DOUBLE(o);
        return 1;
    }
    *out = PyFloat_AsDouble(o);
    return !(*out == -1.0 && PyErr_Occurred());
}

/* ---- Vector2: two floats ---- */

typedef struct {
    PyObject_HEAD
    void *vtab;
    float x, y;
} V2;

static PyTypeObject V2_Type;
static V2 *v2_free[CAPACITY];
static int v2_count;
/* Made once at initialisation: iteration ends on this IndexError, so raising it makes no string. */
static PyObject *v2_index_message;

static V2 *v2_make(float x, float y) {
    V2 *o;
    if (v2_count > 0) {
        o = v2_free[--v2_count];
        PyObject_Init((PyObject *)o, &V2_Type);
    } else {
        o = (V2 *)V2_Type.tp_alloc(&V2_Type, 0);
        if (o == NULL) return NULL;
    }
    o->x = x;
    o->y = y;
    return o;
}

static void v2_dealloc(PyObject *o) {
    if (v2_count < CAPACITY) {
        v2_free[v2_count++] = (V2 *)o;
        return;
    }
    Py_TYPE(o)->tp_free(o);
}

static PyObject *v2_vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    (void)type;
    double x, y;
    if (kwnames != NULL || PyVectorcall_NARGS(nargsf) != 2) {
        PyErr_SetString(PyExc_TypeError, "Vector2(x, y)");
        return NULL;
    }
    if (!to_double(args[0], &x) || !to_double(args[1], &y)) return NULL;
    return (PyObject *)v2_make((float)x, (float)y);
}

static PyObject *v2_add(PyObject *a, PyObject *b) {
    if (Py_TYPE(a) != &V2_Type || Py_TYPE(b) != &V2_Type) Py_RETURN_NOTIMPLEMENTED;
    return (PyObject *)v2_make(((V2 *)a)->x + ((V2 *)b)->x, ((V2 *)a)->y + ((V2 *)b)->y);
}

static PyObject *v2_mul(PyObject *a, PyObject *b) {
    if (Py_TYPE(a) != &V2_Type) Py_RETURN_NOTIMPLEMENTED;
    double k;
    if (PyFloat_CheckExact(b)) {
        k = PyFloat_AS_DOUBLE(b);
    } else if (PyLong_Check(b)) {
        k = PyLong_AsDouble(b);
        if (k == -1.0 && PyErr_Occurred()) return NULL;
    } else {
        Py_RETURN_NOTIMPLEMENTED;
    }
    return (PyObject *)v2_make((float)(((V2 *)a)->x * k), (float)(((V2 *)a)->y * k));
}

static PyObject *v2_get_x(PyObject *self, void *c) {
    (void)c;
    return PyFloat_FromDouble(((V2 *)self)->x);
}
static PyObject *v2_get_length(PyObject *self, void *c) {
    (void)c;
    V2 *v = (V2 *)self;
    return PyFloat_FromDouble(sqrtf(fmaf(v->y, v->y, v->x * v->x)));
}
static PyObject *v2_get_yx(PyObject *self, void *c) {
    (void)c;
    return (PyObject *)v2_make(((V2 *)self)->y, ((V2 *)self)->x);
}

static PyObject *v2_dot(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    PyObject *other;
    if (!bind_one("dot", "other", args, nargs, kwnames, &other)) return NULL;
    if (Py_TYPE(other) != &V2_Type) {
        PyErr_SetString(PyExc_TypeError, "dot(Vector2)");
        return NULL;
    }
    V2 *a = (V2 *)self, *b = (V2 *)other;
    return PyFloat_FromDouble(fmaf(a->y, b->y, a->x * b->x));
}

/* Iteration and unpacking go through the sequence protocol: the type has no tp_iter. */
static Py_ssize_t v2_length(PyObject *self) {
    (void)self;
    return 2;
}
static PyObject *v2_item(PyObject *self, Py_ssize_t i) {
    if (i < 0 || i > 1) {
        PyErr_SetObject(PyExc_IndexError, v2_index_message);
        return NULL;
    }
    return PyFloat_FromDouble(i == 0 ? ((V2 *)self)->x : ((V2 *)self)->y);
}

static PyObject *v2_subscript(PyObject *self, PyObject *key) {
    Py_ssize_t i = PyLong_CheckExact(key) ? PyLong_AsSsize_t(key) : PyNumber_AsSsize_t(key, PyExc_OverflowError);
    if (i == -1 && PyErr_Occurred()) return NULL;
    return v2_item(self, i);
}

static PyObject *v2_repr(PyObject *self) {
    char *x = PyOS_double_to_string(((V2 *)self)->x, 'r', 0, Py_DTSF_ADD_DOT_0, NULL);
    char *y = x ? PyOS_double_to_string(((V2 *)self)->y, 'r', 0, Py_DTSF_ADD_DOT_0, NULL) : NULL;
    PyObject *result = NULL;
    if (y != NULL) {
        size_t a = strlen(x), b = strlen(y);
        result = PyUnicode_New((Py_ssize_t)(a + b + 11), 127);
        if (result != NULL) {
            char *out = (char *)PyUnicode_1BYTE_DATA(result);
            memcpy(out, "Vector2(", 8);
            memcpy(out + 8, x, a);
            memcpy(out + 8 + a, ", ", 2);
            memcpy(out + 10 + a, y, b);
            out[10 + a + b] = ')';
        }
    }
    PyMem_Free(x);
    PyMem_Free(y);
    return result;
}

static PyNumberMethods v2_number = {.nb_add = v2_add, .nb_multiply = v2_mul};
static PySequenceMethods v2_sequence = {.sq_length = v2_length, .sq_item = v2_item};
static PyMappingMethods v2_mapping = {.mp_subscript = v2_subscript};
static PyGetSetDef v2_getset[] = {
    {"x", v2_get_x, NULL, NULL, NULL},
    {"length", v2_get_length, NULL, NULL, NULL},
    {"yx", v2_get_yx, NULL, NULL, NULL},
    {NULL, NULL, NULL, NULL, NULL},
};
static PyMethodDef v2_methods[] = {
    {"dot", (PyCFunction)(void (*)(void))v2_dot, METH_FASTCALL | METH_KEYWORDS, NULL},
    {NULL, NULL, 0, NULL},
};
static PyTypeObject V2_Type = {
    PyVarObject_HEAD_INIT(NULL, 0)
    .tp_name = "limit.Vector2",
    .tp_basicsize = sizeof(V2),
    .tp_dealloc = v2_dealloc,
    .tp_repr = v2_repr,
    .tp_as_number = &v2_number,
    .tp_as_sequence = &v2_sequence,
    .tp_as_mapping = &v2_mapping,
    .tp_flags = Py_TPFLAGS_DEFAULT,
    .tp_methods = v2_methods,
    .tp_getset = v2_getset,
    .tp_vectorcall = v2_vectorcall,
};

/* ---- Vector4: four doubles, addition only ---- */

typedef struct {
    PyObject_HEAD
    void *vtab;
    double v[4];
} V4;

static PyTypeObject V4_Type;
static V4 *v4_free[CAPACITY];
static int v4_count;

static V4 *v4_make(void) {
    V4 *o;
    if (v4_count > 0) {
        o = v4_free[--v4_count];
        PyObject_Init((PyObject *)o, &V4_Type);
        return o;
    }
    return (V4 *)V4_Type.tp_alloc(&V4_Type, 0);
}
static void v4_dealloc(PyObject *o) {
    if (v4_count < CAPACITY) {
        v4_free[v4_count++] = (V4 *)o;
        return;
    }
    Py_TYPE(o)->tp_free(o);
}
static PyObject *v4_vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    (void)type;
    double v[4];
    if (kwnames != NULL || PyVectorcall_NARGS(nargsf) != 4) {
        PyErr_SetString(PyExc_TypeError, "Vector4(x, y, z, w)");
        return NULL;
    }
    for (int i = 0; i < 4; ++i) {
        if (!to_double(args[i], &v[i])) return NULL;
    }
    V4 *o = v4_make();
    if (o != NULL) memcpy(o->v, v, sizeof v);
    return (PyObject *)o;
}
static PyObject *v4_add(PyObject *a, PyObject *b) {
    if (Py_TYPE(a) != &V4_Type || Py_TYPE(b) != &V4_Type) Py_RETURN_NOTIMPLEMENTED;
    V4 *o = v4_make();
    if (o != NULL) {
        for (int i = 0; i < 4; ++i) o->v[i] = ((V4 *)a)->v[i] + ((V4 *)b)->v[i];
    }
    return (PyObject *)o;
}
static PyNumberMethods v4_number = {.nb_add = v4_add};
static PyTypeObject V4_Type = {
    PyVarObject_HEAD_INIT(NULL, 0)
    .tp_name = "limit.Vector4",
    .tp_basicsize = sizeof(V4),
    .tp_dealloc = v4_dealloc,
    .tp_as_number = &v4_number,
    .tp_flags = Py_TPFLAGS_DEFAULT,
    .tp_vectorcall = v4_vectorcall,
};

/* ---- Rect: four floats, subclassable, free list for exact instances ---- */

typedef struct {
    PyObject_HEAD
    void *vtab;
    float x, y, w, h;
} R;

static PyTypeObject R_Type;
static R *r_free[CAPACITY];
static int r_count;

static PyObject *r_new(PyTypeObject *type, PyObject *args, PyObject *kw) {
    (void)args;
    (void)kw;
    R *o;
    if (type == &R_Type && r_count > 0) {
        o = r_free[--r_count];
        PyObject_Init((PyObject *)o, type);
    } else {
        o = (R *)type->tp_alloc(type, 0);
        if (o == NULL) return NULL;
    }
    o->x = o->y = o->w = o->h = 0;
    return (PyObject *)o;
}
static void r_dealloc(PyObject *o) {
    if (Py_TYPE(o) == &R_Type && r_count < CAPACITY) {
        r_free[r_count++] = (R *)o;
        return;
    }
    Py_TYPE(o)->tp_free(o);
}
static PyObject *name_x, *name_y; /* interned at initialisation */

/* x and y of a vector argument: an exact Vector2's record directly (the class is final), any
 * other object by its attributes x and y, each converted as soon as it is read. */
static int read_xy(PyObject *o, float *x, float *y) {
    if (Py_TYPE(o) == &V2_Type) {
        *x = ((V2 *)o)->x;
        *y = ((V2 *)o)->y;
        return 1;
    }
    PyObject *names[2] = {name_x, name_y};
    float *out[2] = {x, y};
    for (int i = 0; i < 2; ++i) {
        double d;
        PyObject *a = PyObject_GetAttr(o, names[i]);
        int ok = a != NULL && to_double(a, &d);
        Py_XDECREF(a);
        if (!ok) return 0;
        *out[i] = (float)d;
    }
    return 1;
}

/* Rect(x, y, w, h), or Rect(position, size) with a Vector2 position and a size with x and y;
 * every value is read before anything is stored. */
static Py_ALWAYS_INLINE inline int r_read(PyObject *const *args, Py_ssize_t n, float out[4]) {
    if (n == 4) {
        double v[4];
        for (int i = 0; i < 4; ++i) {
            if (!to_double(args[i], &v[i])) return 0;
        }
        out[0] = (float)v[0], out[1] = (float)v[1], out[2] = (float)v[2], out[3] = (float)v[3];
        return 1;
    }
    if (n == 2 && Py_TYPE(args[0]) == &V2_Type) {
        return read_xy(args[0], &out[0], &out[1]) && read_xy(args[1], &out[2], &out[3]);
    }
    PyErr_SetString(PyExc_TypeError, "Rect(x, y, w, h) or Rect(Vector2, size)");
    return 0;
}

static void r_store(R *r, const float v[4]) { r->x = v[0], r->y = v[1], r->w = v[2], r->h = v[3]; }

static int r_init(PyObject *self, PyObject *args, PyObject *kw) {
    float v[4];
    if (kw != NULL && PyDict_GET_SIZE(kw) != 0) {
        PyErr_SetString(PyExc_TypeError, "Rect() takes no keyword arguments");
        return -1;
    }
    if (!r_read(PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args), v)) return -1;
    r_store((R *)self, v);
    return 0;
}
static PyObject *r_vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    float v[4];
    if (kwnames != NULL) {
        PyErr_SetString(PyExc_TypeError, "Rect() takes no keyword arguments");
        return NULL;
    }
    if (!r_read(args, PyVectorcall_NARGS(nargsf), v)) return NULL;
    R *r = (R *)r_new((PyTypeObject *)type, NULL, NULL);
    if (r != NULL) r_store(r, v);
    return (PyObject *)r;
}

/* The centre in double, one rounding to float: width * 0.5 is exact, so x + width * 0.5 is the
 * fused multiply-add's value without its call. */
static PyObject *r_get_center(PyObject *self, void *c) {
    (void)c;
    R *r = (R *)self;
    return (PyObject *)v2_make((float)((double)r->x + (double)r->w * 0.5), (float)((double)r->y + (double)r->h * 0.5));
}

/* Item i of an indexable object as a double: an exact tuple's directly, anything else by the
 * interpreter's item access with an int key (mappings answer too). */
static int item_double(PyObject *o, Py_ssize_t i, double *out) {
    if (PyTuple_CheckExact(o) && i < PyTuple_GET_SIZE(o)) return to_double(PyTuple_GET_ITEM(o, i), out);
    PyObject *key = PyLong_FromSsize_t(i);
    PyObject *item = key != NULL ? PyObject_GetItem(o, key) : NULL;
    int ok = item != NULL && to_double(item, out);
    Py_XDECREF(key);
    Py_XDECREF(item);
    return ok;
}

/* From a Vector2 or any indexable pair (its length is not tested). Both values are read, and
 * may run Python code, before the width and height are read and anything is stored. */
static int r_set_center(PyObject *self, PyObject *value, void *c) {
    (void)c;
    double cx, cy;
    if (value == NULL) {
        PyErr_SetString(PyExc_AttributeError, "center cannot be deleted");
        return -1;
    }
    if (Py_TYPE(value) == &V2_Type) {
        cx = ((V2 *)value)->x;
        cy = ((V2 *)value)->y;
    } else if (!item_double(value, 0, &cx) || !item_double(value, 1, &cy)) {
        return -1;
    }
    R *r = (R *)self;
    float x = (float)(cx - (double)r->w * 0.5), y = (float)(cy - (double)r->h * 0.5);
    r->x = x;
    r->y = y;
    return 0;
}

static PyObject *r_collide_point(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    PyObject *p;
    double px, py;
    if (!bind_one("collide_point", "point", args, nargs, kwnames, &p)) return NULL;
    if (PyTuple_CheckExact(p) && PyTuple_GET_SIZE(p) == 2) {
        if (!to_double(PyTuple_GET_ITEM(p, 0), &px) || !to_double(PyTuple_GET_ITEM(p, 1), &py)) return NULL;
    } else if (Py_TYPE(p) == &V2_Type) {
        px = ((V2 *)p)->x;
        py = ((V2 *)p)->y;
    } else {
        PyErr_SetString(PyExc_ValueError, "Point must be a Vector2 or a tuple of length 2");
        return NULL;
    }
    R *r = (R *)self;
    int inside = px >= r->x && px <= (double)(r->x + r->w) && py >= r->y && py <= (double)(r->y + r->h);
    return Py_NewRef(inside ? Py_True : Py_False);
}

static PyObject *r_collide_rect(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    PyObject *o;
    if (!bind_one("collide_rect", "other", args, nargs, kwnames, &o)) return NULL;
    if (!PyObject_TypeCheck(o, &R_Type)) {
        PyErr_SetString(PyExc_TypeError, "collide_rect(Rect)");
        return NULL;
    }
    R *r = (R *)self, *s = (R *)o;
    int hit = (double)s->x + s->w > r->x && (double)(r->x + r->w) > s->x && (double)s->y + s->h > r->y &&
              (double)(r->y + r->h) > s->y;
    return Py_NewRef(hit ? Py_True : Py_False);
}

static PyMethodDef r_methods[] = {
    {"collide_point", (PyCFunction)(void (*)(void))r_collide_point, METH_FASTCALL | METH_KEYWORDS, NULL},
    {"collide_rect", (PyCFunction)(void (*)(void))r_collide_rect, METH_FASTCALL | METH_KEYWORDS, NULL},
    {NULL, NULL, 0, NULL},
};
static PyGetSetDef r_getset[] = {
    {"center", r_get_center, r_set_center, NULL, NULL},
    {NULL, NULL, NULL, NULL, NULL},
};
static PyTypeObject R_Type = {
    PyVarObject_HEAD_INIT(NULL, 0)
    .tp_name = "limit.Rect",
    .tp_basicsize = sizeof(R),
    .tp_dealloc = r_dealloc,
    .tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
    .tp_methods = r_methods,
    .tp_getset = r_getset,
    .tp_init = r_init,
    .tp_new = r_new,
    .tp_vectorcall = r_vectorcall,
};

static int exec_module(PyObject *m) {
    if (v2_index_message == NULL) v2_index_message = PyUnicode_InternFromString("Vector index out of range");
    if (name_x == NULL) name_x = PyUnicode_InternFromString("x");
    if (name_y == NULL) name_y = PyUnicode_InternFromString("y");
    if (v2_index_message == NULL || name_x == NULL || name_y == NULL) return -1;
    PyTypeObject *types[] = {&V2_Type, &V4_Type, &R_Type};
    const char *names[] = {"Vector2", "Vector4", "Rect"};
    for (int i = 0; i < 3; ++i) {
        if (PyType_Ready(types[i]) < 0 || PyModule_AddObjectRef(m, names[i], (PyObject *)types[i]) < 0) return -1;
    }
    return 0;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "limit", NULL, 0, NULL, slots, NULL, NULL, NULL};
PyMODINIT_FUNC PyInit_limit(void) { return PyModuleDef_Init(&def); }
