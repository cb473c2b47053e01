"""A third-party native module built against the *installed* headers (velmora.get_include()),
in plain C11, calling velmora through its tables: proof that the interface works from outside."""
import importlib.util
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

import pytest

import velmora
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2

SOURCE = r"""
#include <velmora.h>

static Vector2MethodTable *v2;
static RectMethodTable *rt;
static PyTypeObject *Vector2Type, *RectType;

/* hits(rect, x, y): makes a Vector2 through its table and asks the Rect's collision entry. */
static PyObject *hits(PyObject *m, PyObject *args) {
    PyObject *rect;
    double x, y;
    (void)m;
    if (!PyArg_ParseTuple(args, "O!dd", RectType, &rect, &x, &y)) return NULL;
    Vector2Object *point = v2->new_(x, y);
    if (point == NULL) return NULL;
    int inside = rt->collide_point_vector2((RectObject *)rect, point, 0);
    Py_DECREF(point);
    if (PyErr_Occurred()) return NULL;
    return PyBool_FromLong(inside);
}

/* make(x, y, w, h): a Rect from a raylib Rectangle record. */
static PyObject *make(PyObject *m, PyObject *args) {
    Rectangle r;
    (void)m;
    if (!PyArg_ParseTuple(args, "ffff", &r.x, &r.y, &r.width, &r.height)) return NULL;
    return (PyObject *)rt->new_(r);
}

/* record(v): the raw Vector2 record of a vector, read straight from the instance. */
static PyObject *record(PyObject *m, PyObject *arg) {
    (void)m;
    if (!PyObject_TypeCheck(arg, Vector2Type)) return PyErr_Format(PyExc_TypeError, "not a Vector2");
    Vector2 raw = ((Vector2Object *)arg)->data;
    return Py_BuildValue("(dd)", (double)raw.x, (double)raw.y);
}

static PyMethodDef methods[] = {
    {"hits", hits, METH_VARARGS, NULL},
    {"make", make, METH_VARARGS, NULL},
    {"record", record, METH_O, NULL},
    {NULL, NULL, 0, NULL},
};

static int exec_module(PyObject *module) {
    (void)module;
    Vector2Type = velmora_import_vector2(&v2);
    RectType = velmora_import_rect(&rt);
    return Vector2Type && RectType ? 0 : -1;
}

static PyModuleDef_Slot slots[] = {{Py_mod_exec, (void *)exec_module}, {0, NULL}};
static PyModuleDef def = {PyModuleDef_HEAD_INIT, "thirdparty", NULL, 0, methods, slots, NULL, NULL, NULL};
PyMODINIT_FUNC PyInit_thirdparty(void) { return PyModuleDef_Init(&def); }
"""


@pytest.mark.slow
@pytest.mark.skipif(shutil.which("cc") is None, reason="no C compiler")
def test_third_party_module_built_against_the_installed_headers(tmp_path):
    include = Path(velmora.get_include())
    assert (include / "velmora.h").is_file() and (include / "velmora_records.h").is_file()
    assert "site-packages" in str(include) or "dist-packages" in str(include), include
    source = tmp_path / "thirdparty.c"
    source.write_text(SOURCE)
    target = tmp_path / ("thirdparty" + sysconfig.get_config_var("EXT_SUFFIX"))
    subprocess.run(
        ["cc", "-std=c11", "-Wall", "-Wextra", "-Werror", "-shared", "-fPIC",
         "-I" + sysconfig.get_paths()["include"], "-I" + str(include), str(source), "-o", str(target)],
        check=True, capture_output=True, text=True,
    )
    spec = importlib.util.spec_from_file_location("thirdparty", target)
    thirdparty = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(thirdparty)

    r = thirdparty.make(0, 0, 10, 10)
    assert type(r) is Rect and r == Rect(0, 0, 10, 10)
    assert thirdparty.hits(r, 10, 10) is True and thirdparty.hits(r, 10.5, 5) is False

    class Overrides(Rect):
        def collide_point_vector2(self, point):
            return point.x > 100

    assert thirdparty.hits(Overrides(0, 0, 10, 10), 150, 0) is True  # the override is honoured
    assert thirdparty.record(Vector2(0.1, -2)) == (Vector2(0.1, 0).x, -2.0)
