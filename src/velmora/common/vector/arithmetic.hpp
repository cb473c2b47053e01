// Vector arithmetic: the operators (velmora vector operands only, no reflected forms) and
// the C-level entries of the arithmetic, metrics and transforms. The numbers themselves are
// computed in kernels.hpp.
#pragma once

#include "../args.hpp"
#include "../convert.hpp"
#include "core.hpp"

#include <cmath>

namespace velmora {

template <VectorConfig Cfg> struct VectorArithmetic : VectorCore<Cfg> {
    VELMORA_VECTOR_NAMES;

    // ---- entries ----

    static Object *add_entry(Object *a, Object *b) { return V::make(kernels::combine(V::load(a), V::load(b), kernels::plus)); }
    static Object *sub_entry(Object *a, Object *b) { return V::make(kernels::combine(V::load(a), V::load(b), kernels::minus)); }
    static void iadd_entry(Object *a, Object *b) { V::store(a, kernels::combine(V::load(a), V::load(b), kernels::plus)); }
    static void isub_entry(Object *a, Object *b) { V::store(a, kernels::combine(V::load(a), V::load(b), kernels::minus)); }
    static void imul_entry(Object *a, Object *b) { V::store(a, kernels::combine(V::load(a), V::load(b), kernels::times)); }
    static void sadd_own(Object *self, Object *a, Object *b) {
        V::store(self, kernels::combine(V::load(a), V::load(b), kernels::plus));
    }
    static void sadd_entry(Object *self, Object *a, Object *b, int) {
        sadd_own(self, a, b);
        // Looks redundant, since the sum itself cannot fail: a native caller may call this
        // entry with an exception already pending, and then the entry reports it as its own.
        if (PyErr_Occurred()) {
            add_traceback(Cfg::type_name, "sadd");
        }
    }

    static double dot_entry(Object *self, Object *other, int) { return kernels::sum_of_products(V::load(self), V::load(other)); }
    static double distance_squared_entry(Object *self, Object *other, int) {
        return kernels::distance_squared(V::load(self), V::load(other));
    }
    static double distance_entry(Object *self, Object *other, int) {
        return std::sqrt(kernels::distance_squared(V::load(self), V::load(other)));
    }

    // to_… changes the receiver and returns it; get_… returns a new vector.
    template <Comps (*F)(const Comps &)> static Object *to_entry(Object *self, int) {
        V::store(self, F(V::load(self)));
        Py_INCREF(self);
        return self;
    }
    template <Comps (*F)(const Comps &)> static Object *get_entry(Object *self, int) { return V::make(F(V::load(self))); }
    static Object *copy_entry(Object *self, int) { return V::make(V::load(self)); }

    static constexpr auto normalized = kernels::normalized<Scalar, N>;
    static constexpr auto rounded = kernels::rounded<Scalar, N>;
    static constexpr auto absolute = kernels::absolute<Scalar, N>;
    static constexpr auto negated = kernels::negated<Scalar, N>;

    // ---- operators ----

    // `+` and `-`: the right operand must be a vector of the class.
    template <Object *(*Entry)(Object *, Object *)>
    static PyObject *additive(PyObject *self, PyObject *other, const char *name) {
        if (!V::is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        PyObject *result = V::obj(Entry(V::cast(self), V::cast(other)));
        return result ? result : fail::object(name);
    }

    // `*`, `/`, `//`: a vector of the class component-wise, a number as a scale, anything
    // else NotImplemented. An exact float is the common case and is tested first.
    template <auto Op> static PyObject *multiplicative(PyObject *self, PyObject *other, const char *name) {
        Object *result;
        if (PyFloat_CheckExact(other)) {
            result = V::make(kernels::scale(V::load(V::cast(self)), PyFloat_AS_DOUBLE(other), Op));
        } else if (V::is_vector(other)) {
            result = V::make(kernels::combine(V::load(V::cast(self)), V::load(V::cast(other)), Op));
        } else {
            if (!is_real_number(other)) {
                Py_RETURN_NOTIMPLEMENTED;
            }
            double k;
            if (!to_double(other, k)) {
                return fail::object(name);
            }
            result = V::make(kernels::scale(V::load(V::cast(self)), k, Op));
        }
        return result ? V::obj(result) : fail::object(name);
    }

    template <void (*Entry)(Object *, Object *)>
    static PyObject *inplace(PyObject *self, PyObject *other, const char *name) {
        if (!V::is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        Entry(V::cast(self), V::cast(other));
        return Py_NewRef(self);
    }

    // Number slots: the vector must be the left operand.
    template <PyObject *(*Op)(PyObject *, PyObject *, const char *), Name name>
    static PyObject *slot(PyObject *left, PyObject *right) {
        if (!V::is_vector(left)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return Op(left, right, name.c_str());
    }

    static PyObject *negative(PyObject *self) {
        PyObject *result = V::obj(V::make(kernels::negated(V::load(V::cast(self)))));
        return result ? result : fail::object("__neg__");
    }

    static inline PyNumberMethods number_slots = {
        .nb_add = slot<additive<add_entry>, "__add__">,
        .nb_subtract = slot<additive<sub_entry>, "__sub__">,
        .nb_multiply = slot<multiplicative<kernels::times>, "__mul__">,
        .nb_negative = negative,
        .nb_inplace_add = slot<inplace<iadd_entry>, "__iadd__">,
        .nb_inplace_subtract = slot<inplace<isub_entry>, "__isub__">,
        .nb_inplace_multiply = slot<inplace<imul_entry>, "__imul__">,
        .nb_floor_divide = slot<multiplicative<kernels::floor_divide>, "__floordiv__">,
        .nb_true_divide = slot<multiplicative<kernels::divide>, "__truediv__">,
    };

    // An operator as a method (`v.__mul__(2)`): the slot's own function, one positional
    // argument, as the interpreter's own operator methods take it.
    template <Name name, auto Op> struct Operator {
        static constexpr const char *signature = "($self, other, /)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *other;
            if (!no_keyword_names(kw, name.c_str()) || !bind_args(name.c_str(), args, nargs, nullptr, {"other"}, &other)) {
                return fail::object(name.c_str());
            }
            return Op(self, other, name.c_str());
        }
    };

    template <Name name, auto> struct Sadd {
        static constexpr const char *signature = "($self, new_vec, old_vec)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *a, *b;
            if (!bind_args(name.c_str(), args, nargs, kw, {"new_vec", "old_vec"}, &a, &b)) {
                return fail::object(name.c_str());
            }
            if (!V::is_vector(a) || !V::is_vector(b)) {
                arg_type_error(V::is_vector(a) ? "old_vec" : "new_vec", Cfg::type_name, V::is_vector(a) ? b : a);
                return fail::object(name.c_str());
            }
            sadd_entry(V::cast(self), V::cast(a), V::cast(b), 1);
            Py_RETURN_NONE;
        }
    };
};

}  // namespace velmora
