"""velmora's pybind11 and nanobind type casters (velmora_pybind11.hpp, velmora_nanobind.hpp),
in modules built against the installed package: the README's examples as it shows them, and
one source built with each library that takes and returns every record by value, reference and
pointer."""
import subprocess
import sys
import sysconfig
from pathlib import Path

import pytest

from helpers import (
    NATIVE,
    build_extension,
    cached_module,
    compile_native,
    compiler,
    load_extension,
    readme_blocks,
)
from velmora.rect.rect import Rect
from velmora.vector2.vector2 import Vector2
from velmora.vector3.vector3 import Vector3
from velmora.vector4.vector4 import Vector4

pytestmark = [pytest.mark.slow, pytest.mark.toolchain]
LIBRARIES = ["pybind11", "nanobind"]


def nanobind_flags(nanobind) -> list[str]:
    source = Path(nanobind.source_dir())
    return ["-isystem", nanobind.include_dir(), "-isystem", str(source.parent / "ext" / "robin_map" / "include")]


def nanobind_library(nanobind) -> Path:
    """nanobind's own library, which every nanobind module links in: compiled once per version
    and interpreter, as nanobind's CMake build does for a release build."""
    source = Path(nanobind.source_dir()) / "nb_combined.cpp"
    flags = [*compiler("c++")[:-3], "-O2", "-fPIC", "-DNB_BUILD", "-DNB_COMPACT_ASSERTIONS", "-fno-strict-aliasing",
             "-ffunction-sections", "-fdata-sections", "-I" + sysconfig.get_paths()["include"],
             *nanobind_flags(nanobind)]

    def make(folder, target):
        compile_native([*flags, "-c", str(source), "-o", str(target)], "nanobind's library")

    return cached_module("libnanobind", [nanobind.__version__, *flags], make, suffix=".o") / "libnanobind.o"


def build_with(library: str, name: str, source: str) -> Path:
    tool = pytest.importorskip(library)
    if library == "pybind11":
        return build_extension(name, source, language="c++",
                               flags=["-isystem", tool.get_include(), "-DVELMORA_PYBIND11", f"-DVELMORA_MODULE={name}",
                                      "-fvisibility=hidden"],
                               parts=[tool.__version__])
    return build_extension(name, source, language="c++", flags=[*nanobind_flags(tool), f"-DVELMORA_MODULE={name}",
                                                                 "-fvisibility=hidden", "-Wl,--gc-sections"],
                           objects=[nanobind_library(tool)], parts=[tool.__version__])


@pytest.fixture(scope="module", params=LIBRARIES)
def mod(request):
    name = f"casters_{request.param}"
    return load_extension(name, build_with(request.param, name, (NATIVE / "casters.cpp").read_text()))


CASES = [(Vector2, "echo2", (0.1, -2)), (Vector3, "echo3", (0.1, -2, 3)), (Vector4, "echo4", (0.1, -2, 3, 4)),
         (Rect, "echo_rect", (0.1, -2, 3, 4))]


@pytest.mark.parametrize("cls, name, values", CASES, ids=[c[0].__name__ for c in CASES])
def test_records_both_ways(mod, cls, name, values):
    echo, exact = getattr(mod, name), getattr(mod, name + "_exact")
    v = cls(*values)
    for call in (echo, exact):
        out = call(v)
        assert type(out) is cls and out == v and out is not v  # a new object of exactly the class
    for seq in (list(values), tuple(values)):
        assert type(echo(seq)) is cls and echo(seq) == v  # converted as cls(seq) converts
    wrong_class = Rect() if cls is Vector4 else Vector4()  # which cls() would take, but is no list or tuple
    for bad, call in [*((b, echo) for b in [values[:-1], [*values, 1], (*values[:-1], "a"), None, wrong_class]),
                      (list(values), exact), (tuple(values), exact)]:
        with pytest.raises(TypeError, match="incompatible function arguments"):  # the library's own error
            call(bad)


def test_rect_subclass_is_a_rectangle(mod):
    class Sub(Rect):
        pass

    r = Sub(1, 2, 3, 4)
    assert type(mod.echo_rect_exact(r)) is Rect and mod.echo_rect(r) == Rect(1, 2, 3, 4)
    mod.grow(r, 1)
    assert r == Rect(1, 2, 4, 5) and type(r) is Sub


def test_reference_parameters_write_through(mod):
    v2, v3, v4, r = Vector2(1, 2), Vector3(1, 2, 3), Vector4(0.1, 2, 3, 4), Rect(0, 0, 1, 1)
    mod.scale2(v2, 2), mod.scale3(v3, 2), mod.scale4(v4, 3), mod.grow(r, 0.5)
    assert (v2, v3, v4, r) == (Vector2(2, 4), Vector3(2, 4, 6), Vector4(0.1 * 3, 6, 9, 12), Rect(0, 0, 1.5, 1.5))
    assert mod.address(r) == id(r) + Rect.__basicsize__ - 16  # the record at the end of the object
    point = [1, 2]
    mod.scale2(point, 2)  # converted: a copy is changed, and the list is left alone
    assert point == [1, 2]


def test_results(mod):
    assert type(mod.centre(Rect(0, 0, 2, 4))) is Vector2 and mod.centre((0, 0, 2, 4)) == Vector2(1, 2)
    assert mod.maybe(True) == Rect(0, 0, 1, 1) and mod.maybe(False) is None


def test_reference_counts_over_many_calls(mod):
    v, r, pair = Vector2(1, 2), Rect(1, 2, 3, 4), (1.0, 2.0)
    for _ in range(1000):  # the free lists and the libraries' caches settle
        mod.echo2(v), mod.echo2(pair), mod.grow(r, 0)
    counts = [sys.getrefcount(o) for o in (v, r, pair)]
    blocks = sys.getallocatedblocks()
    for _ in range(100_000):
        mod.echo2(v), mod.echo2(pair), mod.grow(r, 0), mod.echo_rect(r)
    assert [sys.getrefcount(o) for o in (v, r, pair)] == counts
    assert sys.getallocatedblocks() - blocks < 100  # no result is kept


# ---- the README's examples, as it shows them ----


@pytest.mark.parametrize("library", LIBRARIES)
def test_readme_examples_build_as_shown_and_run(library):
    tool = pytest.importorskip(library)
    pytest.importorskip("setuptools")
    name = "grid" if library == "pybind11" else "grid_nb"
    source = next(block for block in readme_blocks("cpp") if f"({name}, m)" in block)
    setup = next(block for block in readme_blocks("py") if f'"{name}.cpp"' in block)

    def make(folder, target):
        work = Path(folder) / "work"
        work.mkdir(exist_ok=True)
        (work / f"{name}.cpp").write_text(source)
        (work / "setup.py").write_text(setup)
        result = subprocess.run([sys.executable, "setup.py", "-q", "build_ext", "--inplace"], cwd=work,
                                capture_output=True, text=True)
        assert result.returncode == 0, result.stdout + result.stderr
        (work / (name + sysconfig.get_config_var("EXT_SUFFIX"))).replace(target)

    grid = load_extension(name, cached_module(name, [source, setup, tool.__version__], make))
    p = Vector2(13, -7)
    grid.snap(p, 8)
    assert p == Vector2(16, -8)
    assert grid.cell(Vector2(13, -7), 8) == Rect(8, -8, 8, 8) and type(grid.cell((1, 1), 8)) is Rect
    with pytest.raises(TypeError):
        grid.cell((1, 1, 1), 8)
