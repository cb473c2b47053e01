// Kinds of parameter and result that say how a value crosses between Python and a row's
// function, beyond plain numbers and records. A row's function takes or returns these; each
// class's binding (binding.hpp) reads and gives the kinds it supports.
#pragma once

#include "velmora.h"

namespace velmora {

// An int read through the integer conversion: to a signed 32-bit integer by __int__.
struct Int32 {
    int value;
};

// An argument of exactly the type `Type`, no subclass and not None; anything else is the
// argument-type error.
template <PyTypeObject *Type> struct Exactly {
    PyObject *object;
    static constexpr PyTypeObject *type = Type;
};
template <class> constexpr bool is_exactly = false;
template <PyTypeObject *Type> constexpr bool is_exactly<Exactly<Type>> = true;

// A typed argument of a method that native callers reach too, as the C-level table declares it:
// an instance of the class in `*Type` (set when the module initialises), or an object of
// exactly `Type`; None passes either test, and the function then decides what it means.
template <PyTypeObject **Type> struct InstanceOrNone {
    PyObject *object;
    static PyTypeObject *type() { return *Type; }
    static constexpr bool exact = false;
};
template <PyTypeObject *Type> struct ExactlyOrNone {
    PyObject *object;
    static PyTypeObject *type() { return Type; }
    static constexpr bool exact = true;
};
template <class> constexpr bool is_typed_or_none = false;
template <PyTypeObject **Type> constexpr bool is_typed_or_none<InstanceOrNone<Type>> = true;
template <PyTypeObject *Type> constexpr bool is_typed_or_none<ExactlyOrNone<Type>> = true;

// A truth value that can fail: 1 or 0, or -1 with an exception set.
struct Truth {
    int value;
};

}  // namespace velmora
