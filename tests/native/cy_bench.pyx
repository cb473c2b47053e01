# cython: language_level=3
"""Loops of table calls and record reads for tests/bench_native.py: each runs its operation n
times (or over every item) in C, so that a call from Python costs nothing per operation."""
from velmora.rect.rect cimport Rect
from velmora.vector2.vector2 cimport Vector2


def dot(Vector2 a, Vector2 b, long n):
    cdef double s = 0
    for _ in range(n):
        s += a.dot(b)
    return s


def read_x(list items):
    # Over many vectors: a record read from one vector in a loop would be hoisted out of it.
    cdef Vector2 p
    cdef double s = 0
    for p in items:
        s += p.data.x
    return s


def collide_rect_rect(Rect r, Rect o, long n):
    cdef long hits = 0
    for _ in range(n):
        hits += r.collide_rect_rect(o)
    return hits


def collide_point_vector2(Rect r, Vector2 p, long n):
    cdef long hits = 0
    for _ in range(n):
        hits += r.collide_point_vector2(p)
    return hits


def new(long n):
    for _ in range(n):
        Vector2.new(1.5, 2.5)
