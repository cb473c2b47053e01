// Member rows: a class's Python members and C-level entries as declarative rows, one per
// member, each naming it once. Rows are read "in" a class's binding policy M, which says how
// that class turns Python arguments into its entries' parameters (M::convert, M::receiver,
// M::result_of, M::fail); the vector family's is in vector/members.hpp, Rect's in rect.cpp.
//
// Kinds of row:
//   Method<name, typed, entry, slot, doc>   a method bound by its entry's own parameters, named
//                                           by the typed signature (see Signature); a trailing
//                                           int parameter is the skip-dispatch flag; slot, when
//                                           not nullptr, is the C-level table's entry for it
//   Special<name, Adapter, entry, slot, doc, flags>   a method with an adapter of its own
//   Static<name, Adapter, entry, doc>       a static method
//   Property<name, type, getter, doc>       a read-only property computed by M::get_computed
//   GetSet<name, get, set, doc>             a property with functions of its own
//   CEntry<slot, entry>                     a C-level entry with no Python member
// tools/generate_stubs.py reads the typed signatures of Method and the types of Property rows
// from the sources, so keep each such row's name and type on one line.
#pragma once

#include "adapters.hpp"
#include "args.hpp"

#include <array>
#include <tuple>
#include <type_traits>

namespace velmora {

// The parameters of an entry R entry(Self, Params...): the receiver, the Python arguments,
// and whether a last int parameter is the skip-dispatch flag.
template <class F> struct Shape;
template <class R, class Self, class... Params> struct Shape<R (*)(Self, Params...)> {
    using Result = R;
    using Receiver = std::decay_t<Self>;
    using All = std::tuple<std::decay_t<Params>...>;
    static constexpr size_t count = sizeof...(Params);
    static constexpr bool skip_flag = count > 0 && std::is_same_v<std::tuple_element_t<count, std::tuple<int, Params...>>, int>;
    static constexpr size_t arguments = count - (skip_flag ? 1 : 0);
};

// The Python method of an entry: binds the arguments by the typed signature's names, converts
// each to its parameter's type in order, calls the entry, and traces a failure under `name`.
template <class M, Name name, Name typed, auto Entry> struct Bound {
    using S = Shape<decltype(Entry)>;
    using Sig = Signature<typed>;
    static_assert(Sig::count == S::arguments, "the typed signature names every Python parameter of the entry");
    static constexpr const char *signature = Sig::text.data();

    static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *bound[S::arguments + 1];
        typename S::All values{};
        if (!bind_args_array(name.c_str(), args, nargs, kw, Sig::names.data(), S::arguments, bound) ||
            !convert_all(bound, values, std::make_index_sequence<S::arguments>{})) {
            return M::fail::object(name.c_str());
        }
        if constexpr (S::skip_flag) {
            std::get<S::count - 1>(values) = 1;
        }
        PyObject *result = std::apply(
            [&](auto &...v) {
                if constexpr (std::is_void_v<typename S::Result>) {
                    Entry(M::template receiver<typename S::Receiver>(self), v...);
                    return Py_NewRef(Py_None);
                } else {
                    return M::result_of(Entry(M::template receiver<typename S::Receiver>(self), v...));
                }
            },
            values);
        return result ? result : M::fail::object(name.c_str());
    }
    template <size_t... I> static bool convert_all(PyObject **bound, typename S::All &values, std::index_sequence<I...>) {
        return (M::convert(bound[I], Sig::names[I], std::get<I>(values)) && ...);
    }
};

// What a row contributes to each table of a class; a row kind fills in its own parts, for
// the family M it is read in (VectorMembers below).
struct NoParts {
    static constexpr std::array<MethodRow, 0> methods{};
    static constexpr std::array<MethodRow, 0> statics{};
    static constexpr std::array<PyGetSetDef, 0> getsets{};
    template <class Table> static void fill(Table &) {}
};

template <class T, size_t... S> constexpr auto concat_all(const std::array<T, S> &...parts) {
    std::array<T, (S + ... + 0)> out{};
    size_t o = 0;
    ((std::copy(parts.begin(), parts.end(), out.begin() + o), o += S), ...);
    return out;
}

template <Name name, Name typed, auto Entry, auto Slot, Name doc> struct Method {
    template <class M> struct In : NoParts {
        using B = Bound<M, name, typed, Entry>;
        static constexpr std::array methods{MethodRow{name.c_str(), B::call, B::signature, doc.c_str()}};
        template <class Table> static void fill(Table &t) {
            if constexpr (Slot != nullptr) {
                t.*Slot = Entry;
            }
        }
    };
};

template <Name name, template <Name, auto> class Adapter, auto Entry, auto Slot, Name doc, int flags = 0>
struct Special {
    template <class M> struct In : NoParts {
        static constexpr std::array methods{method<name, Adapter, Entry>(doc.c_str(), flags)};
        template <class Table> static void fill(Table &t) {
            if constexpr (Slot != nullptr) {
                t.*Slot = Entry;
            }
        }
    };
};

template <Name name, template <Name, auto> class Adapter, auto Entry, Name doc> struct Static {
    template <class M> struct In : NoParts {
        static constexpr std::array statics{method<name, Adapter, Entry>(doc.c_str())};
    };
};

template <Name name, Name type, auto Getter, Name doc> struct Property {
    template <class M> struct In : NoParts {
        static constexpr std::array getsets{
            PyGetSetDef{name.c_str(), M::template get_computed<Getter>, nullptr, doc.c_str(), nullptr}};
    };
};

template <Name name, getter Get, setter Set, Name doc> struct GetSet {
    template <class M> struct In : NoParts {
        static constexpr std::array getsets{PyGetSetDef{name.c_str(), Get, Set, doc.c_str(), nullptr}};
    };
};

template <auto Slot, auto Entry> struct CEntry {
    template <class M> struct In : NoParts {
        template <class Table> static void fill(Table &t) { t.*Slot = Entry; }
    };
};

// The rows of a class, in order; Join<Members<A…>, Members<B…>> is one list of both.
template <class... Row> struct Members {
    template <class M> struct In {
        static constexpr auto methods = concat_all(Row::template In<M>::methods...);
        static constexpr auto statics = concat_all(Row::template In<M>::statics...);
        static constexpr auto getsets = concat_all(Row::template In<M>::getsets...);
        template <class Table> static void fill(Table &t) { (Row::template In<M>::fill(t), ...); }
    };
};
template <class... Lists> struct JoinRows;
template <class... A> struct JoinRows<Members<A...>> {
    using type = Members<A...>;
};
template <class... A, class... B, class... Rest> struct JoinRows<Members<A...>, Members<B...>, Rest...> {
    using type = typename JoinRows<Members<A..., B...>, Rest...>::type;
};
template <class... Lists> using Join = typename JoinRows<Lists...>::type;

}  // namespace velmora
