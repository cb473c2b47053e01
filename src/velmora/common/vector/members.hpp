// The vector family's members, one row each (the kinds of row are in ../rows.hpp): adding a
// member to the vector classes is adding a row here, or, for one class only, to its module's
// Own rows. family.hpp fills every table of the class from these rows: the methods, static
// methods, properties, number slots and the C-level table; tools/generate_stubs.py writes the
// stubs from them. In typed signatures, Self is the class, Real any real number, Scale a scale
// factor, Floats and Ints a tuple of N floats or ints.
#pragma once

#include "../rows.hpp"
#include "arithmetic.hpp"
#include "binding.hpp"
#include "construction.hpp"
#include "protocol.hpp"

namespace velmora {

template <VectorConfig Config> struct VectorMembers {
    VELMORA_VECTOR_NAMES;
    using Construction = VectorConstruction<Config>;
    using Arithmetic = VectorArithmetic<Config>;
    using Protocol = VectorProtocol<Config>;
    template <class Arg> using FromComponents = typename Construction::template FromComponents<Arg>;
    static constexpr bool single = std::is_same_v<Scalar, float>;

    // ---- components and swizzles: generated, one row each ----

    template <size_t I> static constexpr Name letter{Core::letter_names[I]};
    template <size_t I>
    static constexpr Name component_doc{join(text("The "), Core::letter_names[I], text(" component."))};
    template <size_t I> using ComponentRow = Attribute<letter<I>, "float", "Real", Protocol::template component<I>,
                                                       Protocol::template set_component<I>, component_doc<I>>;

    template <size_t K> static constexpr Name swizzle_name{Text<N + 1>(Protocol::swizzle_names[K])};
    template <size_t K> static constexpr Name swizzle_doc{Protocol::swizzle_docs[K]};
    // Position P of the class's registration order shows swizzle K.
    template <size_t P, size_t K = Protocol::swizzle_at(P)> using SwizzleRow =
        Property<swizzle_name<K>, "Self", Protocol::template swizzle<K>, swizzle_doc<K>>;

    template <size_t... I> static auto component_rows(std::index_sequence<I...>) -> Members<ComponentRow<I>...>;
    template <size_t... P> static auto swizzle_rows(std::index_sequence<P...>) -> Members<SwizzleRow<P>...>;
    // Components, then swizzles in the class's registration order.
    using Attributes = Join<decltype(component_rows(std::make_index_sequence<N>{})),
                            decltype(swizzle_rows(std::make_index_sequence<Protocol::swizzle_count>{}))>;

    // ---- the typed signatures of the from_… constructors ----

    static constexpr Name ints_signature{Construction::numbers_signature(text("SupportsInt | SupportsIndex"))};
    static constexpr Name reals_signature{Construction::numbers_signature(text("Real"))};

    // ---- the rows every vector class has ----
    //
    // The operators and methods as the classes always had them, the static constructors, and
    // the C-level entries with no Python member.
    // clang-format off
    using Common = Members<
        Operator<"__add__", &PyNumberMethods::nb_add, "(self, other: Self, /) -> Self", Arithmetic::template additive<Arithmetic::add>, "Return self+other, other a vector of the class.">,
        Operator<"__sub__", &PyNumberMethods::nb_subtract, "(self, other: Self, /) -> Self", Arithmetic::template additive<Arithmetic::subtract>, "Return self-other, other a vector of the class.">,
        Operator<"__mul__", &PyNumberMethods::nb_multiply, "(self, other: Self | Scale, /) -> Self", Arithmetic::template multiplicative<kernels::times>, "Return self*other: component-wise by a vector of the class, or scaled by a number.">,
        Operator<"__truediv__", &PyNumberMethods::nb_true_divide, "(self, other: Self | Scale, /) -> Self", Arithmetic::template multiplicative<kernels::divide>, "Return self/other: component-wise by a vector of the class, or by a number.">,
        Operator<"__floordiv__", &PyNumberMethods::nb_floor_divide, "(self, other: Self | Scale, /) -> Self", Arithmetic::template multiplicative<kernels::floor_divide>, "Return self//other: each quotient floored; by a vector of the class or a number.">,
        Operator<"__neg__", &PyNumberMethods::nb_negative, "(self) -> Self", Arithmetic::negative, "Return -self.", false>,
        Operator<"__iadd__", &PyNumberMethods::nb_inplace_add, "(self, other: Self, /) -> Self", Arithmetic::template inplace<Arithmetic::add_in_place>, "Adds other, a vector of the class, in place.", false>,
        Operator<"__isub__", &PyNumberMethods::nb_inplace_subtract, "(self, other: Self, /) -> Self", Arithmetic::template inplace<Arithmetic::subtract_in_place>, "Subtracts other, a vector of the class, in place.", false>,
        Operator<"__imul__", &PyNumberMethods::nb_inplace_multiply, "(self, other: Self, /) -> Self", Arithmetic::template inplace<Arithmetic::multiply_in_place>, "Component-wise, in place; a number is refused.", false>,
        Entry<"sadd", "(self, new_vec: Self, old_vec: Self) -> None", Arithmetic::sadd, &Table::sadd, "Stores new_vec + old_vec in this vector.">,
        Entry<"dot", "(self, other: Self) -> float", kernels::sum_of_products<Scalar, N>, &Table::dot, "The dot product with other, a vector of the class.">,
        Entry<"distance_to", "(self, other: Self) -> float", kernels::distance<Scalar, N>, &Table::distance_to, "The distance to other: differences in the storage precision, the rest in double.">,
        Entry<"distance_squared_to", "(self, other: Self) -> float", kernels::distance_squared<Scalar, N>, &Table::distance_squared_to, "The squared distance to other.">,
        Entry<"to_normalized", "(self, /) -> Self", Arithmetic::template in_place<kernels::normalized<Scalar, N>>, &Table::to_normalized, "Scales this vector to length 1 (a zero vector stays zero) and returns it.">,
        Entry<"get_normalized", "(self, /) -> Self", kernels::normalized<Scalar, N>, &Table::get_normalized, "A new vector of length 1 in this direction (zero stays zero).">,
        Entry<"to_round", "(self, /) -> Self", Arithmetic::template in_place<kernels::rounded<Scalar, N>>, &Table::to_round, "Rounds each component half away from zero, in place; returns this vector.">,
        Entry<"get_round", "(self, /) -> Self", kernels::rounded<Scalar, N>, &Table::get_round, "A new vector of the components rounded half away from zero.">,
        Entry<"to_abs", "(self, /) -> Self", Arithmetic::template in_place<kernels::absolute<Scalar, N>>, &Table::to_abs, "Makes each component its absolute value, in place; returns this vector.">,
        Entry<"get_abs", "(self, /) -> Self", kernels::absolute<Scalar, N>, &Table::get_abs, "A new vector of the absolute values.">,
        Entry<"to_neg", "(self, /) -> Self", Arithmetic::template in_place<kernels::negated<Scalar, N>>, &Table::to_neg, "Negates each component, in place; returns this vector.">,
        Entry<"get_neg", "(self, /) -> Self", kernels::negated<Scalar, N>, &Table::get_neg, "A new vector of the negated components.">,
        Entry<"get_tuple", "(self, /) -> Floats", Protocol::c_get_tuple, &Table::get_tuple, "The components as a tuple of floats.">,
        Entry<"get_int_tuple", "(self, /) -> Ints", Protocol::int_tuple, &Table::get_int_tuple, "The components truncated toward zero, as ints; NaN raises ValueError, infinity OverflowError.">,
        Entry<"get_rounded_tuple", "(self, /) -> Ints", Protocol::rounded_tuple, &Table::get_rounded_tuple, "The components rounded half away from zero, as ints.">,
        Entry<"copy", "(self, /) -> Self", Construction::copy_of, &Table::copy, "A new vector with the same components.">,
        Method<"__copy__", "(self, /) -> Self", Construction::copy_of, "A new vector with the same components (copy.copy).">,
        Method<"__deepcopy__", "(self, memo: Any) -> Self", Protocol::deep_copy, "A new vector with the same components (copy.deepcopy); memo is not used.">,
        Static<Construction::from_copy_name, "(other: Self) -> Self", Construction::copy_of, "A new vector equal to other, a vector of the class.">,
        Static<"from_tuple", "(other: tuple[Real, ...]) -> Self", Construction::template from_items<&PyTuple_Type>, "A new vector from the first items of a tuple.">,
        Static<"from_list", "(other: list[Real]) -> Self", Construction::template from_items<&PyList_Type>, "A new vector from the first items of a list.">,
        Static<"from_ints", ints_signature, FromComponents<Int32>::values, "A new vector from numbers converted by int() to 32-bit integers (floats are truncated).">,
        Static<"from_floats", reals_signature, FromComponents<float>::values, "A new vector from numbers rounded to 32-bit floats, whatever the class's precision.">,
        Static<Construction::from_components_name, reals_signature, FromComponents<Scalar>::values, "A new vector from numbers, in the class's precision.">,
        std::conditional_t<single, Property<"length", "float", kernels::length<Scalar, N>, "The length, computed in 32-bit float (read-only).">,
                                   Property<"length", "float", kernels::length<Scalar, N>, "The length (read-only).">>,
        TableEntry<&Table::new_, FromComponents<double>::make>,
        TableEntry<Config::copy_slot, Construction::cfrom_vector>,
        TableEntry<Config::components_slot, FromComponents<double>::make>,
        TableEntry<&Table::cfrom_list, Construction::cfrom_sequence>,
        TableEntry<&Table::cfrom_ints, FromComponents<int>::make>,
        TableEntry<&Table::cfrom_floats, FromComponents<float>::make>,
        TableEntry<&Table::cfrom_tuple, Construction::cfrom_sequence>,
        TableEntry<&Table::_add, Arithmetic::add>,
        TableEntry<&Table::_sub, Arithmetic::subtract>,
        TableEntry<&Table::_iadd, Arithmetic::add_in_place>,
        TableEntry<&Table::_isub, Arithmetic::subtract_in_place>,
        TableEntry<&Table::_imul, Arithmetic::multiply_in_place>,
        TableEntry<&Table::_sadd, Arithmetic::store_sum>,
        TableEntry<&Table::c_get_tuple, Protocol::c_get_tuple>>;

    // ---- the game toolkit: raymath's operations, Python members only ----
    //
    // Every class has these; Vector2 and Vector3 add theirs in their own rows.
    using Toolkit = Members<
        Property<"length_squared", "float", kernels::length_squared<Scalar, N>, "x*x + y*y + … in the storage precision, summed left to right (raymath's LengthSqr; read-only).">,
        Method<"lerp", "(self, other: Self, amount: Real) -> Self", kernels::lerp<Scalar, N>, "self + amount × (other − self), component by component (raymath's Lerp).">,
        Method<"move_towards", "(self, target: Self, max_distance: Real) -> Self", kernels::move_towards<Scalar, N>, "A step of max_distance toward target; a copy of target once it is that close (raymath's MoveTowards).">,
        Method<"min", "(self, other: Self) -> Self", kernels::minimum<Scalar, N>, "The smaller of each pair of components; a NaN gives way to a number, and of equal ones (0.0, -0.0) this vector's stays (raymath's Min).">,
        Method<"max", "(self, other: Self) -> Self", kernels::maximum<Scalar, N>, "The larger of each pair of components; a NaN gives way to a number, and of equal ones (0.0, -0.0) this vector's stays (raymath's Max).">>;

    // What Vector2 and Vector3 share beyond that; each adds its own in its Own rows.
    using Planar = Members<
        Method<"reflect", "(self, normal: Self) -> Self", kernels::reflect<Scalar, N>, "This vector reflected about normal (of length 1): self − 2·normal × (self · normal) (raymath's Reflect).">,
        Method<"clamp_length", "(self, min_length: Real, max_length: Real) -> Self", kernels::clamp_length<Scalar, N>, "Scaled to min_length when shorter, max_length when longer; a zero vector stays zero (raymath's ClampValue).">,
        Method<"clamp", "(self, lower: Self, upper: Self) -> Self", kernels::clamp<Scalar, N>, "Each component clamped to [lower, upper]: fmin(upper, fmax(lower, self)) (raymath's Clamp).">>;
    // clang-format on
};

}  // namespace velmora
