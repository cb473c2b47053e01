// The vector family's members, one row each (the kinds of row are in ../rows.hpp): adding a
// method to the vector classes is adding a row here, or, for one class only, to its module's
// Own rows. Every table of the class is filled from its rows by family.hpp: the methods, the
// static methods, the properties and the C-level table; the stubs are written from them by
// tools/generate_stubs.py.
#pragma once

#include "../rows.hpp"
#include "arithmetic.hpp"
#include "construction.hpp"
#include "protocol.hpp"

namespace velmora {

template <VectorConfig Cfg> struct VectorMembers {
    VELMORA_VECTOR_NAMES;
    using C = VectorConstruction<Cfg>;
    using A = VectorArithmetic<Cfg>;
    using P = VectorProtocol<Cfg>;

    // ---- the binding policy: a vector of the class, or a number ----

    // One argument into an entry parameter of type T: a vector of the class, or a number (the
    // real conversion, rounded to the storage type as a C caller passing that type would).
    template <class T> static bool convert(PyObject *o, const char *param, T &out) {
        if constexpr (std::is_same_v<T, Object *> || std::is_same_v<T, Comps>) {
            if (!V::is_vector(o)) {
                arg_type_error(param, Cfg::type_name, o);
                return false;
            }
            if constexpr (std::is_same_v<T, Object *>) {
                out = V::cast(o);
            } else {
                out = V::load(V::cast(o));
            }
            return true;
        } else {
            static_assert(std::is_floating_point_v<T>);
            double d;
            if (!to_double(o, d)) {
                return false;
            }
            out = static_cast<T>(d);
            return true;
        }
    }

    // The receiver as the entry's first parameter takes it.
    template <class T> static T receiver(PyObject *self) {
        if constexpr (std::is_same_v<T, Object *>) {
            return V::cast(self);
        } else {
            return V::load(V::cast(self));
        }
    }

    // An entry's result as a Python object.
    template <class R> static PyObject *result_of(R r) {
        if constexpr (std::is_same_v<R, Comps>) {
            return V::obj(V::make(r));
        } else if constexpr (std::is_floating_point_v<R>) {
            return PyFloat_FromDouble(r);
        } else {
            return reinterpret_cast<PyObject *>(r);
        }
    }

    // A property computed from the components: getter(components) as a float.
    template <auto Getter> static PyObject *get_computed(PyObject *self, void *) {
        return PyFloat_FromDouble(Getter(V::load(V::cast(self))));
    }

    template <Name name, auto Entry> using NoArgs = typename Adapters<Cfg::type_name>::template NoArgs<name, Entry>;

    static constexpr bool single = std::is_same_v<Scalar, float>;
    using T = Table;

    // ---- the rows every vector class has ----
    //
    // The methods as the classes always had them; the C-level entries with no Python member.
    // clang-format off
    using Core = Members<
        Special<"__add__", A::template Operator, A::template additive<A::add_entry>, nullptr, "Return self+other, other a vector of the class.", METH_COEXIST>,
        Special<"__sub__", A::template Operator, A::template additive<A::sub_entry>, nullptr, "Return self-other, other a vector of the class.", METH_COEXIST>,
        Special<"__mul__", A::template Operator, A::template multiplicative<kernels::times>, nullptr, "Return self*other: component-wise by a vector of the class, or scaled by a number.", METH_COEXIST>,
        Special<"__truediv__", A::template Operator, A::template multiplicative<kernels::divide>, nullptr, "Return self/other: component-wise by a vector of the class, or by a number.", METH_COEXIST>,
        Special<"__floordiv__", A::template Operator, A::template multiplicative<kernels::floor_divide>, nullptr, "Return self//other: each quotient floored; by a vector of the class or a number.", METH_COEXIST>,
        Special<"sadd", A::template Sadd, A::sadd_entry, &T::sadd, "Stores new_vec + old_vec in this vector.">,
        Method<"dot", "(self, other: Self) -> float", A::dot_entry, &T::dot, "The dot product with other, a vector of the class.">,
        Method<"distance_to", "(self, other: Self) -> float", A::distance_entry, &T::distance_to, "The distance to other: differences in the storage precision, the rest in double.">,
        Method<"distance_squared_to", "(self, other: Self) -> float", A::distance_squared_entry, &T::distance_squared_to, "The squared distance to other.">,
        Special<"to_normalized", NoArgs, A::template to_entry<A::normalized>, &T::to_normalized, "Scales this vector to length 1 (a zero vector stays zero) and returns it.">,
        Special<"get_normalized", NoArgs, A::template get_entry<A::normalized>, &T::get_normalized, "A new vector of length 1 in this direction (zero stays zero).">,
        Special<"to_round", NoArgs, A::template to_entry<A::rounded>, &T::to_round, "Rounds each component half away from zero, in place; returns this vector.">,
        Special<"get_round", NoArgs, A::template get_entry<A::rounded>, &T::get_round, "A new vector of the components rounded half away from zero.">,
        Special<"to_abs", NoArgs, A::template to_entry<A::absolute>, &T::to_abs, "Makes each component its absolute value, in place; returns this vector.">,
        Special<"get_abs", NoArgs, A::template get_entry<A::absolute>, &T::get_abs, "A new vector of the absolute values.">,
        Special<"to_neg", NoArgs, A::template to_entry<A::negated>, &T::to_neg, "Negates each component, in place; returns this vector.">,
        Special<"get_neg", NoArgs, A::template get_entry<A::negated>, &T::get_neg, "A new vector of the negated components.">,
        Special<"get_tuple", NoArgs, P::get_tuple_entry, &T::get_tuple, "The components as a tuple of floats.">,
        Special<"get_int_tuple", NoArgs, P::get_int_tuple_entry, &T::get_int_tuple, "The components truncated toward zero, as ints; NaN raises ValueError, infinity OverflowError.">,
        Special<"get_rounded_tuple", NoArgs, P::get_rounded_tuple_entry, &T::get_rounded_tuple, "The components rounded half away from zero, as ints.">,
        Special<"copy", NoArgs, A::copy_entry, &T::copy, "A new vector with the same components.">,
        Special<"__copy__", NoArgs, A::copy_entry, nullptr, "A new vector with the same components (copy.copy).">,
        Special<"__deepcopy__", P::template DeepCopy, A::copy_entry, nullptr, "A new vector with the same components (copy.deepcopy); memo is not used.">,
        Static<C::from_copy_name, C::template FromCopy, nullptr, "A new vector equal to other, a vector of the class.">,
        Static<"from_tuple", C::template FromSequence, &PyTuple_Type, "A new vector from the first items of a tuple.">,
        Static<"from_list", C::template FromSequence, &PyList_Type, "A new vector from the first items of a list.">,
        Static<"from_ints", C::template FromNumbers, C::Numbers::ints, "A new vector from numbers converted by int() to 32-bit integers (floats are truncated).">,
        Static<"from_floats", C::template FromNumbers, C::Numbers::floats, "A new vector from numbers rounded to 32-bit floats, whatever the class's precision.">,
        Static<C::from_components_name, C::template FromNumbers, C::Numbers::own, "A new vector from numbers, in the class's precision.">,
        std::conditional_t<single, Property<"length", "float", kernels::length<Scalar, N>, "The length, computed in 32-bit float (read-only).">,
                                   Property<"length", "float", kernels::length<Scalar, N>, "The length (read-only).">>,
        CEntry<&T::new_, C::template Nary<double>::call>,
        CEntry<Cfg::copy_slot, C::cfrom_vector>,
        CEntry<Cfg::components_slot, C::template Nary<double>::call>,
        CEntry<&T::cfrom_list, C::cfrom_sequence>,
        CEntry<&T::cfrom_ints, C::template Nary<int>::call>,
        CEntry<&T::cfrom_floats, C::template Nary<float>::call>,
        CEntry<&T::cfrom_tuple, C::cfrom_sequence>,
        CEntry<&T::_add, A::add_entry>,
        CEntry<&T::_sub, A::sub_entry>,
        CEntry<&T::_iadd, A::iadd_entry>,
        CEntry<&T::_isub, A::isub_entry>,
        CEntry<&T::_imul, A::imul_entry>,
        CEntry<&T::_sadd, A::sadd_own>,
        CEntry<&T::c_get_tuple, P::c_get_tuple>>;

    // ---- the game toolkit: raymath's operations, Python members only ----
    //
    // Every class has these; Vector2 and Vector3 add theirs in their own rows.
    using Toolkit = Members<
        Property<"length_squared", "float", kernels::length_squared<Scalar, N>, "x*x + y*y + … in the storage precision, summed left to right (raymath's LengthSqr; read-only).">,
        Method<"lerp", "(self, other: Self, amount: Real) -> Self", kernels::lerp<Scalar, N>, nullptr, "self + amount × (other − self), component by component (raymath's Lerp).">,
        Method<"move_towards", "(self, target: Self, max_distance: Real) -> Self", kernels::move_towards<Scalar, N>, nullptr, "A step of max_distance toward target; a copy of target once it is that close (raymath's MoveTowards).">,
        Method<"min", "(self, other: Self) -> Self", kernels::minimum<Scalar, N>, nullptr, "The smaller of each pair of components; a NaN gives way to a number, and of equal ones (0.0, -0.0) this vector's stays (raymath's Min).">,
        Method<"max", "(self, other: Self) -> Self", kernels::maximum<Scalar, N>, nullptr, "The larger of each pair of components; a NaN gives way to a number, and of equal ones (0.0, -0.0) this vector's stays (raymath's Max).">>;

    // What Vector2 and Vector3 share beyond that; each adds its own in its Own rows.
    using Planar = Members<
        Method<"reflect", "(self, normal: Self) -> Self", kernels::reflect<Scalar, N>, nullptr, "This vector reflected about normal (of length 1): self − 2·normal × (self · normal) (raymath's Reflect).">,
        Method<"clamp_length", "(self, min_length: Real, max_length: Real) -> Self", kernels::clamp_length<Scalar, N>, nullptr, "Scaled to min_length when shorter, max_length when longer; a zero vector stays zero (raymath's ClampValue).">,
        Method<"clamp", "(self, lower: Self, upper: Self) -> Self", kernels::clamp<Scalar, N>, nullptr, "Each component clamped to [lower, upper]: fmin(upper, fmax(lower, self)) (raymath's Clamp).">>;
    // clang-format on
};

}  // namespace velmora
