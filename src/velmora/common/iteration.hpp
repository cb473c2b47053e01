// Searching any iterable: the index of the first item that passes a test, or the indices of
// all of them. Items are read one at a time, each held while it is tested (its test may run
// code that changes the container), and a list is measured again at every item; an item the
// caller knows to run no code while tested is tested in place in a list or tuple.
#pragma once

#include "ref.hpp"

namespace velmora {

// The first index as an int, or -1 (all = false); a list of every index (all = true). `test`
// gives 1, 0, or -1 with an exception set; `inert(item)` tells that testing the item runs no
// code. nullptr with an exception set when a test, the iteration or the result fails.
template <bool all, class Test, class Inert> PyObject *matching_indices(PyObject *iterable, Test test, Inert inert) {
    ref found;
    if constexpr (all) {
        found = ref::steal(PyList_New(0));
        if (!found) {
            return nullptr;
        }
    }
    // 1 when the search is over, 0 to go on, -1 on error.
    auto add = [&](Py_ssize_t index, int hit) -> int {
        if (hit <= 0) {
            return hit;
        }
        if constexpr (!all) {
            found = ref::steal(PyLong_FromSsize_t(index));
            return found ? 1 : -1;
        } else {
            ref number = ref::steal(PyLong_FromSsize_t(index));
            return number && PyList_Append(found.get(), number.get()) == 0 ? 0 : -1;
        }
    };
    auto result = [&]() -> PyObject * { return found ? found.release() : PyLong_FromLong(-1); };

    // A list or tuple: item i of `items` until the end, measured again at every item.
    auto scan = [&](auto item_at) -> PyObject * {
        for (Py_ssize_t i = 0; i < Py_SIZE(iterable); ++i) {
            PyObject *item = item_at(i);
            const int hit = inert(item) ? test(item) : test(ref::borrow(item).get());
            const int done = add(i, hit);
            if (done < 0) {
                return nullptr;
            }
            if (done > 0) {
                break;
            }
        }
        return result();
    };
    if (PyList_CheckExact(iterable)) {
        return scan([&](Py_ssize_t i) { return PyList_GET_ITEM(iterable, i); });
    }
    if (PyTuple_CheckExact(iterable)) {
        return scan([&](Py_ssize_t i) { return PyTuple_GET_ITEM(iterable, i); });
    }
    ref iterator = ref::steal(PyObject_GetIter(iterable));
    if (!iterator) {
        return nullptr;
    }
    for (Py_ssize_t index = 0;; ++index) {
        ref item = ref::steal(PyIter_Next(iterator.get()));
        if (!item) {
            return PyErr_Occurred() ? nullptr : result();
        }
        const int done = add(index, test(item.get()));
        if (done < 0) {
            return nullptr;
        }
        if (done > 0) {
            return result();
        }
    }
}

}  // namespace velmora
