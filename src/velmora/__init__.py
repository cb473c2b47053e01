"""velmora: fast, exact geometry records in raylib's memory layout."""

__version__ = "0.1.0"
