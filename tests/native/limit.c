/*
 * limit: the fastest extension types the C API allows for every operation of velmora's
 * benchmark, as a yardstick for tests/bench_limit.py. One hand-written function per method,
 * no generic layers. Each type keeps velmora's contract where it costs something: final
 * static vector types with a free list (public API only: PyObject_Init), a type-level
 * vectorcall with an exact-float fast path, keyword-capable methods (names interned once,
 * matched by identity, then by text), vector arguments of exactly the class, numbers by the
 * real conversion and rounded to float, iteration through the sequence protocol only (no
 * tp_iter), a subclassable Rect with a free list for exact instances, and other objects read by
 * attribute or item where velmora reads them so. Nothing else: no error tracebacks beyond what
 * the interpreter adds, no argument shapes beyond the benchmarked ones, terse messages.
 */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <math.h>
#include <string.h>

#define CAPACITY 1000

/* ---- keyword-capable binding ---- */

enum { OTHER, AMOUNT, ANGLE, TARGET, MAX_DISTANCE, NORMAL, POINT, NAMES };
static const char *const name_text[NAMES] = {"other", "amount", "angle", "target", "max_distance", "normal", "point"};
static PyObject *names[NAMES]; /* interned at initialisation */

/* n parameters (names[params[i]]), positionally or by keyword. */
static Py_ALWAYS_INLINE inline int bind(const char *func, const int *params, Py_ssize_t n, PyObject *const *args,
                                        Py_ssize_t nargsf, PyObject *kwnames, PyObject **out) {
    Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (kwnames == NULL && nargs == n) {
        for (Py_ssize_t i = 0; i < n; ++i) out[i] = args[i];
        return 1;
    }
    Py_ssize_t nkw = kwnames == NULL ? 0 : PyTuple_GET_SIZE(kwnames);
    if (nargs + nkw != n || nargs > n) goto wrong;
    for (Py_ssize_t i = 0; i < n; ++i) out[i] = i < nargs ? args[i] : NULL;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        PyObject *key = PyTuple_GET_ITEM(kwnames, k);
        Py_ssize_t match = -1;
        for (Py_ssize_t i = nargs; i < n && match < 0; ++i) {
            if (key == names[params[i]]) match = i;
        }
        for (Py_ssize_t i = nargs; i < n && match < 0; ++i) {
            if (PyUnicode_CompareWithASCIIString(key, name_text[params[i]]) == 0) match = i;
        }
        if (match < 0 || out[match] != NULL) goto wrong;
        out[match] = args[nargs + k];
    }
    return 1;
wrong:
    PyErr_Format(PyExc_TypeError, "%s() takes %zd arguments", func, n);
    return 0;
}

static Py_ALWAYS_INLINE inline int to_double(PyObject *o, double *out) {
    if (PyFloat_CheckExact(o)) {
        *out = PyFloat_AS_DOUBLE(o);
        return 1;
    }
    *out = PyLong_CheckExact(o) ? PyLong_AsDouble(o) : PyFloat_AsDouble(o);
    return !(*out == -1.0 && PyErr_Occurred());
}

