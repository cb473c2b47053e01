// Making vectors: __init__ and the type's vectorcall, the C-level constructors, and the
// functions of the static from_… constructors' rows.
#pragma once

#include "../args.hpp"
#include "../kinds.hpp"
#include "../readers.hpp"
#include "core.hpp"

#include <array>

namespace velmora {

template <VectorConfig Config> struct VectorConstruction : VectorCore<Config> {
    VELMORA_VECTOR_NAMES;

    // The class has no BASETYPE flag, but that stops only class statements: a native type
    // (a Cython cdef class, a static PyTypeObject) can still name it as its base and call
    // this with itself. Its instances would be larger than the plain vector made here, and
    // its own fields written past the end: refused before anything is allocated.
    static PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) {
        if (type != &Core::type) {
            PyErr_Format(PyExc_TypeError, "cannot create '%.200s' instances: %s is not an acceptable base type",
                         type->tp_name, Config::type_name);
            return fail::object("__new__");
        }
        return Core::obj(Core::make(Comps{}));
    }

    static std::nullptr_t wrong_length(Py_ssize_t got) {
        PyErr_Format(PyExc_TypeError, "%s() takes a sequence of length %d, but got %zd", Core::class_name.data(), N,
                     got);
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
            if (!value || !to_scalar(value.get(), Core::field(self, i))) {
                return -1;
            }
        }
        return 1;
    }

    // One argument: a vector of the class, a foreign vector, or a list or tuple of N items.
    static int init_one(Object *self, PyObject *a) {
        if (Core::is_vector(a)) {
            self->data = Core::cast(a)->data;
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
                if (!item || !to_scalar(item.get(), Core::field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        ref name = ref::steal(PyType_GetName(Py_TYPE(a)));
        if (name) {
            PyErr_Format(PyExc_TypeError, "%s() invalid constructor argument: %U", Core::class_name.data(), name.get());
        }
        return -1;
    }

    // Stores each component as soon as it is converted, so a failure on a later component
    // leaves the earlier ones of a re-initialised instance stored.
    static int init_from(Object *self, PyObject *const *args, Py_ssize_t n) {
        if (n == N) {
            for (int i = 0; i < N; ++i) {
                if (!to_scalar(args[i], Core::field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        if (n == 0) {
            Core::store(self, Comps{});
            return 0;
        }
        if (n == 1) {
            return init_one(self, args[0]);
        }
        PyErr_Format(PyExc_TypeError, "%s() takes 0, 1, or %d arguments, but %zd were given", Core::class_name.data(),
                     N, n);
        return -1;
    }

    static int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
        if (no_keywords(kwds) &&
            init_from(Core::cast(self), PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
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
            PyObject *result = Core::obj(Core::make(c));
            return result ? result : fail::object("__init__");
        }
        ref self = ref::steal(Core::make(Comps{}));
        if (!self) {
            return nullptr;
        }
        if (no_keyword_names(kwnames) && init_from(Core::cast(self.get()), args, n) == 0) {
            return self.release();
        }
        return fail::object("__init__");
    }

    // ---- C-level constructors, and the static from_… constructors ----

    // N numbers of type Arg (double, float or int in the C-level entries; a kind the binding
    // reads in the static methods: Int32, float, or the storage type), each stored as a
    // component after passing through double: FromComponents<double>::make(x, y).
    static double as_double(double v) { return v; }
    static double as_double(Int32 v) { return static_cast<double>(v.value); }
    template <class Arg, class = std::make_index_sequence<N>> struct FromComponents;
    template <class Arg, size_t... I> struct FromComponents<Arg, std::index_sequence<I...>> {
        template <size_t> using Each = Arg;
        static Comps values(Each<I>... a) { return Comps{static_cast<Scalar>(as_double(a))...}; }
        static Object *make(Each<I>... a) { return Core::make(values(a...)); }
    };

    // Items 0..N-1 of a list or tuple the caller vouches for, converted in order.
    static Object *cfrom_sequence(PyObject *seq) {
        Comps c;
        std::array<Scalar *, N> out;
        for (int i = 0; i < N; ++i) {
            out[i] = &c[i];
        }
        return read_components(seq, false, out) ? Core::make(c) : nullptr;
    }
    static Object *cfrom_vector(Object *other) { return Core::make(Core::load(other)); }

    static Comps copy_of(const Comps &other) { return other; }

    // from_tuple and from_list: exactly that type, at least N items.
    template <PyTypeObject *Type> static Object *from_items(Exactly<Type> sequence) {
        if (Py_SIZE(sequence.object) < N) {
            return wrong_length(Py_SIZE(sequence.object));
        }
        return cfrom_sequence(sequence.object);
    }

    // The typed signatures of from_ints, from_floats and from_xy…: "(x: T, y: T) -> Self".
    template <size_t Size> static constexpr auto numbers_signature(const Text<Size> &type) {
        Text<16 + N *(Size + 4)> s{};
        size_t o = 0;
        s[o++] = '(';
        for (int i = 0; i < N; ++i) {
            s[o++] = Config::letters[i];
            s[o++] = ':';
            s[o++] = ' ';
            for (size_t k = 0; k + 1 < Size; ++k) {
                s[o++] = type[k];
            }
            if (i + 1 < N) {
                s[o++] = ',';
                s[o++] = ' ';
            }
        }
        for (char c : text(") -> Self")) {
            s[o++] = c;
        }
        return s;
    }

    // The class's own constructors' names: "from_vector2" and "from_xy".
    static constexpr Name from_copy_name{join(text("from_"), Core::def_name)};
    static constexpr Name from_components_name{join(text("from_"), text(Config::letters))};
};

}  // namespace velmora
