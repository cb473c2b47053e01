// The vector's object protocols: the functions of the component and swizzle properties'
// rows, conversions to tuples, representation, hashing, equality and copies. The sequence
// protocol is the record protocol's (record.hpp).
#pragma once

#include "core.hpp"
#include "swizzles.hpp"

#include <array>

namespace velmora {

template <VectorConfig Config> struct VectorProtocol : VectorCore<Config> {
    VELMORA_VECTOR_NAMES;

    // ---- component properties ----

    template <int I> static Scalar component(Object *self) { return Core::field(self, I); }
    template <int I> static void set_component(Object *self, Scalar value) { Core::field(self, I) = value; }

    // ---- conversions to tuples ----

    static PyObject *c_get_tuple(Object *self) { return float_tuple(Core::widened(self)); }
    // Exact Python ints, whatever the magnitude; NaN and infinities raise like int() does.
    static PyObject *int_tuple(Object *self) {
        return tuple_of(Core::widened(self), [](double v) { return PyLong_FromDouble(v); });
    }
    static PyObject *rounded_tuple(Object *self) {
        return tuple_of(Core::widened(self),
                        [](double v) { return PyLong_FromDouble(kernels::round_half_away(static_cast<Scalar>(v))); });
    }

    // ---- representation, hash, equality ----

    // "Vector2(" and the class's text signature "Vector2(*args)\n--\n\n".
    static constexpr auto opening = join(Core::class_name, text("("));
    static constexpr auto class_signature = join(Core::class_name, text("(*args)\n--\n\n"));

    static constexpr auto repr_pieces = [] {
        std::array<const char *, N + 1> p{};
        p[0] = opening.data();
        for (int i = 1; i < N; ++i) {
            p[i] = ", ";
        }
        p[N] = ")";
        return p;
    }();

    static PyObject *repr(PyObject *self) {
        PyObject *text = record_repr(repr_pieces, Core::widened(Core::cast(self)));
        return text ? text : fail::object("__repr__");
    }

    static Py_hash_t hash(PyObject *self) {
        ref t = ref::steal(c_get_tuple(Core::cast(self)));
        const Py_hash_t h = t ? PyObject_Hash(t.get()) : -1;
        if (h == -1) {
            fail::object("__hash__");
        }
        return h;
    }

    static PyObject *richcompare(PyObject *self, PyObject *other, int op) {
        if (op != Py_EQ && op != Py_NE) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        bool equal = Core::is_vector(other);
        if (equal) {
            const Comps a = Core::load(Core::cast(self)), b = Core::load(Core::cast(other));
            for (int i = 0; i < N && equal; ++i) {
                equal = a[i] == b[i];
            }
        }
        return PyBool_FromLong(equal == (op == Py_EQ));
    }

    // ---- copies; pickling is refused ----

    static Comps deep_copy(const Comps &self, PyObject *) { return self; }  // memo is not used

    static constexpr const char pickling_refused[] =
        "Pickling of struct members such as self.data must be explicitly requested with @auto_pickle(True)";

    // ---- swizzles: one getter per name, its component selection fixed at compile time ----

    static constexpr int swizzle_count = swizzles::count<N>;
    static constexpr auto swizzle_names = swizzles::make_names<N>(Config::letters);
    static constexpr auto swizzle_docs = swizzles::make_docs<N>(Config::letters);

    template <int K> static Comps swizzle(const Comps &c) {
        return [&]<size_t... Pos>(std::index_sequence<Pos...>) { return Comps{c[swizzles::digit<N>(K, Pos)]...}; }
        (std::make_index_sequence<N>{});
    }

    static constexpr int swizzle_position(int k) {
        if constexpr (requires { Config::swizzle_position(k); }) {
            return Config::swizzle_position(k);
        } else {
            return k;
        }
    }
    // The swizzle registered at position p.
    static constexpr int swizzle_at(int p) {
        for (int k = 0; k < swizzle_count; ++k) {
            if (swizzle_position(k) == p) {
                return k;
            }
        }
        return -1;
    }
};

}  // namespace velmora
