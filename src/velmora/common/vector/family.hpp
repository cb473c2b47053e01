// The vector family: Vector2, Vector3 and Vector4 are one template, instantiated by each
// vector module with a configuration (the VectorConfig concept below) that names its record,
// component count and names. The type object, slot tables, method and property tables
// (swizzles included) and the C-level table are all built here from declarative rows; a
// module file adds only what is its own. The arithmetic itself is in kernels.hpp.
#pragma once

#include "../adapters.hpp"
#include "../args.hpp"
#include "../dispatch.hpp"
#include "../frame.hpp"
#include "../lifecycle.hpp"
#include "../readers.hpp"
#include "../record.hpp"
#include "../tables.hpp"
#include "kernels.hpp"
#include "swizzles.hpp"

#include <algorithm>
#include <array>
#include <concepts>
#include <type_traits>
#include <utility>

namespace velmora {

// What a vector module says about its class; everything else (record, storage type, count,
// the module's and methods' names) follows from these:
//   Object            its instance record of velmora.h (Vector2Object…)
//   type_name         "velmora.vector2.vector2.Vector2"
//   fields, letters   the record's members in component order, and their letters ("xy")
//   fill_own_table    stores the class's own C-level entries (cfrom_vector2, cross…)
// and, where the class has them: swizzle_position(k), the registration order of swizzle k
// (counting order otherwise); extra_getsets, its own properties; extra_methods<Family>, its
// own methods, made with the family's adapters.
template <class C>
concept VectorConfig = requires(std::remove_pointer_t<decltype(C::Object::vtab)> &table) {
    { C::type_name } -> std::convertible_to<const char *>;
    { C::letters } -> std::convertible_to<const char *>;
    requires std::floating_point<std::remove_reference_t<decltype(std::declval<decltype(C::Object::data)>().*C::fields[0])>>;
    requires sizeof C::fields / sizeof C::fields[0] == sizeof C::letters - 1;
    { C::fill_own_table(table) } -> std::same_as<void>;
};

template <VectorConfig Cfg> struct VectorFamily {
    using Object = typename Cfg::Object;
    using Record = decltype(Object::data);
    using Scalar = std::remove_reference_t<decltype(std::declval<Record>().*Cfg::fields[0])>;
    using Table = std::remove_pointer_t<decltype(Object::vtab)>;
    static constexpr int N = sizeof Cfg::letters - 1;

    // The names, cut from the full class name: class "Vector2", module "velmora.vector2.vector2"
    // with the definition name "vector2", and the class's own constructors "from_vector2" and
    // "from_xy".
    static constexpr size_t class_dot = last_dot(Cfg::type_name);
    static constexpr auto module_path = cut<0, class_dot>(Cfg::type_name);
    static constexpr auto class_name = cut<class_dot + 1, sizeof Cfg::type_name - 1>(Cfg::type_name);
    static constexpr auto def_name = lower(class_name);
    static constexpr Name from_copy_name{join(text("from_"), def_name)};
    static constexpr Name from_components_name{join(text("from_"), text(Cfg::letters))};
    using Comps = kernels::Comps<Scalar, static_cast<size_t>(N)>;
    using fail = Fail<Cfg::type_name>;

    static inline Table table{};
    static inline FreeList<Object, 1000> freelist;

    // ---- records ----

    static Object *cast(PyObject *o) { return reinterpret_cast<Object *>(o); }
    static PyObject *obj(Object *o) { return reinterpret_cast<PyObject *>(o); }
    static bool is_vector(PyObject *o);  // the class cannot be subclassed: an exact test

    static Scalar &field(Object *o, Py_ssize_t i) { return o->data.*Cfg::fields[i]; }
    static Comps load(Object *o) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = field(o, i);
        }
        return c;
    }
    static void store(Object *o, const Comps &c) {
        for (int i = 0; i < N; ++i) {
            field(o, i) = c[i];
        }
    }

    struct Traits {
        using Scalar = VectorFamily::Scalar;
        static constexpr int N = VectorFamily::N;
        static constexpr const char *owner = Cfg::type_name;
        static constexpr const char *index_error = "Vector index out of range";
        static Scalar &field(PyObject *self, Py_ssize_t i) { return VectorFamily::field(cast(self), i); }
    };
    using Protocol = RecordProtocol<Traits>;

    // ---- allocation: every new vector is made by `make`, from the free list when it can ----

    static Object *allocate();
    VELMORA_HOT static Object *make(const Comps &c) {
        Object *o = allocate();
        if (o != nullptr) {
            store(o, c);
        }
        return o;
    }
    // Every instance is exactly the class (it cannot be subclassed), so every one may be kept.
    static void dealloc(PyObject *o) {
        if (!freelist.keep(o)) {
            Py_TYPE(o)->tp_free(o);
        }
    }
    static PyObject *tp_new(PyTypeObject *, PyObject *, PyObject *) { return obj(make(Comps{})); }

    // ---- construction: __init__ and the type's vectorcall ----

    static std::nullptr_t wrong_length(Py_ssize_t got) {
        PyErr_Format(PyExc_TypeError, "%s() takes a sequence of length %d, but got %zd", class_name.data(), N, got);
        return nullptr;
    }

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
            if (!value || !to_scalar(value.get(), field(self, i))) {
                return -1;
            }
        }
        return 1;
    }

    // One argument: a vector of the class, a foreign vector, or a list or tuple of N items.
    static int init_one(Object *self, PyObject *a) {
        if (is_vector(a)) {
            self->data = cast(a)->data;
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
                if (!item || !to_scalar(item.get(), field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        ref name = ref::steal(PyType_GetName(Py_TYPE(a)));
        if (name) {
            PyErr_Format(PyExc_TypeError, "%s() invalid constructor argument: %U", class_name.data(), name.get());
        }
        return -1;
    }

    // Stores each component as soon as it is converted, so a failure on a later component
    // leaves the earlier ones of a re-initialised instance stored.
    static int init_from(Object *self, PyObject *const *args, Py_ssize_t n) {
        if (n == N) {
            for (int i = 0; i < N; ++i) {
                if (!to_scalar(args[i], field(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        if (n == 0) {
            store(self, Comps{});
            return 0;
        }
        if (n == 1) {
            return init_one(self, args[0]);
        }
        PyErr_Format(PyExc_TypeError, "%s() takes 0, 1, or %d arguments, but %zd were given", class_name.data(), N, n);
        return -1;
    }

    static int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
        if (no_keywords(kwds) && init_from(cast(self), PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
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
            PyObject *result = obj(make(c));
            return result ? result : fail::object("__init__");
        }
        ref self = ref::steal(make(Comps{}));
        if (!self) {
            return nullptr;
        }
        if (no_keyword_names(kwnames) && init_from(cast(self.get()), args, n) == 0) {
            return self.release();
        }
        return fail::object("__init__");
    }

    // ---- C-level constructors ----

    // An entry taking N arguments of type Arg (double, float or int), each stored as a
    // component after passing through double.
    template <class Arg> static constexpr auto nary() {
        return []<size_t... I>(std::index_sequence<I...>) {
            return +[](std::conditional_t<true, Arg, std::integral_constant<size_t, I>>... a) -> Object * {
                return make(Comps{static_cast<Scalar>(static_cast<double>(a))...});
            };
        }(std::make_index_sequence<N>{});
    }

    // Items 0..N-1 of a list or tuple the caller vouches for, converted in order.
    static Object *cfrom_sequence(PyObject *seq) {
        Comps c;
        std::array<Scalar *, N> out;
        for (int i = 0; i < N; ++i) {
            out[i] = &c[i];
        }
        return read_components(seq, false, out) ? make(c) : nullptr;
    }
    static Object *cfrom_vector(Object *other) { return make(load(other)); }

    // ---- Python method adapters: bind the arguments, run the entry, trace failures ----

    template <Name name, auto Entry> using NoArgs = typename Adapters<Cfg::type_name>::template NoArgs<name, Entry>;

    // Binds the one parameter `other`, which must be a vector of the class: the vector, or
    // nullptr with the error traced under `name`.
    static Object *bind_other(const char *name, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *other;
        if (!bind_args(name, args, nargs, kw, {"other"}, &other)) {
            return fail::object(name);
        }
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        return cast(other);
    }

    // A method taking `other`, a vector of the class, running entry(self, other, skip).
    template <Name name, auto Entry> struct WithOther {
        static constexpr const char *signature = "($self, other)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            Object *other = bind_other(name.c_str(), args, nargs, kw);
            if (other == nullptr) {
                return nullptr;
            }
            auto result = Entry(cast(self), other, 1);
            if constexpr (std::is_same_v<decltype(result), double>) {
                return PyFloat_FromDouble(result);
            } else {
                return result ? obj(result) : fail::object(name.c_str());
            }
        }
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

    // ---- static constructors (from_…) ----

    template <Name name, auto> struct FromCopy {
        static constexpr const char *signature = "(other)";
        static PyObject *call(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            Object *other = bind_other(name.c_str(), args, nargs, kw);
            if (other == nullptr) {
                return nullptr;
            }
            PyObject *result = obj(cfrom_vector(other));
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
            PyObject *result = obj(cfrom_sequence(other));
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
    static constexpr auto letter_names = [] {
        std::array<std::array<char, 2>, N> names{};
        for (int i = 0; i < N; ++i) {
            names[i] = {Cfg::letters[i], 0};
        }
        return names;
    }();
    static constexpr auto letter_pointers = [] {
        std::array<const char *, N> p{};
        for (int i = 0; i < N; ++i) {
            p[i] = letter_names[i].data();
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
            PyObject *result = obj(make(c));
            return result ? result : fail::object(name.c_str());
        }
    };

    // ---- component properties ----

    template <int I> static PyObject *get_component(PyObject *self, void *) {
        return PyFloat_FromDouble(field(cast(self), I));
    }
    template <int I> static int set_component(PyObject *self, PyObject *value, void *) {
        if (value == nullptr) {
            refuse_property_delete();
        } else if (to_scalar(value, field(cast(self), I))) {
            return 0;
        }
        static constexpr char member[] = {Cfg::letters[I], '.', '_', '_', 's', 'e', 't', '_', '_', 0};
        return fail::status(member);
    }

    // ---- arithmetic: velmora vector operands only; no reflected forms ----

    static Object *add_entry(Object *a, Object *b) { return make(kernels::combine(load(a), load(b), kernels::plus)); }
    static Object *sub_entry(Object *a, Object *b) { return make(kernels::combine(load(a), load(b), kernels::minus)); }
    static void iadd_entry(Object *a, Object *b) { store(a, kernels::combine(load(a), load(b), kernels::plus)); }
    static void isub_entry(Object *a, Object *b) { store(a, kernels::combine(load(a), load(b), kernels::minus)); }
    static void imul_entry(Object *a, Object *b) { store(a, kernels::combine(load(a), load(b), kernels::times)); }
    static void sadd_own(Object *self, Object *a, Object *b) { store(self, kernels::combine(load(a), load(b), kernels::plus)); }
    static void sadd_entry(Object *self, Object *a, Object *b, int) {
        sadd_own(self, a, b);
        // Looks redundant, since the sum itself cannot fail: a native caller may call this
        // entry with an exception already pending, and then the entry reports it as its own.
        if (PyErr_Occurred()) {
            add_traceback(Cfg::type_name, "sadd");
        }
    }

    // `+` and `-`: the right operand must be a vector of the class.
    template <Object *(*Entry)(Object *, Object *)>
    static PyObject *additive(PyObject *self, PyObject *other, const char *name) {
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        PyObject *result = obj(Entry(cast(self), cast(other)));
        return result ? result : fail::object(name);
    }

    // `*`, `/`, `//`: a vector of the class component-wise, a number as a scale, anything
    // else NotImplemented. An exact float is the common case and is tested first.
    template <auto Op> static PyObject *multiplicative(PyObject *self, PyObject *other, const char *name) {
        Object *result;
        if (PyFloat_CheckExact(other)) {
            result = make(kernels::scale(load(cast(self)), PyFloat_AS_DOUBLE(other), Op));
        } else if (is_vector(other)) {
            result = make(kernels::combine(load(cast(self)), load(cast(other)), Op));
        } else {
            const int number = is_real_number(other);
            if (number == 0) {
                Py_RETURN_NOTIMPLEMENTED;
            }
            double k;
            if (number < 0 || !to_double(other, k)) {
                return fail::object(name);
            }
            result = make(kernels::scale(load(cast(self)), k, Op));
        }
        return result ? obj(result) : fail::object(name);
    }

    template <void (*Entry)(Object *, Object *)>
    static PyObject *inplace(PyObject *self, PyObject *other, const char *name) {
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail::object(name);
        }
        Entry(cast(self), cast(other));
        return Py_NewRef(self);
    }

    // Number slots: the vector must be the left operand.
    template <PyObject *(*Op)(PyObject *, PyObject *, const char *), Name name>
    static PyObject *slot(PyObject *left, PyObject *right) {
        if (!is_vector(left)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return Op(left, right, name.c_str());
    }

    static PyObject *negative(PyObject *self) {
        PyObject *result = obj(make(kernels::negated(load(cast(self)))));
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

    template <Name name, auto> struct Sadd {
        static constexpr const char *signature = "($self, new_vec, old_vec)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *a, *b;
            if (!bind_args(name.c_str(), args, nargs, kw, {"new_vec", "old_vec"}, &a, &b)) {
                return fail::object(name.c_str());
            }
            if (!is_vector(a) || !is_vector(b)) {
                arg_type_error(is_vector(a) ? "old_vec" : "new_vec", Cfg::type_name, is_vector(a) ? b : a);
                return fail::object(name.c_str());
            }
            sadd_entry(cast(self), cast(a), cast(b), 1);
            Py_RETURN_NONE;
        }
    };

    // ---- metrics and transforms ----

    static double dot_entry(Object *self, Object *other, int) { return kernels::sum_of_products(load(self), load(other)); }
    static double distance_squared_entry(Object *self, Object *other, int) {
        return kernels::distance_squared(load(self), load(other));
    }
    static double distance_entry(Object *self, Object *other, int) {
        return std::sqrt(kernels::distance_squared(load(self), load(other)));
    }

    // to_… changes the receiver and returns it; get_… returns a new vector.
    template <Comps (*F)(const Comps &)> static Object *to_entry(Object *self, int) {
        store(self, F(load(self)));
        Py_INCREF(self);
        return self;
    }
    template <Comps (*F)(const Comps &)> static Object *get_entry(Object *self, int) { return make(F(load(self))); }
    static Object *copy_entry(Object *self, int) { return make(load(self)); }

    static constexpr auto normalized = kernels::normalized<Scalar, N>;
    static constexpr auto rounded = kernels::rounded<Scalar, N>;
    static constexpr auto absolute = kernels::absolute<Scalar, N>;
    static constexpr auto negated = kernels::negated<Scalar, N>;

    static PyObject *get_length(PyObject *self, void *) { return PyFloat_FromDouble(kernels::length(load(cast(self)))); }

    // ---- conversions to tuples ----

    static std::array<double, N> widened(Object *self) {
        std::array<double, N> values;
        for (int i = 0; i < N; ++i) {
            values[i] = field(self, i);
        }
        return values;
    }
    static PyObject *c_get_tuple(Object *self) { return float_tuple(widened(self)); }
    static PyObject *get_tuple_entry(Object *self, int) { return c_get_tuple(self); }
    // Exact Python ints, whatever the magnitude; NaN and infinities raise like int() does.
    static PyObject *get_int_tuple_entry(Object *self, int) {
        return tuple_of(widened(self), [](double v) { return PyLong_FromDouble(v); });
    }
    static PyObject *get_rounded_tuple_entry(Object *self, int) {
        return tuple_of(widened(self), [](double v) {
            return PyLong_FromDouble(kernels::round_half_away(static_cast<Scalar>(v)));
        });
    }

    // ---- object protocols ----

    // "Vector2(" and the class's text signature "Vector2(*args)\n--\n\n".
    static constexpr auto opening = join(class_name, text("("));
    static constexpr auto class_signature = join(class_name, text("(*args)\n--\n\n"));

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
        PyObject *text = record_repr(repr_pieces, widened(cast(self)));
        return text ? text : fail::object("__repr__");
    }

    static Py_hash_t hash(PyObject *self) {
        ref t = ref::steal(c_get_tuple(cast(self)));
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
        bool equal = is_vector(other);
        if (equal) {
            const Comps a = load(cast(self)), b = load(cast(other));
            for (int i = 0; i < N && equal; ++i) {
                equal = a[i] == b[i];
            }
        }
        return PyBool_FromLong(equal == (op == Py_EQ));
    }

    template <Name name, auto> struct DeepCopy {
        static constexpr const char *signature = "($self, memo)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            PyObject *memo;
            if (!bind_args(name.c_str(), args, nargs, kw, {"memo"}, &memo)) {
                return fail::object(name.c_str());
            }
            PyObject *result = obj(copy_entry(cast(self), 1));
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
        const Comps c = load(cast(self));
        Object *result = [&]<size_t... Pos>(std::index_sequence<Pos...>) {
            return make(Comps{c[swizzles::digit<N>(K, Pos)]...});
        }(std::make_index_sequence<N>{});
        if (result == nullptr) {
            static constexpr auto member = join(Text<N + 1>(swizzle_names[K]), text(".__get__"));
            return fail::object(member.data());
        }
        return obj(result);
    }

    // ---- tables ----

    static constexpr const char *component_docs[4] = {
        "The x component.", "The y component.", "The z component.", "The w component."};

    static constexpr int swizzle_position(int k) {
        if constexpr (requires { Cfg::swizzle_position(k); }) {
            return Cfg::swizzle_position(k);
        } else {
            return k;
        }
    }
    static constexpr auto extra_getsets = [] {
        if constexpr (requires { Cfg::extra_getsets; }) {
            return Cfg::extra_getsets;
        } else {
            return std::array<PyGetSetDef, 0>{};
        }
    }();

    // The property table: components, swizzles in the class's registration order, length,
    // then the class's own properties.
    static constexpr size_t getset_count = N + swizzle_count + 1 + extra_getsets.size() + 1;
    static constexpr auto make_getsets() {
        std::array<PyGetSetDef, getset_count> g{};
        [&]<size_t... I>(std::index_sequence<I...>) {
            ((g[I] = PyGetSetDef{letter_names[I].data(), get_component<I>, set_component<I>, component_docs[I], nullptr}),
             ...);
        }(std::make_index_sequence<N>{});
        [&]<size_t... K>(std::index_sequence<K...>) {
            ((g[N + swizzle_position(K)] =
                  PyGetSetDef{swizzle_names[K].data(), get_swizzle<K>, nullptr, swizzle_docs[K].data(), nullptr}),
             ...);
        }(std::make_index_sequence<swizzle_count>{});
        g[N + swizzle_count] = PyGetSetDef{"length", get_length, nullptr,
                                           std::is_same_v<Scalar, float> ? "The length, computed in 32-bit float (read-only)."
                                                                 : "The length (read-only).",
                                           nullptr};
        for (size_t e = 0; e < extra_getsets.size(); ++e) {
            g[N + swizzle_count + 1 + e] = extra_getsets[e];
        }
        return g;
    }
    static inline std::array<PyGetSetDef, getset_count> getsets = make_getsets();

    static constexpr std::array family_methods = {
        method<"__add__", Operator, additive<add_entry>>("Return self+other, other a vector of the class.", METH_COEXIST),
        method<"__sub__", Operator, additive<sub_entry>>("Return self-other, other a vector of the class.", METH_COEXIST),
        method<"__mul__", Operator, multiplicative<kernels::times>>(
            "Return self*other: component-wise by a vector of the class, or scaled by a number.", METH_COEXIST),
        method<"__truediv__", Operator, multiplicative<kernels::divide>>(
            "Return self/other: component-wise by a vector of the class, or by a number.", METH_COEXIST),
        method<"__floordiv__", Operator, multiplicative<kernels::floor_divide>>(
            "Return self//other: each quotient floored; by a vector of the class or a number.", METH_COEXIST),
        method<"sadd", Sadd, nullptr>("Stores new_vec + old_vec in this vector."),
        method<"dot", WithOther, dot_entry>("The dot product with other, a vector of the class."),
        method<"distance_to", WithOther, distance_entry>(
            "The distance to other: differences in the storage precision, the rest in double."),
        method<"distance_squared_to", WithOther, distance_squared_entry>("The squared distance to other."),
        method<"to_normalized", NoArgs, to_entry<normalized>>(
            "Scales this vector to length 1 (a zero vector stays zero) and returns it."),
        method<"get_normalized", NoArgs, get_entry<normalized>>("A new vector of length 1 in this direction (zero stays zero)."),
        method<"to_round", NoArgs, to_entry<rounded>>("Rounds each component half away from zero, in place; returns this vector."),
        method<"get_round", NoArgs, get_entry<rounded>>("A new vector of the components rounded half away from zero."),
        method<"to_abs", NoArgs, to_entry<absolute>>("Makes each component its absolute value, in place; returns this vector."),
        method<"get_abs", NoArgs, get_entry<absolute>>("A new vector of the absolute values."),
        method<"to_neg", NoArgs, to_entry<negated>>("Negates each component, in place; returns this vector."),
        method<"get_neg", NoArgs, get_entry<negated>>("A new vector of the negated components."),
        method<"get_tuple", NoArgs, get_tuple_entry>("The components as a tuple of floats."),
        method<"get_int_tuple", NoArgs, get_int_tuple_entry>(
            "The components truncated toward zero, as ints; NaN raises ValueError, infinity OverflowError."),
        method<"get_rounded_tuple", NoArgs, get_rounded_tuple_entry>("The components rounded half away from zero, as ints."),
        method<"copy", NoArgs, copy_entry>("A new vector with the same components."),
        method<"__copy__", NoArgs, copy_entry>("A new vector with the same components (copy.copy)."),
        method<"__deepcopy__", DeepCopy, nullptr>("A new vector with the same components (copy.deepcopy); memo is not used."),
    };
    static constexpr auto extra_methods = [] {
        if constexpr (requires { Cfg::template extra_methods<VectorFamily>; }) {
            return Cfg::template extra_methods<VectorFamily>;
        } else {
            return std::array<MethodRow, 0>{};
        }
    }();
    static constexpr auto method_rows = concat(family_methods, extra_methods);
    static inline MethodDefs<method_rows.size()> method_defs;

    static constexpr std::array static_rows = {
        method<from_copy_name, FromCopy, nullptr>("A new vector equal to other, a vector of the class."),
        method<"from_tuple", FromSequence, &PyTuple_Type>("A new vector from the first items of a tuple."),
        method<"from_list", FromSequence, &PyList_Type>("A new vector from the first items of a list."),
        method<"from_ints", FromNumbers, Numbers::ints>(
            "A new vector from numbers converted by int() to 32-bit integers (floats are truncated)."),
        method<"from_floats", FromNumbers, Numbers::floats>(
            "A new vector from numbers rounded to 32-bit floats, whatever the class's precision."),
        method<from_components_name, FromNumbers, Numbers::own>("A new vector from numbers, in the class's precision."),
    };
    static inline MethodDefs<static_rows.size()> static_defs;
    static PyMethodDef *static_methods() { return static_defs.fill(static_rows); }

    // The class as data. Its doc is a text signature only, so the class has no docstring.
    static inline PyTypeObject type = {
        .ob_base = PyVarObject_HEAD_INIT(nullptr, 0)
        .tp_name = Cfg::type_name,
        .tp_basicsize = sizeof(Object),
        .tp_dealloc = dealloc,
        .tp_repr = repr,
        .tp_as_number = &number_slots,
        .tp_as_sequence = &Protocol::sequence_slots,
        .tp_as_mapping = &Protocol::mapping_slots,
        .tp_hash = hash,
        .tp_flags = Py_TPFLAGS_DEFAULT,  // not an acceptable base type
        .tp_doc = class_signature.data(),
        .tp_richcompare = richcompare,
        .tp_methods = method_defs.get(),
        .tp_getset = getsets.data(),
        .tp_init = tp_init,
        .tp_new = tp_new,
        .tp_vectorcall = vectorcall,
    };

    // The C-level table: the entries every vector class has; the module adds its own
    // (cfrom_struct, cross…).
    static void fill_table() {
        table.new_ = nary<double>();
        table.cfrom_list = cfrom_sequence;
        table.cfrom_ints = nary<int>();
        table.cfrom_floats = nary<float>();
        table.cfrom_tuple = cfrom_sequence;
        table._add = add_entry;
        table._sub = sub_entry;
        table._iadd = iadd_entry;
        table._isub = isub_entry;
        table._imul = imul_entry;
        table._sadd = sadd_own;
        table.sadd = sadd_entry;
        table.get_tuple = get_tuple_entry;
        table.c_get_tuple = c_get_tuple;
        table.to_round = to_entry<rounded>;
        table.get_round = get_entry<rounded>;
        table.to_abs = to_entry<absolute>;
        table.get_abs = get_entry<absolute>;
        table.to_neg = to_entry<negated>;
        table.get_neg = get_entry<negated>;
        table.get_int_tuple = get_int_tuple_entry;
        table.get_rounded_tuple = get_rounded_tuple_entry;
        table.copy = copy_entry;
        table.to_normalized = to_entry<normalized>;
        table.get_normalized = get_entry<normalized>;
        table.distance_to = distance_entry;
        table.distance_squared_to = distance_squared_entry;
        table.dot = dot_entry;
        Cfg::fill_own_table(table);
    }

    static int prepare() {
        if (intern_component_names() < 0 ||
            (foreign_marker == nullptr && (foreign_marker = PyUnicode_InternFromString("clamp_magnitude_ip")) == nullptr)) {
            return -1;
        }
        method_defs.fill(method_rows);
        fill_table();
        return 0;
    }

    // The vector modules import no classes; they check the host's `type` by the same rule.
    static int check_host_type() {
        PyTypeObject *host_type = nullptr;
        if (import_class("builtins", "type", sizeof(PyHeapTypeObject), host_type, nullptr) < 0) {
            return -1;
        }
        Py_DECREF(host_type);
        return 0;
    }

    static inline const char *const builtins[] = {"staticmethod", "NotImplemented", nullptr};

    static ModuleFrame make_frame() {
        ModuleFrame f = class_frame<Cfg::type_name, pickling_refused>(def_name.data(), module_path.data(), &type,
                                                                      class_name.data(), &table, prepare, check_host_type);
        f.builtins = builtins;
        f.static_methods = static_methods;
        f.freelist = freelist.info();
        return f;
    }
};

template <VectorConfig Cfg> VELMORA_HOT bool VectorFamily<Cfg>::is_vector(PyObject *o) { return Py_TYPE(o) == &type; }

template <VectorConfig Cfg> VELMORA_HOT typename Cfg::Object *VectorFamily<Cfg>::allocate() {
    Object *o = freelist.take(&type);
    if (o != nullptr) {
        o->vtab = &table;
    }
    return o;
}

}  // namespace velmora
