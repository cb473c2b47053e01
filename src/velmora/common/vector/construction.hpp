// Making vectors: __init__ and the type's vectorcall, the C-level constructors, and the
// static from_… constructors.
#pragma once

#include "../args.hpp"
#include "../readers.hpp"
#include "core.hpp"

#include <array>

namespace velmora {

template <VectorConfig Cfg> struct VectorConstruction : VectorCore<Cfg> {
    VELMORA_VECTOR_NAMES;

    // The class has no BASETYPE flag, but that stops only class statements: a native type
    // (a Cython cdef class, a static PyTypeObject) can still name it as its base and call
    // this with itself. Its instances would be larger than the plain vector made here, and
    // its own fields written past the end: refused before anything is allocated.
    static PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) {
        if (type != &V::type) {
            PyErr_Format(PyExc_TypeError, "cannot create '%.200s' instances: %s is not an acceptable base type",
                         type->tp_name, Cfg::type_name);
            return fail::object("__new__");
        }
        return V::obj(V::make(Comps{}));
    }

    static std::nullptr_t wrong_length(Py_ssize_t got) {
        PyErr_Format(PyExc_TypeError, "%s() takes a sequence of length %d, but got %zd", V::class_name.data(), N, got);
        return nullptr;
    }

    // ---- __init__ and calling the class ----

    // The components, by attribute, of a vector of another library: anything that has the
    // marker method. 1 when `a` is one and was read, 0 when it is none, -1 on error.
    static inline PyObject *foreign_marker;  // interned "clamp_magnitude_ip"
    static int init_foreign(Object *self, PyObject *a) {
        ref found = ref::steal(PyObject_GetAttr(a, foreign_marker));
        if (!found) {
            if (!PyErr_ExceptionMatches(PyExc_AttributeError)) {
                return -1;
            }
            PyErr_Clear();
            return 0;
        }
        for (int i = 0; i < N; ++i) {
            ref value = component(a, true, i);
            if (!value || !to_scalar(value.get(), V::field(self, i))) {
                return -1;
            }
        }
        return 1;
    }

