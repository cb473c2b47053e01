"""`pytest --leaks`: finds reference leaks the way CPython's own -R option does.

Each test runs several times to warm up (free lists, caches and interned names fill), then
several more times while the interpreter's total reference count and its count of
allocated memory blocks are recorded around each run. A test leaks only when every
tracked delta of one of the two is positive: a one-off allocation is not a leak, growth
on every run is. Needs a debug interpreter (sys.gettotalrefcount).

Tests marked `slow` (subprocesses, valgrind) and hypothesis tests, whose examples differ
from run to run, run once as usual, and so do tests marked `unhunted`: they make objects of a
release-built extension (numpy's scalars), whose reference counting a debug interpreter's
totals do not see, or run source text with exec, which 3.15's debug build counts one
reference more for on every run (a plain `exec` of a few lines of json does it too).
"""
import gc
import sys

import pytest

WARMUPS = 4
TRACKED = 4


def pytest_addoption(parser):
    parser.addoption("--leaks", action="store_true", help="fail tests that leak references or memory blocks")


def pytest_configure(config):
    if config.getoption("--leaks") and not hasattr(sys, "gettotalrefcount"):
        raise pytest.UsageError("--leaks needs a debug interpreter (sys.gettotalrefcount)")


# 3.13 added the broader cache clearing and deprecated the old name, whose warning on every
# call would itself show as growth.
_clear_caches = getattr(sys, "_clear_internal_caches", None) or sys._clear_type_cache


def _snapshot():
    gc.collect()
    _clear_caches()
    return sys.gettotalrefcount(), sys.getallocatedblocks()


def _hunted(item):
    return (
        item.config.getoption("--leaks")
        and item.get_closest_marker("slow") is None
        and item.get_closest_marker("unhunted") is None
        and not getattr(getattr(item, "obj", None), "is_hypothesis_test", False)
    )


@pytest.hookimpl(wrapper=True)
def pytest_runtest_call(item):
    if not _hunted(item):
        return (yield)
    for _ in range(WARMUPS):
        item.runtest()
    # Preallocated, so that recording a delta allocates nothing between snapshots.
    refs, blocks = [0] * TRACKED, [0] * TRACKED
    before = _snapshot()
    for i in range(TRACKED):
        item.runtest()
        after = _snapshot()
        refs[i] = after[0] - before[0]
        blocks[i] = after[1] - before[1]
        before = after
    result = yield
    leaks = [f"{name} deltas {deltas}" for name, deltas in (("reference", refs), ("block", blocks))
             if all(d > 0 for d in deltas)]
    if leaks:
        raise AssertionError("leaks: " + "; ".join(leaks))
    return result
