"""Loading the vector modules: the frame every velmora module shares; the package's short
names for the classes."""
import importlib
import sys
import types

import pytest

from helpers import VECTORS, abi, output_of, raised_in_fresh_process, run_python
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector4.vector4 import Vector4

MODULES = ["velmora.vector2.vector2", "velmora.vector3.vector3", "velmora.vector4.vector4"]


@pytest.mark.parametrize("path", MODULES)
def test_reimport_gives_the_same_module_and_class(path):
    module = importlib.import_module(path)
    cls = getattr(module, path.rsplit(".", 1)[1].capitalize())
    del sys.modules[path]
    again = importlib.import_module(path)
    assert again is module
    assert getattr(again, cls.__name__) is cls
    assert sys.modules[path] is module


@pytest.mark.parametrize("path", MODULES)
def test_exec_on_another_module_object_is_refused(path):
    module = importlib.import_module(path)
    name = path.rsplit(".", 1)[1]
    with pytest.raises(RuntimeError) as info:
        abi.exec_on_new_module(module)
    assert str(info.value) == (
        f"Module '{name}' has already been imported. Re-initialisation is not supported."
    )


@pytest.mark.parametrize("path", MODULES)
def test_namespace_holds_the_class_and_an_empty_test_dict(path):
    module = importlib.import_module(path)
    cls_name = path.rsplit(".", 1)[1].capitalize()
    assert module.__test__ == {} and type(module.__test__) is dict
    cls = getattr(module, cls_name)
    assert cls.__module__ == path
    assert cls.__name__ == cls.__qualname__ == cls_name
    assert module.__builtins__ is __import__("builtins")
    assert module.__doc__ is None and cls.__doc__ is None


@pytest.mark.parametrize("fam", VECTORS, ids=str)
def test_class_shape(fam):
    cls = fam.cls
    assert type(cls.__dict__["__pyx_vtable__"]).__name__ == "PyCapsule"
    assert abi.table_address(cls) != 0
    # The class's own pickling hooks, not object's.
    assert cls.__reduce__ is not object.__reduce__
    assert "__reduce__" in cls.__dict__ and "__setstate__" in cls.__dict__
    assert isinstance(cls.__dict__["from_tuple"], staticmethod)
    with pytest.raises(TypeError, match="not an acceptable base type"):
        types.new_class("Sub", (cls,))


def test_from_methods_are_static():
    from velmora.vector2.vector2 import Vector2

    v = Vector2(1, 1)
    w = v.from_xy(3, 4)
    assert (w.x, w.y) == (3.0, 4.0) and (v.x, v.y) == (1.0, 1.0)


@pytest.mark.slow
@pytest.mark.parametrize("path", MODULES)
def test_second_interpreter_is_refused(path):
    pytest.importorskip("_testcapi")
    result = run_python(
        f"""
        import _testcapi, {path}
        _testcapi.run_in_subinterp('''
        try:
            import {path}
        except ImportError as e:
            import os
            os.write(1, ("refused: " + str(e)).encode())
        ''')
        """
    )
    assert result.stdout == (
        "refused: Interpreter change detected - this module can only be loaded into one "
        "interpreter per process."
    ), result.stderr


@pytest.mark.slow
@pytest.mark.parametrize("setup, expected", [
    ("import builtins; del builtins.staticmethod", "NameError name 'staticmethod' is not defined"),
    ("import builtins; del builtins.NotImplemented", "NameError name 'NotImplemented' is not defined"),
    # The host's `type` is checked by the rule every imported class is: its size.
    ("import builtins; real = type; "
     "builtins.type = real('Small', (), {'__slots__': (), '__new__': lambda cls, *args: real(*args)})",
     "ValueError builtins.type size changed, may indicate binary incompatibility."),
])
def test_loading_looks_up_its_builtins_and_checks_the_hosts_type(setup, expected):
    out = raised_in_fresh_process(setup, "import velmora.vector2.vector2")
    assert out.startswith(expected), out


# ---- the package's names: one class whichever way it is imported, each loaded on first use ----


@pytest.mark.parametrize("name, folder", [("Vector2", "vector2"), ("Vector3", "vector3"), ("Vector4", "vector4"),
                                          ("Rect", "rect"), ("GlyphInfo", "glyph_info")])
def test_every_import_form_gives_the_same_class(name, folder):
    import velmora

    cls = getattr(importlib.import_module(f"velmora.{folder}.{folder}"), name)
    assert getattr(velmora, name) is cls and getattr(importlib.import_module(f"velmora.{folder}"), name) is cls
    assert name in velmora.__all__ and name in dir(velmora)
    with pytest.raises(AttributeError, match="^module 'velmora' has no attribute 'Vector5'$"):
        velmora.Vector5


