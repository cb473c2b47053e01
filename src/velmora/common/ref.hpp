// Owned references as values. A `ref` owns one reference and releases it when it goes
// out of scope, so error paths are plain early returns. A raw pointer that velmora's C++ code
// holds or is passed is a borrowed reference; one that a creating function returns (`make`,
// `rect_new`, a table entry with an object result, the interpreter's own New… calls) is a new
// reference, which the caller hands on or takes into a `ref` with `ref::steal`.
#pragma once

#include "velmora.h"

#include <utility>

namespace velmora {

class ref {
public:
    ref() = default;
    ref(const ref &) = delete;
    ref &operator=(const ref &) = delete;
    ref(ref &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ref &operator=(ref &&other) noexcept {
        if (this != &other) {
            Py_XDECREF(p_);
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ref() { Py_XDECREF(p_); }

    // Takes over a new reference (which may be NULL after a failed call).
    template <class T> static ref steal(T *o) { return ref(reinterpret_cast<PyObject *>(o)); }
    // Adds a reference to a borrowed object.
    template <class T> static ref borrow(T *o) {
        Py_XINCREF(reinterpret_cast<PyObject *>(o));
        return ref(reinterpret_cast<PyObject *>(o));
    }

    PyObject *get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Hands the reference to the caller.
    PyObject *release() { return std::exchange(p_, nullptr); }
    template <class T> T *release_as() { return reinterpret_cast<T *>(release()); }

private:
    explicit ref(PyObject *p) : p_(p) {}
    PyObject *p_ = nullptr;
};

}  // namespace velmora
