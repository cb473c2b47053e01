/*
 * raylib_consumer: uses velmora the way a raylib program does. It includes raylib's own
 * headers first, then velmora's (whose records then are raylib's), hands the records inside
 * velmora instances straight to raylib functions, and turns raylib's results into velmora
 * objects through the C-level tables. Built by the tests only where raylib is installed.
 */
#include <raylib.h>
#define RAYMATH_STATIC_INLINE
#include <raymath.h>

#include <velmora.h>

static Vector2MethodTable *v2;
static Vector3MethodTable *v3;
static RectMethodTable *rt;
static GlyphInfoMethodTable *gt;
static PyTypeObject *vector2_type, *vector3_type, *rect_type, *glyph_type, *image_type;

static int is_a(PyObject *o, PyTypeObject *type) {
    if (PyObject_TypeCheck(o, type)) return 1;
    PyErr_Format(PyExc_TypeError, "expected %s, got %s", type->tp_name, Py_TYPE(o)->tp_name);
    return 0;
}

/* ---- raylib's functions on the records, by name ---- */

/* Any function pointer converts to this type and back unchanged (C11 6.3.2.3), and GCC's
 * -Wcast-function-type accepts it as the generic one. */
typedef void (*any_fn)(void);

/* shape: the kinds of the arguments, '>', the kind of the result. Kinds: 2 a Vector2, 3 a
 * Vector3, r a Rect, f a float, b a bool. */
typedef struct {
    const char *name;
    const char *shape;
    any_fn fn;
} RaylibFunction;

#define ENTRY(fn, shape) {#fn, shape, (any_fn)fn}
static const RaylibFunction functions[] = {
    ENTRY(Vector2Add, "22>2"),
    ENTRY(Vector2LengthSqr, "2>f"), ENTRY(Vector3LengthSqr, "3>f"),
    ENTRY(Vector2Angle, "22>f"), ENTRY(Vector3Angle, "33>f"),
    ENTRY(Vector2Min, "22>2"), ENTRY(Vector3Min, "33>3"),
    ENTRY(Vector2Max, "22>2"), ENTRY(Vector3Max, "33>3"),
    ENTRY(Vector2Reflect, "22>2"), ENTRY(Vector3Reflect, "33>3"),
    ENTRY(Vector3Project, "33>3"), ENTRY(Vector3Reject, "33>3"),
    ENTRY(Vector2Lerp, "22f>2"), ENTRY(Vector3Lerp, "33f>3"),
    ENTRY(Vector2MoveTowards, "22f>2"), ENTRY(Vector3MoveTowards, "33f>3"),
    ENTRY(Vector3RotateByAxisAngle, "33f>3"),
    ENTRY(Vector2Rotate, "2f>2"),
    ENTRY(Vector2ClampValue, "2ff>2"), ENTRY(Vector3ClampValue, "3ff>3"),
    ENTRY(Vector2Clamp, "222>2"), ENTRY(Vector3Clamp, "333>3"),
    ENTRY(GetCollisionRec, "rr>r"),
    ENTRY(CheckCollisionRecs, "rr>b"),
    ENTRY(CheckCollisionPointRec, "2r>b"),
    ENTRY(CheckCollisionCircleRec, "2fr>b"),
};
#undef ENTRY

typedef union {
    Vector2 v2;
    Vector3 v3;
    Rectangle r;
    float f;
    bool b;
} Value;

/* Reads o as a value of the kind. A number is rounded to float as a C caller's double is
 * (one beyond the float range becomes an infinity, as IEC 60559 conversion makes it). */
static int read_value(PyObject *o, char kind, Value *out) {
    switch (kind) {
    case '2':
        return is_a(o, vector2_type) ? (out->v2 = ((Vector2Object *)o)->data, 1) : 0;
    case '3':
        return is_a(o, vector3_type) ? (out->v3 = ((Vector3Object *)o)->data, 1) : 0;
    case 'r':
        return is_a(o, rect_type) ? (out->r = ((RectObject *)o)->_raw, 1) : 0;
    default: {
        double d = PyFloat_AsDouble(o);
        out->f = (float)d;
        return !(d == -1.0 && PyErr_Occurred());
    }
    }
}

/* The result as an object; every float goes in unchanged, NaN payloads included, as
 * cfrom_floats stores its floats as they are. */
