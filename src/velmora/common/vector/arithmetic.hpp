// Vector arithmetic: the operators (velmora vector operands only, no reflected forms) and the
// functions of the arithmetic and transform rows and entries. The numbers themselves are
// computed in kernels.hpp.
#pragma once

#include "../convert.hpp"
#include "core.hpp"

#include <cmath>

namespace velmora {

template <VectorConfig Config> struct VectorArithmetic : VectorCore<Config> {
    VELMORA_VECTOR_NAMES;

    // ---- the C-level arithmetic entries ----

    static Object *add(Object *a, Object *b) {
        return Core::make(kernels::combine(Core::load(a), Core::load(b), kernels::plus));
    }
    static Object *subtract(Object *a, Object *b) {
        return Core::make(kernels::combine(Core::load(a), Core::load(b), kernels::minus));
    }
    static void add_in_place(Object *a, Object *b) {
        Core::store(a, kernels::combine(Core::load(a), Core::load(b), kernels::plus));
    }
    static void subtract_in_place(Object *a, Object *b) {
        Core::store(a, kernels::combine(Core::load(a), Core::load(b), kernels::minus));
    }
    static void multiply_in_place(Object *a, Object *b) {
        Core::store(a, kernels::combine(Core::load(a), Core::load(b), kernels::times));
    }

    // new_vec + old_vec stored in this vector, from values read before the store: the receiver
    // may be either argument. The table's _sadd entry.
    static void store_sum(Object *self, Object *new_vec, Object *old_vec) {
        Core::store(self, kernels::combine(Core::load(new_vec), Core::load(old_vec), kernels::plus));
    }
    // The Python method sadd and the flagged entry: the same sum. Looks redundant, since the sum
    // itself cannot fail: a native caller may call the entry with an exception already pending,
    // and then the entry reports it as its own.
    static void sadd(Object *self, const Comps &new_vec, const Comps &old_vec) {
        Core::store(self, kernels::combine(new_vec, old_vec, kernels::plus));
        if (PyErr_Occurred()) {
            add_traceback(Config::type_name, "sadd");
        }
    }

    // to_… changes the receiver and returns it (a new reference); get_… is F itself.
    template <Comps (*F)(const Comps &)> static Object *in_place(Object *self) {
        Core::store(self, F(Core::load(self)));
        Py_INCREF(self);
        return self;
    }

    // ---- operators: the vector must be the left operand ----

    // `+` and `-`: the right operand must be a vector of the class.
    template <Object *(*Entry)(Object *, Object *)>
    static PyObject *additive(PyObject *self, PyObject *other, const char *name) {
        if (!Core::is_vector(self)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        if (!Core::is_vector(other)) {
            arg_type_error("other", Config::type_name, other);
            return fail::object(name);
        }
        PyObject *result = Core::obj(Entry(Core::cast(self), Core::cast(other)));
        return result ? result : fail::object(name);
    }

    // `*`, `/`, `//`: a vector of the class component-wise, a number as a scale, anything
    // else NotImplemented. An exact float is the common case and is tested first.
    template <auto Op> static PyObject *multiplicative(PyObject *self, PyObject *other, const char *name) {
        if (!Core::is_vector(self)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        Object *result;
        if (PyFloat_CheckExact(other)) {
            result = Core::make(kernels::scale(Core::load(Core::cast(self)), PyFloat_AS_DOUBLE(other), Op));
        } else if (Core::is_vector(other)) {
            result = Core::make(kernels::combine(Core::load(Core::cast(self)), Core::load(Core::cast(other)), Op));
        } else {
            if (!is_real_number(other)) {
                Py_RETURN_NOTIMPLEMENTED;
            }
            double k;
            if (!to_double(other, k)) {
                return fail::object(name);
            }
            result = Core::make(kernels::scale(Core::load(Core::cast(self)), k, Op));
        }
        return result ? Core::obj(result) : fail::object(name);
    }

    // `+=`, `-=`, `*=`: a vector of the class only.
    template <void (*Entry)(Object *, Object *)>
    static PyObject *inplace(PyObject *self, PyObject *other, const char *name) {
        if (!Core::is_vector(self)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        if (!Core::is_vector(other)) {
            arg_type_error("other", Config::type_name, other);
            return fail::object(name);
        }
        Entry(Core::cast(self), Core::cast(other));
        return Py_NewRef(self);
    }

    static PyObject *negative(PyObject *self, const char *name) {
        PyObject *result = Core::obj(Core::make(kernels::negated(Core::load(Core::cast(self)))));
        return result ? result : fail::object(name);
    }

    static inline PyNumberMethods number_slots{};  // filled from the operator rows
};

}  // namespace velmora
