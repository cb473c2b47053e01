// Member rows: every member of a class is one row of data, which names it once and gives its
// Python method or property, its text signature, its binder, its C-level table slot where it
// has one, and what its stub declares. A class's rows are read "in" its binding (binding.hpp),
// which converts every value a row's function takes or gives.
//
// Kinds of row (typed: the typed signature of signature.hpp, or a property's types):
//   Method<name, typed, fn, doc>            a Python method bound by fn's own parameters
//   Entry<name, typed, fn, slot, doc, check>   a Method that is also the table's flagged `slot`:
//                                           native callers reach fn there; a class that can be
//                                           subclassed first honours a Python override, whose
//                                           result must pass `check` (nullptr: anything)
//   Static<name, typed, fn, doc>            a static method bound by fn's parameters
//   Custom<name, text, typed, call, doc, flags>   a method whose binder `call` is written by hand,
//                                           with its text signature; `typed` may list overloads,
//                                           separated by "; "
//   Operator<name, slot, typed, fn, doc, shown>   a number slot of the type (`slot` a member of
//                                           PyNumberMethods) running fn(self, other, name), or
//                                           fn(self, name) when unary; `shown` also makes it a
//                                           method of that name, as the interpreter's own are
//   Property<name, type, get, doc>          a read-only property: get(receiver) converted
//   Attribute<name, type, set_type, get, set, doc>   a property that can also be set:
//                                           set(receiver, value), value read by the binding
//   TableEntry<slot, fn>                    a C-level entry with no Python member
//
// Members<Row…> lists a class's rows in order; Join<Members<A…>, Members<B…>> is one list of
// both. The stub generator reads the rows from the built module (describe.hpp).
#pragma once

#include "binding.hpp"
#include "describe.hpp"
#include "errors.hpp"
#include "methods.hpp"

#include <array>
#include <type_traits>

namespace velmora {

// What a row contributes to each part of its class; a row kind fills in its own parts.
struct NoParts {
    static constexpr std::array<MethodRow, 0> methods{};
    static constexpr std::array<MethodRow, 0> statics{};
    static constexpr std::array<PyGetSetDef, 0> getsets{};
    static constexpr std::array<Described, 0> described{};
    static int prepare() { return 0; }
    template <class Table> static void fill(Table &, PyNumberMethods *) {}
};

// The parts of every row, in order, as one array. Written with arrays, not fold expressions: a
// class has hundreds of rows (Vector4's 256 swizzles), more than compilers nest folds.
template <class T, size_t... S> constexpr auto concat_all(const std::array<T, S> &...parts) {
    constexpr size_t sizes[] = {S..., 0};
    constexpr size_t total = [&] {
        size_t n = 0;
        for (size_t size : sizes) {
            n += size;
        }
        return n;
    }();
    const T *starts[] = {parts.data()..., nullptr};
    std::array<T, total> out{};
    size_t o = 0;
    for (size_t p = 0; p < sizeof...(S); ++p) {
        for (size_t i = 0; i < sizes[p]; ++i) {
            out[o++] = starts[p][i];
        }
    }
    return out;
}

template <Name name, Name typed, auto Fn, Name doc> struct Method {
    template <class Binding> struct In : NoParts {
        using Python = PythonMethod<Binding, name, typed, Fn, true>;
        static constexpr std::array methods{MethodRow{name.c_str(), Python::call, Python::text_signature, doc.c_str()}};
        static constexpr std::array described{Described{"method", name.c_str(), typed.c_str(), nullptr, doc.c_str()}};
        static int prepare() { return Python::prepare(); }
    };
};

template <Name name, Name typed, auto Fn, auto Slot, Name doc, auto check = nullptr> struct Entry {
    template <class Binding> struct In : Method<name, typed, Fn, doc>::template In<Binding> {
        using Python = PythonMethod<Binding, name, typed, Fn, true>;
        template <class Table> static void fill(Table &table, PyNumberMethods *) {
            table.*Slot = FlaggedEntry<Binding, name, Fn, Slot, Python::call, check>::entry;
        }
    };
};

template <Name name, Name typed, auto Fn, Name doc> struct Static {
    template <class Binding> struct In : NoParts {
        using Python = PythonMethod<Binding, name, typed, Fn, false>;
        static constexpr std::array statics{MethodRow{name.c_str(), Python::call, Python::text_signature, doc.c_str()}};
        static constexpr std::array described{Described{"static", name.c_str(), typed.c_str(), nullptr, doc.c_str()}};
        static int prepare() { return Python::prepare(); }
    };
};

template <Name name, Name text, Name typed, FastMethod call, Name doc, int flags = 0> struct Custom {
    template <class Binding> struct In : NoParts {
        static constexpr std::array methods{
            MethodRow{name.c_str(), call, text.c_str(), doc.c_str(), METH_FASTCALL | METH_KEYWORDS | flags}};
        static constexpr std::array described{Described{"method", name.c_str(), typed.c_str(), nullptr, doc.c_str()}};
    };
};

using BinaryOperation = PyObject *(*)(PyObject *self, PyObject *other, const char *name);
using UnaryOperation = PyObject *(*)(PyObject *self, const char *name);

template <Name name, auto Slot, Name typed, auto Fn, Name doc, bool shown = true> struct Operator {
    static constexpr bool unary = std::is_same_v<decltype(Fn), UnaryOperation>;
    static_assert(unary || std::is_same_v<decltype(Fn), BinaryOperation>,
                  "an operator is fn(self, other, name) or fn(self, name)");

    static PyObject *binary_slot(PyObject *self, PyObject *other) {
        if constexpr (unary) {
            return nullptr;
        } else {
            return Fn(self, other, name.c_str());
        }
    }
    static PyObject *unary_slot(PyObject *self) {
        if constexpr (unary) {
            return Fn(self, name.c_str());
        } else {
            return nullptr;
        }
    }
    // The method form, `v.__mul__(2)`: one positional argument, as the interpreter's own
    // operator methods take it; a keyword is refused before the count is looked at.
    template <class Binding> struct In : NoParts {
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *other;
            if (!no_keyword_names(kw, name.c_str()) ||
                !bind_args(name.c_str(), args, nargs, nullptr, {"other"}, &other)) {
                return Fail<Binding::owner>::object(name.c_str());
            }
            return binary_slot(self, other);
        }
        static constexpr auto methods = [] {
            if constexpr (shown && !unary) {
                return std::array{MethodRow{name.c_str(), call, Signature<typed>::text.data(), doc.c_str(),
                                            METH_FASTCALL | METH_KEYWORDS | METH_COEXIST}};
            } else {
                return std::array<MethodRow, 0>{};
            }
        }();
        static constexpr std::array described{Described{"method", name.c_str(), typed.c_str(), nullptr, doc.c_str()}};
        template <class Table> static void fill(Table &, PyNumberMethods *numbers) {
            if constexpr (unary) {
                numbers->*Slot = unary_slot;
            } else {
                numbers->*Slot = binary_slot;
            }
        }
    };
};

