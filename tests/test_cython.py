"""Cython against the installed package, with nothing but velmora.get_include() added: the
README's example built as it shows, a module that calls every kind of table entry through the
shipped declarations, the declarations checked against velmora.h slot by slot in the C that
Cython makes of them, and the refusal of a subclass of a final class."""
import re
import subprocess
import sys
import sysconfig
import warnings
from pathlib import Path

import pytest

import velmora
from helpers import HEADERS, NATIVE, abi, cached_module, compile_native, compiler, load_extension, readme_blocks
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.image.image import Image
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector4.vector4 import Vector4

Cython = pytest.importorskip("Cython")
pytestmark = [pytest.mark.slow, pytest.mark.toolchain]

PXDS = sorted(Path(velmora.__file__).parent.rglob("*.pxd"))
CLASSES = {"Vector2": "vector2", "Vector3": "vector3", "Vector4": "vector4", "Rect": "rect",
           "GlyphInfo": "glyph_info", "Image": "image"}


def cython(pyx: Path, *args) -> subprocess.CompletedProcess:
    return subprocess.run([sys.executable, "-m", "cython", "-3", *args, str(pyx)], capture_output=True, text=True,
                          cwd=pyx.parent)


def build_cython(name: str, source: str) -> Path:
    """A Cython module compiled against the installed declarations and headers, once per source,
    Cython version and declarations."""
    def make(folder, target):
        pyx = folder / f"{name}.pyx"
        pyx.write_text(source)
        result = cython(pyx, "-Werror", "-o", f"{name}.c")
        assert result.returncode == 0, result.stderr
        # Cython's own C is not ours to keep free of warnings.
        compile_native([*compiler("c")[:-1], "-O2", "-shared", "-fPIC", "-I" + sysconfig.get_paths()["include"],
                        "-I" + str(HEADERS), str(folder / f"{name}.c"), "-o", str(target)], name)

    return cached_module(name, [source, Cython.__version__, *(p.read_text() for p in PXDS)], make)


def load_strictly(name: str, folder: Path):
    # Cython checks each cimported class's instance size at import and warns on a mismatch.
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        return load_extension(name, folder)


@pytest.fixture(scope="module")
def cy():
    return load_strictly("cy_tables", build_cython("cy_tables", (NATIVE / "cy_tables.pyx").read_text()))


# ---- the README's example, as it shows it ----


def test_readme_example_builds_as_shown_and_runs(tmp_path):
    pytest.importorskip("setuptools")
    source = readme_blocks("cython")[0]
    setup = next(block for block in readme_blocks("py") if "cythonize" in block)

    def make(folder, target):
        work = Path(folder) / "work"
        work.mkdir(exist_ok=True)
        (work / "crowd.pyx").write_text(source)
        (work / "setup.py").write_text(setup)
        result = subprocess.run([sys.executable, "setup.py", "-q", "build_ext", "--inplace"], cwd=work,
                                capture_output=True, text=True)
        assert result.returncode == 0, result.stdout + result.stderr
        (work / ("crowd" + sysconfig.get_config_var("EXT_SUFFIX"))).replace(target)

    crowd = load_strictly("crowd", cached_module("crowd", [source, setup, Cython.__version__,
                                                           *(p.read_text() for p in PXDS)], make))
    walkers = [Vector2(0, 0), Vector2(1, 1)]
    crowd.step(walkers, Vector2(2, -1), 0.5)
    assert walkers == [Vector2(1, -0.5), Vector2(2, 0.5)]
    wall = crowd.Wall(0, 0, 10, 10)
    assert isinstance(wall, Rect) and crowd.hits(wall, walkers) == 1 and wall.tests == 2  # the override ran
    assert crowd.hits(Rect(0, -1, 10, 10), walkers) == 2 and wall.collide_point_vector2(Vector2()) and wall.tests == 3


# ---- every kind of entry, through the declarations ----


def expected_vector2():
    a, b = Vector2(3, 4), Vector2(1, 2)
    out = {"new": a, "cfrom_xy": b, "cfrom_vector2": a, "cfrom_struct": Vector2(5, 6), "cfrom_list": Vector2(1, 2.5),
           "cfrom_tuple": Vector2(1, 2.5), "cfrom_ints": Vector2.from_ints(7, -8),
           "cfrom_floats": Vector2.from_floats(0.1, 0.2), "_add": a + b, "_sub": a - b, "get_tuple": a.get_tuple(),
           "c_get_tuple": a.get_tuple(), "get_round": Vector2(2.5, -2.5).get_round(),
           "get_abs": Vector2(-1, 2).get_abs(), "get_neg": a.get_neg(),
           "get_int_tuple": Vector2(1.9, -1.9).get_int_tuple(),
           "get_rounded_tuple": Vector2(2.5, -2.5).get_rounded_tuple(), "copy": a.copy(),
           "get_normalized": a.get_normalized(), "distance_to": a.distance_to(b),
           "distance_squared_to": a.distance_squared_to(b), "dot": a.dot(b)}
    c = a.copy()
    for name, change in [("_iadd", lambda: c.__iadd__(b)), ("_isub", lambda: c.__isub__(a)),
                         ("_imul", lambda: c.__imul__(a)), ("_sadd", lambda: c.sadd(a, b)),
                         ("sadd", lambda: c.sadd(b, b))]:
        change()
        out[name] = c.copy()
    for name, start in [("to_round", (2.5, -2.5)), ("to_abs", (-1, 2)), ("to_neg", (3, 4)), ("to_normalized", (3, 4))]:
        out[name] = (True, getattr(Vector2(start), name)())
    return out


