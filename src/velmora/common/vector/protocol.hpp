// The vector's object protocols: component and swizzle properties, conversions to tuples,
// representation, hashing, equality and copies. The sequence protocol is the record
// protocol's (record.hpp).
#pragma once

#include "../args.hpp"
#include "core.hpp"
#include "swizzles.hpp"

#include <array>

namespace velmora {

template <VectorConfig Cfg> struct VectorProtocol : VectorCore<Cfg> {
    VELMORA_VECTOR_NAMES;

    // ---- component properties ----

    template <int I> static PyObject *get_component(PyObject *self, void *) {
        return PyFloat_FromDouble(V::field(V::cast(self), I));
    }
    template <int I> static int set_component(PyObject *self, PyObject *value, void *) {
        if (value == nullptr) {
            refuse_property_delete();
        } else if (to_scalar(value, V::field(V::cast(self), I))) {
            return 0;
        }
        static constexpr char member[] = {Cfg::letters[I], '.', '_', '_', 's', 'e', 't', '_', '_', 0};
        return fail::status(member);
    }

    // ---- conversions to tuples ----

    static PyObject *c_get_tuple(Object *self) { return float_tuple(V::widened(self)); }
    static PyObject *get_tuple_entry(Object *self, int) { return c_get_tuple(self); }
    // Exact Python ints, whatever the magnitude; NaN and infinities raise like int() does.
    static PyObject *get_int_tuple_entry(Object *self, int) {
        return tuple_of(V::widened(self), [](double v) { return PyLong_FromDouble(v); });
    }
    static PyObject *get_rounded_tuple_entry(Object *self, int) {
        return tuple_of(V::widened(self), [](double v) {
            return PyLong_FromDouble(kernels::round_half_away(static_cast<Scalar>(v)));
        });
    }

    // ---- representation, hash, equality ----

    // "Vector2(" and the class's text signature "Vector2(*args)\n--\n\n".
    static constexpr auto opening = join(V::class_name, text("("));
    static constexpr auto class_signature = join(V::class_name, text("(*args)\n--\n\n"));

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
        PyObject *text = record_repr(repr_pieces, V::widened(V::cast(self)));
        return text ? text : fail::object("__repr__");
    }

    static Py_hash_t hash(PyObject *self) {
        ref t = ref::steal(c_get_tuple(V::cast(self)));
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
        bool equal = V::is_vector(other);
        if (equal) {
            const Comps a = V::load(V::cast(self)), b = V::load(V::cast(other));
            for (int i = 0; i < N && equal; ++i) {
                equal = a[i] == b[i];
            }
        }
        return PyBool_FromLong(equal == (op == Py_EQ));
    }

    // ---- copies; pickling is refused ----

    template <Name name, auto Copy> struct DeepCopy {
        static constexpr const char *signature = "($self, memo)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *memo;
            if (!bind_args(name.c_str(), args, nargs, kw, {"memo"}, &memo)) {
                return fail::object(name.c_str());
            }
            PyObject *result = V::obj(Copy(V::cast(self), 1));
            return result ? result : fail::object(name.c_str());
        }
    };

    static constexpr const char pickling_refused[] =
        "Pickling of struct members such as self.data must be explicitly requested with @auto_pickle(True)";

    // ---- swizzles: one getter per name, its component selection fixed at compile time ----

    static constexpr int swizzle_count = swizzles::count<N>;
    static constexpr auto swizzle_names = swizzles::make_names<N>(Cfg::letters);
    static constexpr auto swizzle_docs = swizzles::make_docs<N>(Cfg::letters);

    template <int K> static PyObject *get_swizzle(PyObject *self, void *) {
        const Comps c = V::load(V::cast(self));
        Object *result = [&]<size_t... Pos>(std::index_sequence<Pos...>) {
            return V::make(Comps{c[swizzles::digit<N>(K, Pos)]...});
        }(std::make_index_sequence<N>{});
        if (result == nullptr) {
            static constexpr auto member = join(Text<N + 1>(swizzle_names[K]), text(".__get__"));
            return fail::object(member.data());
        }
        return V::obj(result);
    }

    static constexpr const char *component_docs[4] = {
        "The x component.", "The y component.", "The z component.", "The w component."};

    static constexpr int swizzle_position(int k) {
        if constexpr (requires { Cfg::swizzle_position(k); }) {
            return Cfg::swizzle_position(k);
        } else {
            return k;
        }
    }

    // Components, then swizzles in the class's registration order.
    static constexpr size_t attribute_count = N + swizzle_count;
    static constexpr auto attribute_getsets() {
        std::array<PyGetSetDef, attribute_count> g{};
        [&]<size_t... I>(std::index_sequence<I...>) {
            ((g[I] = PyGetSetDef{V::letter_names[I].data(), get_component<I>, set_component<I>, component_docs[I], nullptr}),
             ...);
        }(std::make_index_sequence<N>{});
        [&]<size_t... K>(std::index_sequence<K...>) {
            ((g[N + swizzle_position(K)] =
                  PyGetSetDef{swizzle_names[K].data(), get_swizzle<K>, nullptr, swizzle_docs[K].data(), nullptr}),
             ...);
        }(std::make_index_sequence<swizzle_count>{});
        return g;
    }
};

}  // namespace velmora
