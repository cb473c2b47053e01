// How a row's function becomes what the interpreter and native callers see: the Python method
// that binds arguments to its parameters, and the C-level entry that native code calls.
//
// Every class has a binding (VectorBinding in vector/binding.hpp, RectBinding in rect/conversions.hpp,
// ImageBinding in image.cpp), a struct of static templates:
//
//   owner                          the class's full name, for traceback entries
//   subclassable                   whether Python subclasses may override its flagged entries
//   read<row>(arg, param, out)     a Python argument into a parameter of the row's function
//   receiver<row, P>(self)         the instance as the function's first parameter, of type P
//   to_python<row>(result)         the function's result as a new reference (nullptr: failed)
//   from_c<row, P>(c)              an argument of a C-level entry as the function's parameter P
//   to_c<row, R>(result)           the function's result as the entry's result type R
//   from_override<row, R, check>(result)   an override's result as the entry's result type R
//
// Each handles a fixed set of types and stops the build for any other with a static_assert
// whose condition names the row, `unsupported_parameter<Name{"lerp"}, bool>`: a row compiles only
// if every value it passes can be converted correctly.
#pragma once

#include "args.hpp"
#include "dispatch.hpp"
#include "errors.hpp"
#include "lifecycle.hpp"
#include "methods.hpp"
#include "signature.hpp"

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace velmora {

// The conditions of the bindings' static_asserts: false whenever instantiated, with the row in
// the compiler's note.
template <Name row, class T> constexpr bool unsupported_parameter = false;
template <Name row, class T> constexpr bool unsupported_receiver = false;
template <Name row, class T> constexpr bool unsupported_result = false;
template <Name row, class T> constexpr bool unsupported_entry_type = false;
template <Name row, bool names_match> constexpr bool typed_signature_names_each_parameter = names_match;
template <Name row, bool flagged> constexpr bool flagged_slot_ends_with_the_skip_dispatch_int = flagged;
template <Name row, bool positional_only> constexpr bool bound_rows_take_keywords = !positional_only;

// The parameter and result types of a function, or of a C-level table's slot.
template <class F> struct FunctionShape;
template <class R, class... P> struct FunctionShape<R (*)(P...)> {
    using Result = R;
    using Parameters = std::tuple<P...>;
    static constexpr size_t arity = sizeof...(P);
};
template <class Table, class R, class... P> struct FunctionShape<R (*Table::*)(P...)> : FunctionShape<R (*)(P...)> {};
template <auto F, size_t I> using parameter_t =
    std::tuple_element_t<I, typename FunctionShape<decltype(F)>::Parameters>;

// ---- the Python method of a row: bound by the function's own parameters ----
//
// `with_receiver`: the first parameter is the instance (a method), else none is (a static
// method). Arguments are read in order, each through the binding, before the function runs;
// the receiver is read when the function is called, after them.
template <class Binding, Name name, Name typed, auto Fn, bool with_receiver> struct PythonMethod {
    using Shape = FunctionShape<decltype(Fn)>;
    using Sig = Signature<typed>;
    static constexpr size_t first = with_receiver ? 1 : 0;
    static constexpr size_t arity = Shape::arity - first;
    static_assert(typed_signature_names_each_parameter<name, Sig::count == arity>,
                  "the row's typed signature names each Python parameter of its function, in order");
    static_assert(bound_rows_take_keywords<name, (Sig::positional_only > 0)>,
                  "a bound row's parameters take keywords; write a Custom row for positional-only ones");
    static constexpr const char *text_signature = Sig::text.data();

    static inline PyObject *interned[arity + 1];
    static int prepare() { return intern_names(Sig::names.data(), arity, interned); }

    static std::nullptr_t fail() { return Fail<Binding::owner>::object(name.c_str()); }

    template <size_t... I>
    VELMORA_HOT static PyObject *invoke(PyObject *self, PyObject *const *bound, std::index_sequence<I...>) {
        std::tuple<std::decay_t<parameter_t<Fn, first + I>>...> values;
        if (!(Binding::template read<name>(bound[I], Sig::names[I], std::get<I>(values)) && ...)) {
            return fail();
        }
        auto run = [&]() -> decltype(auto) {
            if constexpr (with_receiver) {
                return Fn(Binding::template receiver<name, parameter_t<Fn, 0>>(self), std::get<I>(values)...);
            } else {
                (void)self;
                return Fn(std::get<I>(values)...);
            }
        };
        if constexpr (std::is_void_v<typename Shape::Result>) {
            run();
            return Py_NewRef(Py_None);
        } else {
            PyObject *result = Binding::template to_python<name>(run());
            return result ? result : fail();
        }
    }

    // Keywords written as identifiers are the interned names themselves. Given in the
    // parameters' order after the positional ones, they leave the arguments where binding would
    // put them: true then, and they are read in place.
    VELMORA_HOT static bool keywords_in_order(Py_ssize_t nargs, PyObject *kwnames) {
        const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
        if (nargs + nkw != static_cast<Py_ssize_t>(arity)) {
            return false;
        }
        for (Py_ssize_t k = 0; k < nkw; ++k) {
            if (PyTuple_GET_ITEM(kwnames, k) != interned[nargs + k]) {
                return false;
            }
        }
        return true;
    }

    // Arguments passed by position, or by keyword in order, are read where the caller put them;
    // any others are bound first.
    static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargsf, PyObject *kwnames) {
        const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
        if (kwnames == nullptr ? nargs == static_cast<Py_ssize_t>(arity) : keywords_in_order(nargs, kwnames)) {
            return invoke(self, args, std::make_index_sequence<arity>{});
        }
        PyObject *bound[arity + 1];
        if (!bind_args_slow(name.c_str(), args, nargsf, kwnames, Keywords{Sig::names.data(), interned},
                            static_cast<Py_ssize_t>(arity), bound)) {
            return fail();
        }
        return invoke(self, bound, std::make_index_sequence<arity>{});
    }
};