def test_every_vector2_entry(cy):
    got, expected = cy.vector2_entries(), expected_vector2()
    assert got == expected
    assert {k: type(v) for k, v in got.items()} == {k: type(v) for k, v in expected.items()}


def test_a_record_changes_in_place(cy):
    v = Vector2(1, 2)
    assert cy.scale_in_place(v, 3) is None and v == Vector2(3, 6)


class Overrides(Rect):
    def get_width(self):
        return "overridden"


@pytest.mark.parametrize("cls", [Rect, Overrides])
@pytest.mark.parametrize("point, other",
                         [((5, 5), (5, 5, 10, 10)), ((10, 10), (10, 0, 5, 5)), ((11, 5), (-3, -3, 3, 3))])
def test_every_rect_entry(cy, cls, point, other):
    r = cls(0, 0, 10, 10)
    counts = [sys.getrefcount(o) for o in (r, point, other)]
    got = cy.rect_entries(r, point, other)
    assert [sys.getrefcount(o) for o in (r, point, other)] == counts
    kinds = {"": lambda o: o, "vector2": Vector2, "vector4": Vector4, "rect": Rect, "tuple": tuple, "list": list}
    expected = {}
    for name in (n for n in got if n.startswith("collide")):
        kind = kinds[name.removeprefix("collide_point").removeprefix("collide_rect").lstrip("_")]
        expected[name] = getattr(r, name)(kind(point if "point" in name else other))
    expected.update(new=Rect(r), get_width=r.get_width(), get_height=10.0, get_vector4=r.get_vector4(),
                    get_tuple=r.get_tuple())
    assert got == expected  # a Python subclass's override is honoured: the calls pass a zero flag
    assert type(got["new"]) is Rect and type(got["get_vector4"]) is Vector4


def test_failures_propagate_through_except_star(cy):
    with pytest.raises(ValueError, match="^Point must be a Vector2, tuple, or list of length 2$"):
        cy.collide_point(Rect(), 5)

    class Refuses(Rect):
        def collide_point(self, point):
            raise KeyError(point)

    with pytest.raises(KeyError):
        cy.collide_point(Refuses(), (1, 2))
    with pytest.raises(NotImplementedError, match="unload is not available"):
        cy.unload(cy.image(1))
    with pytest.raises(NotImplementedError, match="export is not available"):
        cy.export(cy.image(1), "out.png")


def test_glyph_info_and_the_image_options(cy):
    g, value, image = cy.glyph(65, 8)
    assert type(g) is GlyphInfo and value == 65
    assert type(image) is Image and (image.width, image.is_owner) == (8, 0)
    # The optional argument reaches the entry as its optional-argument record.
    assert [cy.image(3).is_owner, cy.image(3, 0).is_owner, cy.image(3, 1).is_owner] == [1, 0, 1]
    glyph = cy.Glyph()
    glyph.label = "A"
    assert isinstance(glyph, GlyphInfo) and glyph.label == "A"


def test_cdef_rect_subclass_overrides_reach_c_callers(cy):
    wall = cy.Wall(0, 0, 10, 10)
    assert isinstance(wall, Rect) and wall == Rect(0, 0, 10, 10) and wall.tests == 0
    assert wall.get_width() == 20.0 and abi.vtab_get_width(wall) == 20.0  # Python, and C through its table
    assert abi.vtab_collide_point(wall, (5, 5)) is True and wall.collide_point((11, 5)) is False and wall.tests == 2
    with pytest.raises(LookupError, match="no point"):  # raised in the override, seen by the C caller
        abi.vtab_collide_point(wall, None)
    assert Rect(5, 5, 1, 1).collide_rect(wall) and cy.rect_entries(wall, (5, 5), (1, 1, 1, 1))["get_width"] == 20.0


def test_cdef_subclass_instances_are_released(cy):
    free = abi.freelist_info(Rect)
    blocks = sys.getallocatedblocks()
    for i in range(10_000):
        cy.Wall(i, 0, 1, 1).tests = i
    assert sys.getallocatedblocks() - blocks < 100 and abi.freelist_info(Rect) == free  # never recycled as Rects


# ---- the declarations against velmora.h ----


