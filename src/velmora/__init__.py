"""velmora: fast, exact geometry records in raylib's memory layout.

    from velmora import Vector2, Vector3, Vector4, Rect, GlyphInfo

Each class lives in an extension module of its own (velmora.vector2.vector2, ...), which its
subpackage re-exports (velmora.vector2); the names here load it on first use."""

import os as _os

__version__ = "0.1.0"

__all__ = ["GlyphInfo", "Rect", "Vector2", "Vector3", "Vector4", "get_include"]

# Each class and the subpackage that holds it.
_SUBPACKAGES = {"GlyphInfo": "glyph_info", "Rect": "rect", "Vector2": "vector2", "Vector3": "vector3",
                "Vector4": "vector4"}


def get_include() -> str:
    """The folder of velmora's C headers (velmora.h), for building native modules that
    call velmora's classes through their C-level tables."""
    return _os.path.join(_os.path.dirname(__file__), "include")


def __getattr__(name: str) -> type:
    # Loaded on first use, so that `import velmora` initialises no extension module; the
    # import is the one `import velmora.rect` makes, so a module initialises exactly as
    # a direct import would initialise it, and fails with the same error. __import__, not
    # importlib.import_module: the importlib package is not loaded at start-up, and loading
    # it would cost more than the class's own module.
    subpackage = _SUBPACKAGES.get(name)
    if subpackage is None:
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    cls = getattr(__import__(f"{__name__}.{subpackage}", None, None, [name]), name)
    globals()[name] = cls  # later reads are plain lookups
    return cls


def __dir__() -> list[str]:
    return sorted(set(globals()) | set(__all__))