// ---- the C-level entry of a row: the flagged slot of the class's table ----
//
// The slot's type comes from velmora.h; its last parameter is the skip-dispatch flag. With the
// flag zero, a class that can be subclassed first looks for a Python override of the method
// (`own` is its Python-visible function, which marks the class's own method) and returns its
// result; otherwise, or when there is none, the row's function runs on the entry's arguments.
template <class Binding, Name name, auto Fn, auto Slot, FastMethod own, auto check,
          class = typename FunctionShape<decltype(Slot)>::Parameters>
struct FlaggedEntry;
template <class Binding, Name name, auto Fn, auto Slot, FastMethod own, auto check, class... A>
struct FlaggedEntry<Binding, name, Fn, Slot, own, check, std::tuple<A...>> {
    using Result = typename FunctionShape<decltype(Slot)>::Result;
    static constexpr size_t count = sizeof...(A);
    static_assert(flagged_slot_ends_with_the_skip_dispatch_int<
                      name, (count >= 2 && std::is_same_v<std::tuple_element_t<count - 1, std::tuple<A...>>, int>)>,
                  "an Entry row's table slot takes the instance first and the int skip-dispatch flag last");
    static_assert(FunctionShape<decltype(Fn)>::arity == count - 1,
                  "an Entry row's function takes the slot's arguments without the flag");

    template <size_t... I> static Result run(std::tuple<A...> &&all, std::index_sequence<I...>) {
        if constexpr (Binding::subclassable) {
            // An instance of the class itself (a static type without a dictionary) has no
            // overrides: that is decided here, without a call.
            if (std::get<count - 1>(all) == 0 &&
                may_override(Py_TYPE(reinterpret_cast<PyObject *>(std::get<0>(all))))) {
                auto overriding = [&](auto... argument) {
                    return dispatch(reinterpret_cast<PyObject *>(std::get<0>(all)), name.c_str(), own,
                                    reinterpret_cast<PyObject *>(argument)...);
                };
                Dispatched d = [&]<size_t... J>(std::index_sequence<J...>) {
                    return overriding(std::get<J + 1>(all)...);
                }
                (std::make_index_sequence<count - 2>{});
                if (d.ran) {  // the override's result, or the failure of its look-up or call
                    return Binding::template from_override<name, Result, check>(std::move(d.result));
                }
            }
        }
        if constexpr (std::is_void_v<Result>) {
            Fn(Binding::template from_c<name, parameter_t<Fn, I>>(std::get<I>(all))...);
        } else {
            return Binding::template to_c<name, Result>(
                Fn(Binding::template from_c<name, parameter_t<Fn, I>>(std::get<I>(all))...));
        }
    }
    static Result entry(A... a) { return run(std::tuple<A...>(a...), std::make_index_sequence<count - 1>{}); }
};

}  // namespace velmora