static PyObject *make_value(const Value *v, char kind) {
    switch (kind) {
    case '2': return (PyObject *)v2->cfrom_struct(v->v2);
    case '3': return (PyObject *)v3->cfrom_floats(v->v3.x, v->v3.y, v->v3.z);
    case 'r': return (PyObject *)rt->new_(v->r);
    case 'f': return PyFloat_FromDouble(v->f);
    default: return PyBool_FromLong(v->b);
    }
}

/* call(name, *args): the raylib function `name` (raymath's, compiled here without
 * contraction, or libraylib's) on the records and numbers given, its result made a velmora
 * object through the tables or a float or bool. */
static PyObject *call(PyObject *m, PyObject *const *args, Py_ssize_t nargs) {
    (void)m;
    const char *name = nargs > 0 && PyUnicode_Check(args[0]) ? PyUnicode_AsUTF8(args[0]) : NULL;
    if (name == NULL) {
        return PyErr_Occurred() ? NULL : PyErr_Format(PyExc_TypeError, "call(name, *args) needs a name");
    }
    const RaylibFunction *f = NULL;
    for (size_t i = 0; f == NULL && i < sizeof functions / sizeof *functions; ++i) {
        if (strcmp(functions[i].name, name) == 0) f = &functions[i];
    }
    if (f == NULL) return PyErr_Format(PyExc_ValueError, "no raylib function %s here", name);
    const char *shape = f->shape, *result_kind = strchr(shape, '>') + 1;
    Py_ssize_t arity = result_kind - 1 - shape;
    if (nargs - 1 != arity) return PyErr_Format(PyExc_TypeError, "%s takes %zd arguments", name, arity);
    Value a[3], out;
    for (Py_ssize_t i = 0; i < arity; ++i) {
        if (!read_value(args[i + 1], shape[i], &a[i])) return NULL;
    }
#define CALL(type, ...) (((type)f->fn)(__VA_ARGS__))
    if (!strcmp(shape, "2>f")) out.f = CALL(float (*)(Vector2), a[0].v2);
    else if (!strcmp(shape, "3>f")) out.f = CALL(float (*)(Vector3), a[0].v3);
    else if (!strcmp(shape, "22>f")) out.f = CALL(float (*)(Vector2, Vector2), a[0].v2, a[1].v2);
    else if (!strcmp(shape, "33>f")) out.f = CALL(float (*)(Vector3, Vector3), a[0].v3, a[1].v3);
    else if (!strcmp(shape, "22>2")) out.v2 = CALL(Vector2 (*)(Vector2, Vector2), a[0].v2, a[1].v2);
    else if (!strcmp(shape, "33>3")) out.v3 = CALL(Vector3 (*)(Vector3, Vector3), a[0].v3, a[1].v3);
    else if (!strcmp(shape, "22f>2")) out.v2 = CALL(Vector2 (*)(Vector2, Vector2, float), a[0].v2, a[1].v2, a[2].f);
    else if (!strcmp(shape, "33f>3")) out.v3 = CALL(Vector3 (*)(Vector3, Vector3, float), a[0].v3, a[1].v3, a[2].f);
    else if (!strcmp(shape, "2f>2")) out.v2 = CALL(Vector2 (*)(Vector2, float), a[0].v2, a[1].f);
    else if (!strcmp(shape, "2ff>2")) out.v2 = CALL(Vector2 (*)(Vector2, float, float), a[0].v2, a[1].f, a[2].f);
    else if (!strcmp(shape, "3ff>3")) out.v3 = CALL(Vector3 (*)(Vector3, float, float), a[0].v3, a[1].f, a[2].f);
    else if (!strcmp(shape, "222>2")) out.v2 = CALL(Vector2 (*)(Vector2, Vector2, Vector2), a[0].v2, a[1].v2, a[2].v2);
    else if (!strcmp(shape, "333>3")) out.v3 = CALL(Vector3 (*)(Vector3, Vector3, Vector3), a[0].v3, a[1].v3, a[2].v3);
    else if (!strcmp(shape, "rr>r")) out.r = CALL(Rectangle (*)(Rectangle, Rectangle), a[0].r, a[1].r);
    else if (!strcmp(shape, "rr>b")) out.b = CALL(bool (*)(Rectangle, Rectangle), a[0].r, a[1].r);
    else if (!strcmp(shape, "2r>b")) out.b = CALL(bool (*)(Vector2, Rectangle), a[0].v2, a[1].r);
    else out.b = CALL(bool (*)(Vector2, float, Rectangle), a[0].v2, a[1].f, a[2].r); /* 2fr>b */
#undef CALL
    return make_value(&out, *result_kind);
}