static PyObject *wrong_type(const char *what) {
    PyErr_Format(PyExc_TypeError, "expected %s", what);
    return NULL;
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

static Py_ALWAYS_INLINE inline V2 *v2_make(float x, float y) {
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
    if (Py_TYPE(a) != &V2_Type) Py_RETURN_NOTIMPLEMENTED;
    if (Py_TYPE(b) != &V2_Type) return wrong_type("Vector2");
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
static PyObject *v2_get_length_squared(PyObject *self, void *c) {
    (void)c;
    V2 *v = (V2 *)self;
    return PyFloat_FromDouble(v->x * v->x + v->y * v->y);
}
static PyObject *v2_get_yx(PyObject *self, void *c) {
    (void)c;
    return (PyObject *)v2_make(((V2 *)self)->y, ((V2 *)self)->x);
}

static PyObject *v2_dot(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {OTHER};
    PyObject *a[1];
    if (!bind("dot", params, 1, args, nargs, kwnames, a)) return NULL;
    if (Py_TYPE(a[0]) != &V2_Type) return wrong_type("Vector2");
    V2 *v = (V2 *)self, *w = (V2 *)a[0];
    return PyFloat_FromDouble(fmaf(v->y, w->y, v->x * w->x));
}

static PyObject *v2_lerp(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {OTHER, AMOUNT};
    PyObject *a[2];
    double t;
    if (!bind("lerp", params, 2, args, nargs, kwnames, a)) return NULL;
    if (Py_TYPE(a[0]) != &V2_Type) return wrong_type("Vector2");
    if (!to_double(a[1], &t)) return NULL;
    V2 *v = (V2 *)self, *w = (V2 *)a[0];
    float amount = (float)t;
    return (PyObject *)v2_make(v->x + amount * (w->x - v->x), v->y + amount * (w->y - v->y));
}

static PyObject *v2_rotate(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {ANGLE};
    PyObject *a[1];
    double t;
    if (!bind("rotate", params, 1, args, nargs, kwnames, a) || !to_double(a[0], &t)) return NULL;
    V2 *v = (V2 *)self;
    float c = cosf((float)t), s = sinf((float)t);
    return (PyObject *)v2_make(v->x * c - v->y * s, v->x * s + v->y * c);
}

static PyObject *v2_move_towards(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {TARGET, MAX_DISTANCE};
    PyObject *a[2];
    double t;
    if (!bind("move_towards", params, 2, args, nargs, kwnames, a)) return NULL;
    if (Py_TYPE(a[0]) != &V2_Type) return wrong_type("Vector2");
    if (!to_double(a[1], &t)) return NULL;
    V2 *v = (V2 *)self, *w = (V2 *)a[0];
    float d = (float)t, dx = w->x - v->x, dy = w->y - v->y, value = dx * dx + dy * dy;
    if (value == 0 || (d >= 0 && value <= d * d)) return (PyObject *)v2_make(w->x, w->y);
    float dist = sqrtf(value);
    return (PyObject *)v2_make(v->x + dx / dist * d, v->y + dy / dist * d);
}

static PyObject *v2_reflect(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {NORMAL};
    PyObject *a[1];
    if (!bind("reflect", params, 1, args, nargs, kwnames, a)) return NULL;
    if (Py_TYPE(a[0]) != &V2_Type) return wrong_type("Vector2");
    V2 *v = (V2 *)self, *n = (V2 *)a[0];
    float dot = v->x * n->x + v->y * n->y;
    return (PyObject *)v2_make(v->x - (2.0f * n->x) * dot, v->y - (2.0f * n->y) * dot);
}

static PyObject *v2_angle_to(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {OTHER};
    PyObject *a[1];
    if (!bind("angle_to", params, 1, args, nargs, kwnames, a)) return NULL;
    if (Py_TYPE(a[0]) != &V2_Type) return wrong_type("Vector2");
    V2 *v = (V2 *)self, *w = (V2 *)a[0];
    return PyFloat_FromDouble(atan2f(v->x * w->y - v->y * w->x, v->x * w->x + v->y * w->y));
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

#define METHOD(name, function) {name, (PyCFunction)(void (*)(void))function, METH_FASTCALL | METH_KEYWORDS, NULL}

static PyNumberMethods v2_number = {.nb_add = v2_add, .nb_multiply = v2_mul};
static PySequenceMethods v2_sequence = {.sq_length = v2_length, .sq_item = v2_item};
static PyMappingMethods v2_mapping = {.mp_subscript = v2_subscript};
static PyGetSetDef v2_getset[] = {
    {"x", v2_get_x, NULL, NULL, NULL},
    {"length", v2_get_length, NULL, NULL, NULL},
    {"length_squared", v2_get_length_squared, NULL, NULL, NULL},
    {"yx", v2_get_yx, NULL, NULL, NULL},
    {NULL, NULL, NULL, NULL, NULL},
};
static PyMethodDef v2_methods[] = {
    METHOD("dot", v2_dot),
    METHOD("lerp", v2_lerp),
    METHOD("rotate", v2_rotate),
    METHOD("move_towards", v2_move_towards),
    METHOD("reflect", v2_reflect),
    METHOD("angle_to", v2_angle_to),
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

/* ---- Vector3 and Vector4: construction and addition only ---- */

typedef struct {
    PyObject_HEAD
    void *vtab;
    float v[3];
} V3;

typedef struct {
    PyObject_HEAD
    void *vtab;
    double v[4];
} V4;

static PyTypeObject V3_Type, V4_Type;
static V3 *v3_free[CAPACITY];
static V4 *v4_free[CAPACITY];
static int v3_count, v4_count;

static Py_ALWAYS_INLINE inline PyObject *make_from(PyTypeObject *type, void **free_list, int *count) {
    if (*count > 0) {
        PyObject *o = (PyObject *)free_list[--*count];
        PyObject_Init(o, type);
        return o;
    }
    return type->tp_alloc(type, 0);
}
static void v3_dealloc(PyObject *o) {
    if (v3_count < CAPACITY) {
        v3_free[v3_count++] = (V3 *)o;
        return;
    }
    Py_TYPE(o)->tp_free(o);
}
static void v4_dealloc(PyObject *o) {
    if (v4_count < CAPACITY) {
        v4_free[v4_count++] = (V4 *)o;
        return;
    }
    Py_TYPE(o)->tp_free(o);
}
static PyObject *v3_vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    (void)type;
    double v[3];
    if (kwnames != NULL || PyVectorcall_NARGS(nargsf) != 3) {
        PyErr_SetString(PyExc_TypeError, "Vector3(x, y, z)");
        return NULL;
    }
    for (int i = 0; i < 3; ++i) {
        if (!to_double(args[i], &v[i])) return NULL;
    }
    V3 *o = (V3 *)make_from(&V3_Type, (void **)v3_free, &v3_count);
    if (o != NULL) {
        for (int i = 0; i < 3; ++i) o->v[i] = (float)v[i];
    }
    return (PyObject *)o;
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
    V4 *o = (V4 *)make_from(&V4_Type, (void **)v4_free, &v4_count);
    if (o != NULL) memcpy(o->v, v, sizeof v);
    return (PyObject *)o;
}
static PyObject *v3_add(PyObject *a, PyObject *b) {
    if (Py_TYPE(a) != &V3_Type) Py_RETURN_NOTIMPLEMENTED;
    if (Py_TYPE(b) != &V3_Type) return wrong_type("Vector3");
    V3 *o = (V3 *)make_from(&V3_Type, (void **)v3_free, &v3_count);
    if (o != NULL) {
        for (int i = 0; i < 3; ++i) o->v[i] = ((V3 *)a)->v[i] + ((V3 *)b)->v[i];
    }
    return (PyObject *)o;
}
static PyObject *v4_add(PyObject *a, PyObject *b) {
    if (Py_TYPE(a) != &V4_Type) Py_RETURN_NOTIMPLEMENTED;
    if (Py_TYPE(b) != &V4_Type) return wrong_type("Vector4");
    V4 *o = (V4 *)make_from(&V4_Type, (void **)v4_free, &v4_count);
    if (o != NULL) {
        for (int i = 0; i < 4; ++i) o->v[i] = ((V4 *)a)->v[i] + ((V4 *)b)->v[i];
    }
    return (PyObject *)o;
}
static PyNumberMethods v3_number = {.nb_add = v3_add};
static PyNumberMethods v4_number = {.nb_add = v4_add};
static PyTypeObject V3_Type = {
    PyVarObject_HEAD_INIT(NULL, 0)
    .tp_name = "limit.Vector3",
    .tp_basicsize = sizeof(V3),
    .tp_dealloc = v3_dealloc,
    .tp_as_number = &v3_number,
    .tp_flags = Py_TPFLAGS_DEFAULT,
    .tp_vectorcall = v3_vectorcall,
};
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

static Py_ALWAYS_INLINE inline R *r_alloc(PyTypeObject *type) {
    R *o;
    if (type == &R_Type && r_count > 0) {
        o = r_free[--r_count];
        PyObject_Init((PyObject *)o, type);
    } else {
        o = (R *)type->tp_alloc(type, 0);
    }
    return o;
}
/* A new exact Rect. */
static Py_ALWAYS_INLINE inline PyObject *r_make(float x, float y, float w, float h) {
    R *o = r_alloc(&R_Type);
    if (o != NULL) o->x = x, o->y = y, o->w = w, o->h = h;
    return (PyObject *)o;
}
static PyObject *r_new(PyTypeObject *type, PyObject *args, PyObject *kw) {
    (void)args;
    (void)kw;
    R *o = r_alloc(type);
    if (o != NULL) o->x = o->y = o->w = o->h = 0;
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
    PyObject *attrs[2] = {name_x, name_y};
    float *out[2] = {x, y};
    for (int i = 0; i < 2; ++i) {
        double d;
        PyObject *a = PyObject_GetAttr(o, attrs[i]);
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

static int r_init(PyObject *self, PyObject *args, PyObject *kw) {
    float v[4];
    if (kw != NULL && PyDict_GET_SIZE(kw) != 0) {
        PyErr_SetString(PyExc_TypeError, "Rect() takes no keyword arguments");
        return -1;
    }
    if (!r_read(PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args), v)) return -1;
    R *r = (R *)self;
    r->x = v[0], r->y = v[1], r->w = v[2], r->h = v[3];
    return 0;
}
static PyObject *r_vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    float v[4];
    if (kwnames != NULL) {
        PyErr_SetString(PyExc_TypeError, "Rect() takes no keyword arguments");
        return NULL;
    }
    if (!r_read(args, PyVectorcall_NARGS(nargsf), v)) return NULL;
    R *r = r_alloc((PyTypeObject *)type);
    if (r != NULL) r->x = v[0], r->y = v[1], r->w = v[2], r->h = v[3];
    return (PyObject *)r;
}

/* The centre in double, one rounding to float: width * 0.5 is exact, so x + width * 0.5 is the
 * fused multiply-add's value without its call. */
static PyObject *r_get_center(PyObject *self, void *c) {
    (void)c;
    R *r = (R *)self;
    return (PyObject *)v2_make((float)((double)r->x + (double)r->w * 0.5), (float)((double)r->y + (double)r->h * 0.5));
}
static PyObject *r_get_topleft(PyObject *self, void *c) {
    (void)c;
    return (PyObject *)v2_make(((R *)self)->x, ((R *)self)->y);
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
    static const int params[] = {POINT};
    PyObject *p[1];
    double px, py;
    if (!bind("collide_point", params, 1, args, nargs, kwnames, p)) return NULL;
    if (PyTuple_CheckExact(p[0]) && PyTuple_GET_SIZE(p[0]) == 2) {
        if (!to_double(PyTuple_GET_ITEM(p[0], 0), &px) || !to_double(PyTuple_GET_ITEM(p[0], 1), &py)) return NULL;
    } else if (Py_TYPE(p[0]) == &V2_Type) {
        px = ((V2 *)p[0])->x;
        py = ((V2 *)p[0])->y;
    } else {
        PyErr_SetString(PyExc_ValueError, "Point must be a Vector2 or a tuple of length 2");
        return NULL;
    }
    R *r = (R *)self;
    int inside = px >= r->x && px <= (double)(r->x + r->w) && py >= r->y && py <= (double)(r->y + r->h);
    return Py_NewRef(inside ? Py_True : Py_False);
}

/* A rectangle argument: a Rect's fields (the benchmarked shape), or a tuple of four numbers. */
static Py_ALWAYS_INLINE inline int read_rect(PyObject *o, float out[4]) {
    if (PyObject_TypeCheck(o, &R_Type)) {
        R *s = (R *)o;
        out[0] = s->x, out[1] = s->y, out[2] = s->w, out[3] = s->h;
        return 1;
    }
    if (PyTuple_CheckExact(o) && PyTuple_GET_SIZE(o) == 4) {
        for (int i = 0; i < 4; ++i) {
            double d;
            if (!to_double(PyTuple_GET_ITEM(o, i), &d)) return 0;
            out[i] = (float)d;
        }
        return 1;
    }
    wrong_type("a rectangle");
    return 0;
}
static Py_ALWAYS_INLINE inline int bind_rect(const char *func, PyObject *const *args, Py_ssize_t nargs,
                                             PyObject *kwnames, float out[4]) {
    static const int params[] = {OTHER};
    PyObject *o[1];
    return bind(func, params, 1, args, nargs, kwnames, o) && read_rect(o[0], out);
}

static Py_ALWAYS_INLINE inline int overlaps(const R *r, const R *s) {
    return (double)s->x + s->w > r->x && (double)(r->x + r->w) > s->x && (double)s->y + s->h > r->y &&
           (double)(r->y + r->h) > s->y;
}

static PyObject *r_collide_rect(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {OTHER};
    PyObject *o[1];
    if (!bind("collide_rect", params, 1, args, nargs, kwnames, o)) return NULL;
    if (!PyObject_TypeCheck(o[0], &R_Type)) return wrong_type("Rect");
    return Py_NewRef(overlaps((R *)self, (R *)o[0]) ? Py_True : Py_False);
}

/* move and inflate: two numbers or one pair, positional only. */
static Py_ALWAYS_INLINE inline int read_offset(PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames, double *dx,
                                               double *dy) {
    Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    if (kwnames != NULL) return wrong_type("positional arguments") != NULL;
    if (nargs == 2) return to_double(args[0], dx) && to_double(args[1], dy);
    if (nargs == 1) return item_double(args[0], 0, dx) && item_double(args[0], 1, dy);
    return wrong_type("one or two arguments") != NULL;
}
static PyObject *r_move(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    double dx, dy;
    if (!read_offset(args, nargs, kwnames, &dx, &dy)) return NULL;
    R *r = (R *)self;
    return r_make((float)(r->x + dx), (float)(r->y + dy), r->w, r->h);
}
static PyObject *r_inflate(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    double dw, dh;
    if (!read_offset(args, nargs, kwnames, &dw, &dh)) return NULL;
    R *r = (R *)self;
    return r_make((float)(r->x - dw * 0.5), (float)(r->y - dh * 0.5), (float)(r->w + dw), (float)(r->h + dh));
}
static PyObject *r_clip(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    float o[4];
    if (!bind_rect("clip", args, nargs, kwnames, o)) return NULL;
    R *r = (R *)self;
    float left = r->x > o[0] ? r->x : o[0], top = r->y > o[1] ? r->y : o[1];
    float r1 = r->x + r->w, r2 = o[0] + o[2], b1 = r->y + r->h, b2 = o[1] + o[3];
    float right = r1 < r2 ? r1 : r2, bottom = b1 < b2 ? b1 : b2;
    if (left < right && top < bottom) return r_make(left, top, right - left, bottom - top);
    return r_make(0, 0, 0, 0);
}
static PyObject *r_union(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    float o[4];
    if (!bind_rect("union", args, nargs, kwnames, o)) return NULL;
    R *r = (R *)self;
    float x = r->x < o[0] ? r->x : o[0], y = r->y < o[1] ? r->y : o[1];
    float r1 = r->x + r->w, r2 = o[0] + o[2], b1 = r->y + r->h, b2 = o[1] + o[3];
    return r_make(x, y, (r1 > r2 ? r1 : r2) - x, (b1 > b2 ? b1 : b2) - y);
}
static PyObject *r_contains(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    float o[4];
    if (!bind_rect("contains", args, nargs, kwnames, o)) return NULL;
    R *r = (R *)self;
    int inside = o[0] >= r->x && o[1] >= r->y && o[0] + o[2] <= r->x + r->w && o[1] + o[3] <= r->y + r->h;
    return Py_NewRef(inside ? Py_True : Py_False);
}
static Py_ALWAYS_INLINE inline float clamp_axis(float position, float extent, float low, float bounds) {
    if (extent >= bounds) return (float)((double)low + ((double)bounds - extent) * 0.5);
    if (position < low) return low;
    float high = low + bounds;
    if (position + extent > high) return (float)((double)high - (double)extent);
    return position;
}
static PyObject *r_clamp(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    float o[4];
    if (!bind_rect("clamp", args, nargs, kwnames, o)) return NULL;
    R *r = (R *)self;
    return r_make(clamp_axis(r->x, r->w, o[0], o[2]), clamp_axis(r->y, r->h, o[1], o[3]), r->w, r->h);
}
/* The first item of a list of exact Rects that overlaps, or -1. */
static PyObject *r_collide_list(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    static const int params[] = {OTHER};
    PyObject *o[1];
    if (!bind("collide_list", params, 1, args, nargs, kwnames, o)) return NULL;
    if (!PyList_CheckExact(o[0])) return wrong_type("a list");
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(o[0]); ++i) {
        PyObject *item = PyList_GET_ITEM(o[0], i);
        if (Py_TYPE(item) != &R_Type) return wrong_type("Rect items");
        if (overlaps((R *)self, (R *)item)) return PyLong_FromSsize_t(i);
    }
    return PyLong_FromLong(-1);
}
static PyObject *r_copy(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames) {
    if (nargs != 0 || kwnames != NULL) return wrong_type("no arguments");
    (void)args;
    R *r = (R *)self;
    return r_make(r->x, r->y, r->w, r->h);
}

static PyMethodDef r_methods[] = {
    METHOD("collide_point", r_collide_point),
    METHOD("collide_rect", r_collide_rect),
    METHOD("move", r_move),
    METHOD("inflate", r_inflate),
    METHOD("clip", r_clip),
    METHOD("union", r_union),
    METHOD("contains", r_contains),
    METHOD("clamp", r_clamp),
    METHOD("collide_list", r_collide_list),
    METHOD("copy", r_copy),
    {NULL, NULL, 0, NULL},
};
static PyGetSetDef r_getset[] = {
    {"center", r_get_center, r_set_center, NULL, NULL},
    {"topleft", r_get_topleft, NULL, NULL, NULL},
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
    for (int i = 0; i < NAMES; ++i) {
        if (names[i] == NULL && (names[i] = PyUnicode_InternFromString(name_text[i])) == NULL) return -1;
    }
    PyTypeObject *types[] = {&V2_Type, &V3_Type, &V4_Type, &R_Type};
    const char *type_names[] = {"Vector2", "Vector3", "Vector4", "Rect"};
    for (int i = 0; i < 4; ++i) {
        if (PyType_Ready(types[i]) < 0 || PyModule_AddObjectRef(m, type_names[i], (PyObject *)types[i]) < 0) return -1;
    }
    return 0;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "limit", NULL, 0, NULL, slots, NULL, NULL, NULL};
PyMODINIT_FUNC PyInit_limit(void) { return PyModuleDef_Init(&def); }