def header_layouts() -> dict[str, tuple[list, list]]:
    """Each class's instance record and table in velmora.h: (fields, entries)."""
    text = re.sub(r"/\*.*?\*/", "", (HEADERS / "velmora.h").read_text(), flags=re.S)
    layouts = {}
    for cls in CLASSES:
        record = re.search(rf"typedef struct {cls}Object \{{(.*?)\}} {cls}Object;", text, re.S).group(1)
        table = re.search(rf"typedef struct {cls}MethodTable \{{(.*?)\}} {cls}MethodTable;", text, re.S).group(1)
        fields = [" ".join(f.split()) for f in record.split(";") if f.strip()]
        fields = ["table" if "MethodTable *vtab" in f else f for f in fields]
        entries = []
        for result, name, params in re.findall(r"([\w ]+?\s*\**)\s*\(\*(\w+)\)\(([^;]*?)\);", table, re.S):
            # The parameter names go; the skip-dispatch flag is kept as such.
            kinds = [" ".join(p.split()) for p in params.split(",")]
            kinds = ["flag" if k == "int skip_dispatch" else re.sub(r"\s*\b\w+$", "", k) if k != "void" else k
                     for k in kinds]
            entries.append((name.rstrip("_"), " ".join(result.split()), kinds))
        layouts[cls] = (fields, entries)
    return layouts


def cython_layouts(tmp_path) -> dict[str, tuple[list, list]]:
    """The same, as Cython lays them out from the shipped declarations."""
    pyx = tmp_path / "every_class.pyx"
    pyx.write_text("".join(f"from velmora.{m}.{m} cimport {c}\n" for c, m in CLASSES.items()))
    result = cython(pyx, "-o", "every_class.c")
    assert result.returncode == 0, result.stderr
    code = (tmp_path / "every_class.c").read_text()
    names = "|".join(CLASSES)

    def plain(text):
        text = re.sub(rf"struct __pyx_obj_\w+?_({names}) \*", r"\1Object *", " ".join(text.split()))
        return text.replace("int __pyx_skip_dispatch", "flag")

    opt = re.search(r"struct __pyx_opt_args_\w+Image_new \{(.*?)\};", code, re.S).group(1)
    assert opt.split() == ["int", "__pyx_n;", "int", "is_owner;"]  # ImageNewOptArgs: {int n; int is_owner;}
    layouts = {}
    for cls in CLASSES:
        mangled = rf"\w+_{cls}"
        record = re.search(rf"struct __pyx_obj_{mangled} \{{(.*?)\}};", code, re.S).group(1)
        fields = [plain(f) for f in record.split(";") if f.strip()]
        fields = ["table" if "__pyx_vtab" in f else f for f in fields]
        table = re.search(rf"struct __pyx_vtabstruct_{mangled} \{{(.*?)\}};", code, re.S).group(1)
        entries = []
        for result, name, params in re.findall(r"([\w ]+?\s*\**)\s*\(\*(\w+)\)\(([^;]*?)\);", table, re.S):
            kinds = [plain(p) for p in params.split(",")]
            kinds = ["ImageNewOptArgs *" if "__pyx_opt_args" in k else k for k in kinds]
            entries.append((name.removeprefix("__pyx_"), plain(result), kinds))
        layouts[cls] = (fields, entries)
    return layouts


def test_declarations_match_the_header_slot_by_slot(tmp_path):
    header, declared = header_layouts(), cython_layouts(tmp_path)
    assert [len(header[c][1]) for c in CLASSES] == [31, 31, 30, 14, 1, 10]
    for cls in CLASSES:
        assert declared[cls][0] == header[cls][0], f"{cls}'s instance record"
        for slot, (want, got) in enumerate(zip(header[cls][1], declared[cls][1], strict=True)):
            assert got == want, f"{cls} slot {slot}"


DECLARATION = re.compile(
    r"^ +c(?:p?)def (?P<result>[\w.]+ ?\**) ?(?P<name>\w+)\((?P<params>[^)]*)\)(?P<tail>.*)$", re.M)


@pytest.mark.parametrize("cls", CLASSES)
def test_entries_without_an_object_result_are_except_star(cls):
    # An entry whose result is not an object signals failure only by a pending exception;
    # Cython's default for such a result would test for a special value instead, and miss a
    # failure that returns 0.
    module = CLASSES[cls]
    text = (Path(velmora.__file__).parent / module / f"{module}.pxd").read_text()
    header = dict((name, result) for name, result, _ in header_layouts()[cls][1])
    declared = {m["name"]: (m["result"].strip(), m["tail"]) for m in DECLARATION.finditer(text)}
    assert list(declared) == list(header)
    for name, (result, tail) in declared.items():
        assert tail == ("" if header[name].endswith("*") else " except *"), f"{cls}.{name}: {result}{tail}"


def test_subclass_of_a_final_class_is_refused_at_compile_time(tmp_path):
    # One file, every class: Cython reports each refusal, and none for the two open classes.
    pyx = tmp_path / "subclasses.pyx"
    pyx.write_text("".join(f"from velmora.{m}.{m} cimport {c}\ncdef class Mine{c}({c}):\n    cdef double extra\n"
                           for c, m in CLASSES.items()))
    result = cython(pyx, "-o", "subclasses.c")
    refused = re.findall(r"Base class '(\w+)' of type 'Mine\1' is final", result.stdout + result.stderr)
    assert result.returncode != 0 and refused == ["Vector2", "Vector3", "Vector4", "Image"]