/* ---- glyphs of a real font ---- */

/* glyphs(font_path, text): the glyph records raylib's LoadFontData makes for the characters of
 * text, each wrapped as a GlyphInfo through the table, beside the record's fields as raylib
 * made them: [(GlyphInfo, (value, offsetX, offsetY, advanceX, data, width, height, mipmaps,
 * format)), ...]. The pixel data stays loaded for the life of the process, as the GlyphInfo
 * images do not own it. */
static PyObject *glyphs(PyObject *m, PyObject *args) {
    const char *path;
    PyObject *text;
    (void)m;
    if (!PyArg_ParseTuple(args, "sU", &path, &text)) return NULL;
    Py_ssize_t n = PyUnicode_GetLength(text);
    int *codepoints = PyMem_Malloc(sizeof(int) * (size_t)(n > 0 ? n : 1));
    if (codepoints == NULL) return PyErr_NoMemory();
    for (Py_ssize_t i = 0; i < n; ++i) codepoints[i] = (int)PyUnicode_READ_CHAR(text, i);
    int size = 0, count = 0;
    unsigned char *data = LoadFileData(path, &size);
    GlyphInfo *loaded = data ? LoadFontData(data, size, 32, codepoints, (int)n, FONT_DEFAULT, &count) : NULL;
    UnloadFileData(data);
    PyMem_Free(codepoints);
    if (loaded == NULL) return PyErr_Format(PyExc_OSError, "raylib could not load glyphs from %s", path);
    PyObject *result = PyList_New(0);
    for (int i = 0; result != NULL && i < count; ++i) {
        const GlyphInfo *g = &loaded[i];
        PyObject *wrapped = (PyObject *)gt->new_(*g);
        PyObject *pair = wrapped ? Py_BuildValue("(N(iiiiKiiii))", wrapped, g->value, g->offsetX, g->offsetY,
                                                 g->advanceX, (unsigned long long)(uintptr_t)g->image.data,
                                                 g->image.width, g->image.height, g->image.mipmaps,
                                                 g->image.format)
                                 : NULL;
        if (pair == NULL || PyList_Append(result, pair) < 0) Py_CLEAR(result);
        Py_XDECREF(pair);
    }
    return result;
}

/* glyph_record(glyph): the record inside a GlyphInfo and its Image wrapper, read in place:
 * ((value, offsetX, offsetY, advanceX, data, width, height, mipmaps, format), image, is_owner). */
static PyObject *glyph_record(PyObject *m, PyObject *g) {
    (void)m;
    if (!is_a(g, glyph_type)) return NULL;
    const GlyphInfoObject *o = (const GlyphInfoObject *)g;
    const GlyphInfo *r = &o->_raw;
    int is_owner = PyObject_TypeCheck(o->_image, image_type) ? ((ImageObject *)o->_image)->is_owner : -1;
    return Py_BuildValue("((iiiiKiiii)Oi)", r->value, r->offsetX, r->offsetY, r->advanceX,
                         (unsigned long long)(uintptr_t)r->image.data, r->image.width, r->image.height,
                         r->image.mipmaps, r->image.format, o->_image, is_owner);
}

static PyMethodDef methods[] = {
    {"call", (PyCFunction)(void (*)(void))call, METH_FASTCALL, NULL},
    {"glyphs", glyphs, METH_VARARGS, NULL},
    {"glyph_record", glyph_record, METH_O, NULL},
    {NULL, NULL, 0, NULL},
};

static int exec_module(PyObject *module) {
    (void)module;
    vector2_type = velmora_import_vector2(&v2);
    vector3_type = vector2_type ? velmora_import_vector3(&v3) : NULL;
    rect_type = vector3_type ? velmora_import_rect(&rt) : NULL;
    glyph_type = rect_type ? velmora_import_glyph_info(&gt) : NULL;
    ImageMethodTable *it;
    image_type = glyph_type ? velmora_import_image(&it) : NULL;
    return image_type ? 0 : -1;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "raylib_consumer", NULL, 0, methods, slots, NULL, NULL, NULL};
PyMODINIT_FUNC PyInit_raylib_consumer(void) { return PyModuleDef_Init(&def); }
