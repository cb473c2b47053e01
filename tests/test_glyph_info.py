"""GlyphInfo: records wrapped by native code, and the stand-in Image class."""
import copy
import gc
import pickle
import sys

import pytest

from helpers import abi, output_of, raised_in_fresh_process
from velmora.glyph_info.glyph_info import GlyphInfo
from velmora.image.image import Image

MESSAGE = "self._raw cannot be converted to a Python object for pickling"


@pytest.mark.parametrize("args, kwargs", [((), {}), ((1, 2), {"key": 3})])
def test_python_construction_gives_empty_instances(args, kwargs):
    g = GlyphInfo(*args, **kwargs)
    assert type(g) is GlyphInfo
    for name in ("value", "_raw", "_image", "image"):
        with pytest.raises(AttributeError):
            getattr(g, name)
    assert gc.get_referents(g) == [None]


def test_identity_equality_and_hashing():
    a, b = GlyphInfo(), GlyphInfo()
    assert a == a and a != b and hash(a) == hash(a)
    assert len({a, b}) == 2


@pytest.mark.parametrize("call", [
    lambda g: pickle.dumps(g), lambda g: copy.copy(g), lambda g: copy.deepcopy(g),
    lambda g: g.__reduce__(), lambda g: g.__setstate__(None),
])
def test_pickling_and_copying_refused(call):
    with pytest.raises(TypeError) as info:
        call(GlyphInfo())
    assert str(info.value) == MESSAGE


def test_setstate_argument_count():
    with pytest.raises(TypeError, match=r"^__setstate__\(\) takes exactly 1 positional argument \(0 given\)$"):
        GlyphInfo().__setstate__()


def test_subclass_cycle_is_collected():
    class G(GlyphInfo):
        pass

    g = G(1, x=2)
    g.me = g
    alive = [True]

    class Marker:
        def __del__(self):
            alive[0] = False

    g.marker = Marker()
    del g
    gc.collect()
    assert alive == [False]


def test_new_wraps_the_image_without_owning_it():
    g = abi.gi_new(65, 1, 2, 9, 0, 16, 24, 1, 7)
    assert type(g) is GlyphInfo
    (image,) = gc.get_referents(g)
    assert type(image) is Image
    assert (image.width, image.height, image.mipmaps, image.format, image.is_owner) == (16, 24, 1, 7, 0)
    before = sys.getrefcount(image)
    del g
    gc.collect()
    assert sys.getrefcount(image) == before - 1


def test_image_cannot_be_pickled_and_is_read_only():
    image = gc.get_referents(abi.gi_new(1, 0, 0, 0, 0x1000, 2, 2, 1, 1))[0]
    with pytest.raises(TypeError, match=MESSAGE):
        pickle.dumps(image)
    with pytest.raises(AttributeError):
        image.width = 3


@pytest.mark.slow
def test_new_fails_with_the_image_exception_and_leaves_no_glyph():
    out = output_of(
        """
        import gc
        import velmora.image.image as image_module
        import testabi as abi
        image_module.Image = abi.failing_image_type()
        from velmora.glyph_info.glyph_info import GlyphInfo
        try:
            abi.gi_new(65, 0, 0, 0, 0, 1, 1, 1, 1)
        except RuntimeError as e:
            print(e, sum(type(o) is GlyphInfo for o in gc.get_objects()))
        """
    )
    assert out == "image refused (is_owner=0) 0"


@pytest.mark.slow
@pytest.mark.parametrize(
    "setup, expected",
    [
        ("del m.Image", "AttributeError module 'velmora.image.image' has no attribute 'Image'"),
        ("m.Image = 5", "TypeError velmora.image.image.Image is not a type object"),
        ("m.Image = type('Small', (), {'__slots__': ()})",
         "ValueError velmora.image.image.Image size changed, may indicate binary incompatibility. "
         "Expected 56 from C header, got 16 from PyObject"),
        ("m.Image = type('NoTable', (), {'__slots__': tuple('abcde')})", "KeyError '__pyx_vtable__'"),
    ],
)
def test_import_failures(setup, expected):
    out = raised_in_fresh_process(f"import velmora.image.image as m\n{setup}", "import velmora.glyph_info.glyph_info")
    assert out == expected