    // One argument: a vector of the class, a foreign vector, or a list or tuple of N items.
    static int init_one(Object *self, PyObject *a) {
        if (V::is_vector(a)) {
            self->data = V::cast(a)->data;
            return 0;
        }
        // Exact lists and tuples cannot carry the marker method; skip the attribute probe.
        if (!PyList_CheckExact(a) && !PyTuple_CheckExact(a)) {
            const int foreign = init_foreign(self, a);
            if (foreign != 0) {
                return foreign < 0 ? -1 : 0;
            }
        }
        if (is_list_or_tuple(a)) {
            const Py_ssize_t m = sequence_length(a);
            if (m < 0) {
                return -1;
            }
            if (m != N) {
                wrong_length(m);
                return -1;
            }
            // Each component is stored as soon as it is converted.
            for (int i = 0; i < N; ++i) {
                ref item = component(a, false, i);
                if (!item || !to_scalar(item.get(), V::field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        ref name = ref::steal(PyType_GetName(Py_TYPE(a)));
        if (name) {
            PyErr_Format(PyExc_TypeError, "%s() invalid constructor argument: %U", V::class_name.data(), name.get());
        }
        return -1;
    }

    // Stores each component as soon as it is converted, so a failure on a later component
    // leaves the earlier ones of a re-initialised instance stored.
    static int init_from(Object *self, PyObject *const *args, Py_ssize_t n) {
        if (n == N) {
            for (int i = 0; i < N; ++i) {
                if (!to_scalar(args[i], V::field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        if (n == 0) {
            V::store(self, Comps{});
            return 0;
        }
        if (n == 1) {
            return init_one(self, args[0]);
        }
        PyErr_Format(PyExc_TypeError, "%s() takes 0, 1, or %d arguments, but %zd were given", V::class_name.data(), N, n);
        return -1;
    }

    static int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
        if (no_keywords(kwds) && init_from(V::cast(self), PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
            return 0;
        }
        return fail::status("__init__");
    }

    // Calling the class: what __new__ followed by __init__ does, without an argument tuple.
    static PyObject *vectorcall(PyObject *, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
        const Py_ssize_t n = PyVectorcall_NARGS(nargsf);
        if (kwnames == nullptr && n == N) {
            // The common call, N numbers: converted before an instance is taken.
            Comps c;
            for (int i = 0; i < N; ++i) {
                if (!to_scalar(args[i], c[i])) {
                    return fail::object("__init__");
                }
            }
            PyObject *result = V::obj(V::make(c));
            return result ? result : fail::object("__init__");
        }
        ref self = ref::steal(V::make(Comps{}));
        if (!self) {
            return nullptr;
        }
        if (no_keyword_names(kwnames) && init_from(V::cast(self.get()), args, n) == 0) {
            return self.release();
        }
        return fail::object("__init__");
    }

    // ---- C-level constructors ----

    // An entry taking N arguments of type Arg (double, float or int), each stored as a
    // component after passing through double: Nary<double>::call(x, y).
    template <class Arg, class = std::make_index_sequence<N>> struct Nary;
    template <class Arg, size_t... I> struct Nary<Arg, std::index_sequence<I...>> {
        static Object *call(std::conditional_t<true, Arg, std::integral_constant<size_t, I>>... a) {
            return V::make(Comps{static_cast<Scalar>(static_cast<double>(a))...});
        }
    };

    // Items 0..N-1 of a list or tuple the caller vouches for, converted in order.
    static Object *cfrom_sequence(PyObject *seq) {
        Comps c;
        std::array<Scalar *, N> out;
        for (int i = 0; i < N; ++i) {
            out[i] = &c[i];
        }
        return read_components(seq, false, out) ? V::make(c) : nullptr;
    }
    static Object *cfrom_vector(Object *other) { return V::make(V::load(other)); }

    // ---- static constructors (from_…) ----

    // Binds the one parameter `other`, which must be a vector of the class: the vector, or
    // nullptr with the error traced under `name`.
    static Object *bind_other(const char *name, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *other;
        if (!bind_args(name, args, nargs, kw, {"other"}, &other)) {
            return fail::object(name);
        }
        if (!V::is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        return V::cast(other);
    }

    template <Name name, auto> struct FromCopy {
        static constexpr const char *signature = "(other)";
        static PyObject *call(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            Object *other = bind_other(name.c_str(), args, nargs, kw);
            if (other == nullptr) {
                return nullptr;
            }
            PyObject *result = V::obj(cfrom_vector(other));
            return result ? result : fail::object(name.c_str());
        }
    };

    // from_tuple and from_list: exactly that type, at least N items.
    template <Name name, auto Exact> struct FromSequence {
        static constexpr const char *signature = "(other)";
        static PyObject *call(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *other;
            if (!bind_args(name.c_str(), args, nargs, kw, {"other"}, &other)) {
                return fail::object(name.c_str());
            }
            if (Py_TYPE(other) != Exact) {
                arg_type_error("other", Exact->tp_name, other);
                return fail::object(name.c_str());
            }
            if (Py_SIZE(other) < N) {
                wrong_length(Py_SIZE(other));
                return fail::object(name.c_str());
            }
            PyObject *result = V::obj(cfrom_sequence(other));
            return result ? result : fail::object(name.c_str());
        }
    };

    // from_ints, from_floats, from_xy…: N numbers by the integer conversion, rounded to
    // float whatever the class, or kept in the class's precision.
    enum class Numbers { ints, floats, own };
    static constexpr auto component_signature = [] {
        std::array<char, 2 + 3 * N> s{};
        size_t o = 0;
        s[o++] = '(';
        for (int i = 0; i < N; ++i) {
            s[o++] = Cfg::letters[i];
            if (i + 1 < N) {
                s[o++] = ',';
                s[o++] = ' ';
            }
        }
        s[o++] = ')';
        return s;
    }();
    static constexpr auto letter_pointers = [] {
        std::array<const char *, N> p{};
        for (int i = 0; i < N; ++i) {
            p[i] = V::letter_names[i].data();
        }
        return p;
    }();

    template <Name name, Numbers kind> struct FromNumbers {
        static constexpr const char *signature = component_signature.data();
        static PyObject *call(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *values[N];
            if (!bind_args_array(name.c_str(), args, nargs, kw, letter_pointers.data(), N, values)) {
                return fail::object(name.c_str());
            }
            Comps c;
            for (int i = 0; i < N; ++i) {
                if constexpr (kind == Numbers::ints) {
                    int v;
                    if (!to_int32(values[i], v)) {
                        return fail::object(name.c_str());
                    }
                    c[i] = static_cast<Scalar>(static_cast<double>(v));
                } else {
                    double d;
                    if (!to_double(values[i], d)) {
                        return fail::object(name.c_str());
                    }
                    c[i] = kind == Numbers::floats ? static_cast<Scalar>(static_cast<float>(d)) : static_cast<Scalar>(d);
                }
            }
            PyObject *result = V::obj(V::make(c));
            return result ? result : fail::object(name.c_str());
        }
    };

    // The class's own constructors: "from_vector2" and "from_xy".
    static constexpr Name from_copy_name{join(text("from_"), V::def_name)};
    static constexpr Name from_components_name{join(text("from_"), text(Cfg::letters))};
};

}  // namespace velmora
