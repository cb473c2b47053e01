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
static RectMethodTable *rt;
static GlyphInfoMethodTable *gt;
static PyTypeObject *vector2_type, *rect_type, *glyph_type, *image_type;

static int is_a(PyObject *o, PyTypeObject *type) {
    if (PyObject_TypeCheck(o, type)) return 1;
    PyErr_Format(PyExc_TypeError, "expected %s, got %s", type->tp_name, Py_TYPE(o)->tp_name);
    return 0;
}

/* ---- Rect and Vector2 records straight to raylib ---- */

/* collision_rec(a, b): raylib's GetCollisionRec as a Rect made through the table. */
static PyObject *collision_rec(PyObject *m, PyObject *args) {
    PyObject *a, *b;
    (void)m;
    if (!PyArg_ParseTuple(args, "OO", &a, &b) || !is_a(a, rect_type) || !is_a(b, rect_type)) return NULL;
    return (PyObject *)rt->new_(GetCollisionRec(((RectObject *)a)->_raw, ((RectObject *)b)->_raw));
}

/* check_recs(a, b): raylib's CheckCollisionRecs on the two records. */
static PyObject *check_recs(PyObject *m, PyObject *args) {
    PyObject *a, *b;
    (void)m;
    if (!PyArg_ParseTuple(args, "OO", &a, &b) || !is_a(a, rect_type) || !is_a(b, rect_type)) return NULL;
    return PyBool_FromLong(CheckCollisionRecs(((RectObject *)a)->_raw, ((RectObject *)b)->_raw));
}

/* check_point_rec(point, rect): raylib's CheckCollisionPointRec. */
static PyObject *check_point_rec(PyObject *m, PyObject *args) {
    PyObject *p, *r;
    (void)m;
    if (!PyArg_ParseTuple(args, "OO", &p, &r) || !is_a(p, vector2_type) || !is_a(r, rect_type)) return NULL;
    return PyBool_FromLong(CheckCollisionPointRec(((Vector2Object *)p)->data, ((RectObject *)r)->_raw));
}

/* vector_add(a, b): raymath's Vector2Add, its result made a Vector2 by cfrom_struct. */
static PyObject *vector_add(PyObject *m, PyObject *args) {
    PyObject *a, *b;
    (void)m;
    if (!PyArg_ParseTuple(args, "OO", &a, &b) || !is_a(a, vector2_type) || !is_a(b, vector2_type)) return NULL;
    return (PyObject *)v2->cfrom_struct(Vector2Add(((Vector2Object *)a)->data, ((Vector2Object *)b)->data));
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
    {"collision_rec", collision_rec, METH_VARARGS, NULL},
    {"check_recs", check_recs, METH_VARARGS, NULL},
    {"check_point_rec", check_point_rec, METH_VARARGS, NULL},
    {"vector_add", vector_add, METH_VARARGS, NULL},
    {"glyphs", glyphs, METH_VARARGS, NULL},
    {"glyph_record", glyph_record, METH_O, NULL},
    {NULL, NULL, 0, NULL},
};

static int exec_module(PyObject *module) {
    (void)module;
    vector2_type = velmora_import_vector2(&v2);
    rect_type = vector2_type ? velmora_import_rect(&rt) : NULL;
    glyph_type = rect_type ? velmora_import_glyph_info(&gt) : NULL;
    ImageMethodTable *it;
    image_type = glyph_type ? velmora_import_image(&it) : NULL;
    return image_type ? 0 : -1;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "raylib_consumer", NULL, 0, methods, slots, NULL, NULL, NULL};
PyMODINIT_FUNC PyInit_raylib_consumer(void) { return PyModuleDef_Init(&def); }