@pytest.mark.slow
def test_import_velmora_loads_no_module_until_a_name_is_used():
    # Then exactly the modules the direct import loads, and nothing more (importlib, say).
    direct = output_of("import sys, velmora.rect.rect; print(sorted(sys.modules))")
    lazy = output_of("""
        import sys, velmora
        before, names = [m for m in sys.modules if m.startswith("velmora.")], dir(velmora)
        from velmora import Rect
        print(before, set(velmora.__all__) <= set(names), sorted(sys.modules))
        """)
    assert lazy == f"[] True {direct}"


# ---- the size-checked type import, as other native modules use it ----


def test_import_type_returns_the_class_and_its_table():
    from velmora.vector2.vector2 import Vector2

    cls, table = abi.import_type("velmora.vector2.vector2", "Vector2", 32, True)
    assert cls is Vector2 and table == abi.table_address(Vector2)
    cls, table = abi.import_type("builtins", "type", type.__basicsize__, False)
    assert cls is type and table == 0


def _import_in_fresh_process(setup, call):
    return raised_in_fresh_process(f"import sys, types, warnings\n{setup}\nimport testabi as abi",
                                   f"print('ok', {call})")


@pytest.mark.slow
@pytest.mark.parametrize(
    "setup, expected",
    [
        ("m = types.ModuleType('fake'); sys.modules['fake'] = m; m.C = 5",
         "TypeError fake.C is not a type object"),
        ("m = types.ModuleType('fake'); sys.modules['fake'] = m",
         "AttributeError module 'fake' has no attribute 'C'"),
        ("m = types.ModuleType('fake'); sys.modules['fake'] = m; m.C = type('C', (), {'__slots__': ()})",
         "ValueError fake.C size changed, may indicate binary incompatibility. "
         "Expected 4096 from C header, got 16 from PyObject"),
    ],
)
def test_import_type_failures(setup, expected):
    assert _import_in_fresh_process(setup, "abi.import_type('fake', 'C', 4096, True)") == expected


@pytest.mark.slow
def test_import_type_missing_or_bad_table():
    setup = "m = types.ModuleType('fake'); sys.modules['fake'] = m; m.C = type('C', (), {})"
    assert _import_in_fresh_process(setup, "abi.import_type('fake', 'C', 8, True)") == "KeyError '__pyx_vtable__'"
    setup += "; m.C.__pyx_vtable__ = 1"
    out = _import_in_fresh_process(setup, "abi.import_type('fake', 'C', 8, True)")
    assert out.startswith("ValueError PyCapsule_GetPointer called with invalid")


@pytest.mark.slow
def test_import_type_larger_class_warns_and_loads():
    setup = (
        "from velmora.vector2.vector2 import Vector2; "
        "m = types.ModuleType('fake'); sys.modules['fake'] = m; "
        "m.C = type('C', (), {'__pyx_vtable__': Vector2.__dict__['__pyx_vtable__']})"
    )
    out = _import_in_fresh_process(
        setup, "warnings.catch_warnings(record=True).__enter__() or abi.import_type('fake', 'C', 8, True)[1] > 0"
    )
    assert out == "ok True"
    out = _import_in_fresh_process(setup + "; warnings.simplefilter('error')", "abi.import_type('fake', 'C', 8, True)")
    assert out.startswith("RuntimeWarning fake.C size changed")


def innermost_entry(call):
    """The name and file of the innermost traceback entry of the exception `call` raises."""
    with pytest.raises(Exception) as info:
        call()
    tb = info.value.__traceback__
    while tb.tb_next is not None:
        tb = tb.tb_next
    return tb.tb_frame.f_code.co_name, tb.tb_frame.f_code.co_filename


@pytest.mark.parametrize("call, name", [
    (lambda: Vector2(1, 2, 3), "Vector2.__init__"),
    (lambda: Vector4()[9], "Vector4.__getitem__"),
    (lambda: Vector2().lerp((1, 2), 1), "Vector2.lerp"),
    (lambda: setattr(Rect(), "right", "a"), "Rect.right.__set__"),
    (lambda: setattr(Rect(), "topleft", 5), "Rect.topleft.__set__"),
    (lambda: Rect().move(), "Rect.move"),
    (lambda: Rect().clip(5), "Rect.clip"),
])
def test_failures_are_traced_under_the_operations_full_name(call, name):
    cls = name.split(".")[0]
    assert innermost_entry(call) == (f"velmora.{cls.lower()}.{cls.lower()}.{name}", "velmora")
