"""velmora: fast, exact geometry records in raylib's memory layout."""

import os as _os

__version__ = "0.1.0"


def get_include() -> str:
    """The folder of velmora's C headers (velmora.h), for building native modules that
    call velmora's classes through their C-level tables."""
    return _os.path.join(_os.path.dirname(__file__), "include")