// A property's getter: get(receiver) converted by the binding; a failure is traced as
// "name.__get__".
template <class Binding, Name name, auto Get> PyObject *property_getter(PyObject *self, void *) {
    PyObject *value =
        Binding::template to_python<name>(Get(Binding::template receiver<name, parameter_t<Get, 0>>(self)));
    return value ? value : Fail<Binding::owner>::object(getter_name<name>.data());
}

// A property's setter: the value read by the binding as set's second parameter, then stored by
// set (which may report failure by returning false). Deleting the property is refused.
template <class Binding, Name name, auto Set> int property_setter(PyObject *self, PyObject *value, void *) {
    using Value = std::decay_t<parameter_t<Set, 1>>;
    using Stored = typename FunctionShape<decltype(Set)>::Result;
    static_assert(std::is_void_v<Stored> || std::is_same_v<Stored, bool>,
                  "a setter returns nothing, or false on failure");
    Value v;
    if (value == nullptr) {
        refuse_property_delete();
    } else if (Binding::template read<name>(value, name.c_str(), v)) {
        if constexpr (std::is_void_v<Stored>) {
            Set(Binding::template receiver<name, parameter_t<Set, 0>>(self), v);
            return 0;
        } else {
            if (Set(Binding::template receiver<name, parameter_t<Set, 0>>(self), v)) {
                return 0;
            }
        }
    }
    return Fail<Binding::owner>::status(setter_name<name>.data());
}

template <Name name, Name type, auto Get, Name doc> struct Property {
    template <class Binding> struct In : NoParts {
        static constexpr std::array getsets{
            PyGetSetDef{name.c_str(), property_getter<Binding, name, Get>, nullptr, doc.c_str(), nullptr}};
        static constexpr std::array described{Described{"property", name.c_str(), type.c_str(), nullptr, doc.c_str()}};
    };
};

template <Name name, Name type, Name set_type, auto Get, auto Set, Name doc> struct Attribute {
    template <class Binding> struct In : NoParts {
        static constexpr std::array getsets{PyGetSetDef{name.c_str(), property_getter<Binding, name, Get>,
                                                        property_setter<Binding, name, Set>, doc.c_str(), nullptr}};
        static constexpr std::array described{
            Described{"property", name.c_str(), type.c_str(), set_type.c_str(), doc.c_str()}};
    };
};

template <auto Slot, auto Fn> struct TableEntry {
    template <class Binding> struct In : NoParts {
        template <class Table> static void fill(Table &table, PyNumberMethods *) { table.*Slot = Fn; }
    };
};

// The rows of a class, in order.
template <class... Row> struct Members {
    template <class Binding> struct In {
        static constexpr auto methods = concat_all(Row::template In<Binding>::methods...);
        static constexpr auto statics = concat_all(Row::template In<Binding>::statics...);
        static constexpr auto getsets = concat_all(Row::template In<Binding>::getsets...);
        static constexpr auto described = concat_all(Row::template In<Binding>::described...);
        // Every row prepared, in order, until one fails (-1, with its exception set).
        static int prepare() {
            bool ok = true;
            const bool each[] = {(ok = ok && Row::template In<Binding>::prepare() == 0)..., true};
            (void)each;
            return ok ? 0 : -1;
        }
        template <class Table> static void fill(Table &table, PyNumberMethods *numbers = nullptr) {
            const int filled[] = {(Row::template In<Binding>::fill(table, numbers), 0)..., 0};
            (void)filled;
        }
    };
};
template <class... Lists> struct JoinRows;
template <class... A> struct JoinRows<Members<A...>> { using type = Members<A...>; };
template <class... A, class... Binding, class... Rest> struct JoinRows<Members<A...>, Members<Binding...>, Rest...> {
    using type = typename JoinRows<Members<A..., Binding...>, Rest...>::type;
};
template <class... Lists> using Join = typename JoinRows<Lists...>::type;

// A class's property table from its rows, ending with the sentinel the interpreter expects.
template <class Rows> constexpr auto getset_table() {
    std::array<PyGetSetDef, Rows::getsets.size() + 1> table{};
    std::copy(Rows::getsets.begin(), Rows::getsets.end(), table.begin());
    return table;
}

}  // namespace velmora
