// The vector family: Vector2, Vector3 and Vector4 are one template, instantiated by each
// vector module with a configuration that names its record, component count and names.
// Slot tables, method tables, property tables (swizzles included) and the C-level table
// are all built here; a module file adds only what is its own.
//
// Precision: Vector2 and Vector3 store 32-bit floats and compute vector-with-vector
// arithmetic, lengths and dot products in float; Vector4 stores and computes in double.
// Products summed for a length or a dot product are chained through explicit fused
// multiply-adds in float (one rounding per step, the same on every compiler and CPU),
// and summed plainly in double, where Python's own arithmetic is the reference.
#pragma once

#include "args.hpp"
#include "convert.hpp"
#include "errors.hpp"
#include "frame.hpp"
#include "freelist.hpp"
#include "pickling.hpp"
#include "ref.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace velmora {

constexpr int ipow(int base, int exp) { return exp == 0 ? 1 : base * ipow(base, exp - 1); }

template <class Cfg> struct VectorFamily {
    using Scalar = typename Cfg::Scalar;
    using Record = typename Cfg::Record;
    using Object = typename Cfg::Object;
    using Table = typename Cfg::Table;
    static constexpr int N = Cfg::N;
    static constexpr bool single = std::is_same_v<Scalar, float>;
    using Comps = std::array<Scalar, N>;

    // The largest value below one half in the storage type: adding it with the sign of a
    // component and truncating rounds halves away from zero without rounding up 0.49999997.
    static constexpr Scalar half_down = single ? Scalar(0x1.fffffep-2f) : Scalar(0x1.fffffffffffffp-2);

    static inline PyTypeObject type = {PyVarObject_HEAD_INIT(nullptr, 0)};
    static inline Table table{};
    static inline FreeList<Object, 1000> freelist;
    static inline PyObject *component_names[N];  // interned "x", "y", ...
    static inline PyObject *foreign_marker;      // interned "clamp_magnitude_ip"

    // ---- records ----

    static Object *cast(PyObject *o) { return reinterpret_cast<Object *>(o); }
    static PyObject *obj(Object *o) { return reinterpret_cast<PyObject *>(o); }
    static bool is_vector(PyObject *o) { return Py_TYPE(o) == &type; }

    static Comps load(const Object *o) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = o->data.*Cfg::fields[i];
        }
        return c;
    }
    static void store(Object *o, const Comps &c) {
        for (int i = 0; i < N; ++i) {
            o->data.*Cfg::fields[i] = c[i];
        }
    }
    static Scalar &component(Object *o, Py_ssize_t i) { return o->data.*Cfg::fields[i]; }

    static PyObject *fail(const char *member) {
        add_traceback(Cfg::type_name, member);
        return nullptr;
    }

    // ---- allocation ----

    static Object *alloc(PyTypeObject *t) {
        Object *o = t->tp_basicsize == sizeof(Object) ? freelist.pop() : nullptr;
        if (o != nullptr) {
            std::memset(static_cast<void *>(o), 0, sizeof(Object));
            PyObject_Init(obj(o), t);
        } else {
            o = reinterpret_cast<Object *>(t->tp_alloc(t, 0));
            if (o == nullptr) {
                return nullptr;
            }
        }
        o->vtab = &table;
        return o;
    }

    // The class's `new`: every operation that returns a new vector makes it here.
    static Object *make(const Comps &c) {
        Object *o = alloc(&type);
        if (o != nullptr) {
            store(o, c);
        }
        return o;
    }

    static void dealloc(PyObject *o) {
        if (Py_TYPE(o)->tp_basicsize == sizeof(Object) && freelist.push(cast(o))) {
            return;
        }
        Py_TYPE(o)->tp_free(o);
    }

    static PyObject *tp_new(PyTypeObject *t, PyObject *, PyObject *) { return obj(alloc(t)); }

    // ---- conversions ----

    // Items 0..N-1 of a list or tuple by the real conversion. A list is re-measured before
    // every read: converting one item may run code that shrinks it.
    static bool convert_items(PyObject *seq, Comps &c) {
        for (Py_ssize_t i = 0; i < N; ++i) {
            ref item;
            if (PyTuple_Check(seq)) {
                item = ref::borrow(PyTuple_GET_ITEM(seq, i));
            } else if (i < PyList_GET_SIZE(seq)) {
                item = ref::borrow(PyList_GET_ITEM(seq, i));
            } else {
                PyErr_SetString(PyExc_IndexError, "list index out of range");
                return false;
            }
            if (!to_scalar(item.get(), c[i])) {
                return false;
            }
        }
        return true;
    }

    static PyObject *wrong_length(Py_ssize_t got) {
        PyErr_Format(PyExc_TypeError, "%s() takes a sequence of length %d, but got %zd",
                     Cfg::class_name, N, got);
        return nullptr;
    }

    // ---- construction: __init__ and the type's vectorcall ----

    // Stores each component as soon as it is converted, so a failure on a later
    // component leaves the earlier ones of a re-initialised instance stored.
    static int init_from(Object *self, PyObject *const *args, Py_ssize_t n) {
        if (n == N) {
            for (int i = 0; i < N; ++i) {
                if (!to_scalar(args[i], component(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        if (n == 0) {
            store(self, Comps{});
            return 0;
        }
        if (n != 1) {
            PyErr_Format(PyExc_TypeError, "%s() takes 0, 1, or %d arguments, but %zd were given",
                         Cfg::class_name, N, n);
            return -1;
        }
        PyObject *a = args[0];
        if (is_vector(a)) {
            self->data = cast(a)->data;
            return 0;
        }
        // Exact lists and tuples cannot carry the marker method; skip the attribute probe.
        if (!PyList_CheckExact(a) && !PyTuple_CheckExact(a)) {
            ref marker = ref::steal(PyObject_GetAttr(a, foreign_marker));
            if (marker) {
                // A vector of another library: read its components as attributes.
                for (int i = 0; i < N; ++i) {
                    ref value = ref::steal(PyObject_GetAttr(a, component_names[i]));
                    if (!value || !to_scalar(value.get(), component(self, i))) {
                        return -1;
                    }
                }
                return 0;
            }
            if (!PyErr_ExceptionMatches(PyExc_AttributeError)) {
                return -1;
            }
            PyErr_Clear();
        }
        if (PyList_Check(a) || PyTuple_Check(a)) {
            const Py_ssize_t m = PyObject_Length(a);
            if (m < 0) {
                return -1;
            }
            if (m != N) {
                wrong_length(m);
                return -1;
            }
            for (int i = 0; i < N; ++i) {
                ref item = ref::steal(PySequence_GetItem(a, i));
                if (!item || !to_scalar(item.get(), component(self, i))) {
                    return -1;
                }
            }
            return 0;
        }
        ref name = ref::steal(PyType_GetName(Py_TYPE(a)));
        if (name) {
            PyErr_Format(PyExc_TypeError, "%s() invalid constructor argument: %U", Cfg::class_name,
                         name.get());
        }
        return -1;
    }

    static int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
        if (no_keywords(kwds) && init_from(cast(self), PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
            return 0;
        }
        fail("__init__");
        return -1;
    }

    // Calling the class: what __new__ followed by __init__ does, without an argument tuple.
    static PyObject *vectorcall(PyObject *, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
        Object *self = alloc(&type);
        if (self == nullptr) {
            return nullptr;
        }
        if (no_keyword_names(kwnames) && init_from(self, args, PyVectorcall_NARGS(nargsf)) == 0) {
            return obj(self);
        }
        Py_DECREF(self);
        return fail("__init__");
    }

    // ---- C-level constructors ----

    // An entry taking N arguments of type Arg, each stored as a component.
    template <class Arg, size_t... I> static constexpr auto nary(std::index_sequence<I...>) {
        return +[](std::conditional_t<true, Arg, std::integral_constant<size_t, I>>... a) -> Object * {
            return make(Comps{static_cast<Scalar>(a)...});
        };
    }
    template <class Arg> static constexpr auto nary() { return nary<Arg>(std::make_index_sequence<N>{}); }

    static Object *cfrom_ints_impl(const std::array<int, N> &v) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = static_cast<Scalar>(static_cast<double>(v[i]));
        }
        return make(c);
    }
    template <size_t... I> static constexpr auto nary_ints(std::index_sequence<I...>) {
        return +[](std::conditional_t<true, int, std::integral_constant<size_t, I>>... a) -> Object * {
            return cfrom_ints_impl({a...});
        };
    }

    static Object *cfrom_sequence(PyObject *seq) {
        Comps c;
        return convert_items(seq, c) ? make(c) : nullptr;
    }
    static Object *cfrom_vector(Object *other) { return make(load(other)); }

    // ---- static constructors (from_…) ----

    static PyObject *from_copy(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *other;
        if (!bind_args(Cfg::from_copy_name, args, nargs, kw, {"other"}, &other)) {
            return fail(Cfg::from_copy_name);
        }
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail(Cfg::from_copy_name);
        }
        PyObject *result = obj(cfrom_vector(cast(other)));
        return result ? result : fail(Cfg::from_copy_name);
    }

    template <bool tuple>
    static PyObject *from_sequence(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        const char *name = tuple ? "from_tuple" : "from_list";
        PyObject *other;
        if (!bind_args(name, args, nargs, kw, {"other"}, &other)) {
            return fail(name);
        }
        if (tuple ? !PyTuple_CheckExact(other) : !PyList_CheckExact(other)) {
            arg_type_error("other", tuple ? "tuple" : "list", other);
            return fail(name);
        }
        if (Py_SIZE(other) < N) {
            wrong_length(Py_SIZE(other));
            return fail(name);
        }
        PyObject *result = obj(cfrom_sequence(other));
        return result ? result : fail(name);
    }

    static PyObject *from_ints(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *values[N];
        std::array<int, N> v;
        if (!bind_args_array("from_ints", args, nargs, kw, Cfg::component_letters, N, values)) {
            return fail("from_ints");
        }
        for (int i = 0; i < N; ++i) {
            if (!to_int32(values[i], v[i])) {
                return fail("from_ints");
            }
        }
        PyObject *result = obj(cfrom_ints_impl(v));
        return result ? result : fail("from_ints");
    }

    // from_floats keeps single precision whatever the class; from_xy… keeps the class's.
    template <bool floats>
    static PyObject *from_numbers(PyObject *, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        const char *name = floats ? "from_floats" : Cfg::from_components_name;
        PyObject *values[N];
        Comps c;
        if (!bind_args_array(name, args, nargs, kw, Cfg::component_letters, N, values)) {
            return fail(name);
        }
        for (int i = 0; i < N; ++i) {
            double d;
            if (!to_double(values[i], d)) {
                return fail(name);
            }
            c[i] = floats ? static_cast<Scalar>(static_cast<float>(d)) : static_cast<Scalar>(d);
        }
        PyObject *result = obj(make(c));
        return result ? result : fail(name);
    }

    // ---- component properties ----

    template <int I> static PyObject *get_component(PyObject *self, void *) {
        return PyFloat_FromDouble(component(cast(self), I));
    }
    template <int I> static int set_component(PyObject *self, PyObject *value, void *) {
        if (value == nullptr) {
            refuse_property_delete();
        } else if (to_scalar(value, component(cast(self), I))) {
            return 0;
        }
        const char suffix[] = {Cfg::component_letters[I][0], '.', '_', '_', 's', 'e', 't', '_', '_', 0};
        add_traceback(Cfg::type_name, suffix);
        return -1;
    }

    // ---- arithmetic (velmora vector operands only; no reflected forms) ----

    template <class Op> static Comps combine(const Comps &a, const Comps &b, Op op) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = op(a[i], b[i]);
        }
        return c;
    }
    // A component widened to double, combined with k in double, rounded once to storage.
    template <class Op> static Comps scale(const Comps &a, double k, Op op) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = static_cast<Scalar>(op(static_cast<double>(a[i]), k));
        }
        return c;
    }

    static constexpr auto plus = [](auto a, auto b) { return a + b; };
    static constexpr auto minus = [](auto a, auto b) { return a - b; };
    static constexpr auto times = [](auto a, auto b) { return a * b; };
    static constexpr auto divide = [](auto a, auto b) { return a / b; };
    static constexpr auto floor_divide = [](auto a, auto b) { return std::floor(a / b); };

    static Object *add_impl(Object *a, Object *b) { return make(combine(load(a), load(b), plus)); }
    static Object *sub_impl(Object *a, Object *b) { return make(combine(load(a), load(b), minus)); }
    static void iadd_impl(Object *a, Object *b) { store(a, combine(load(a), load(b), plus)); }
    static void isub_impl(Object *a, Object *b) { store(a, combine(load(a), load(b), minus)); }
    static void imul_impl(Object *a, Object *b) { store(a, combine(load(a), load(b), times)); }
    static void sadd_impl(Object *self, Object *a, Object *b) {
        store(self, combine(load(a), load(b), plus));
    }
    static void sadd_entry(Object *self, Object *a, Object *b, int) {
        sadd_impl(self, a, b);
        if (PyErr_Occurred()) {
            add_traceback(Cfg::type_name, "sadd");
        }
    }

    // `+` and `-`: the right operand must be a vector of the class.
    template <Object *(*Impl)(Object *, Object *)>
    static PyObject *additive(PyObject *self, PyObject *other, const char *name) {
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail(name);
        }
        PyObject *result = obj(Impl(cast(self), cast(other)));
        return result ? result : fail(name);
    }

    // A number operand: any int (bool included) or float, as a double.
    static bool is_number(PyObject *o) { return PyLong_Check(o) || PyFloat_Check(o); }

    // `*`, `/`, `//`: a vector of the class component-wise, a number as a scale, else
    // NotImplemented.
    template <class Op>
    static PyObject *multiplicative(PyObject *self, PyObject *other, const char *name, Op op) {
        Object *result;
        if (is_vector(other)) {
            result = make(combine(load(cast(self)), load(cast(other)), op));
        } else if (is_number(other)) {
            double k;
            if (!to_double(other, k)) {
                return fail(name);
            }
            result = make(scale(load(cast(self)), k, op));
        } else {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return result ? obj(result) : fail(name);
    }

    static PyObject *op_add(PyObject *s, PyObject *o) { return additive<add_impl>(s, o, "__add__"); }
    static PyObject *op_sub(PyObject *s, PyObject *o) { return additive<sub_impl>(s, o, "__sub__"); }
    static PyObject *op_mul(PyObject *s, PyObject *o) { return multiplicative(s, o, "__mul__", times); }
    static PyObject *op_truediv(PyObject *s, PyObject *o) {
        return multiplicative(s, o, "__truediv__", divide);
    }
    static PyObject *op_floordiv(PyObject *s, PyObject *o) {
        return multiplicative(s, o, "__floordiv__", floor_divide);
    }

    // Number slots: the vector must be the left operand.
    template <PyObject *(*Op)(PyObject *, PyObject *)>
    static PyObject *slot(PyObject *left, PyObject *right) {
        if (!is_vector(left)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return Op(left, right);
    }

    // The same operators as Python methods taking one argument.
    template <PyObject *(*Op)(PyObject *, PyObject *), const char *Name>
    static PyObject *method(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *other;
        if (!bind_args(Name, args, nargs, kw, {"other"}, &other)) {
            return fail(Name);
        }
        return Op(self, other);
    }

    template <void (*Impl)(Object *, Object *)>
    static PyObject *inplace(PyObject *self, PyObject *other, const char *name) {
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail(name);
        }
        Impl(cast(self), cast(other));
        return Py_NewRef(self);
    }
    static PyObject *op_iadd(PyObject *s, PyObject *o) { return inplace<iadd_impl>(s, o, "__iadd__"); }
    static PyObject *op_isub(PyObject *s, PyObject *o) { return inplace<isub_impl>(s, o, "__isub__"); }
    static PyObject *op_imul(PyObject *s, PyObject *o) { return inplace<imul_impl>(s, o, "__imul__"); }

    static PyObject *op_neg(PyObject *self) {
        PyObject *result = obj(get_neg(cast(self), 1));
        return result ? result : fail("__neg__");
    }

    static PyObject *sadd(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *a, *b;
        if (!bind_args("sadd", args, nargs, kw, {"new_vec", "old_vec"}, &a, &b)) {
            return fail("sadd");
        }
        if (!is_vector(a) || !is_vector(b)) {
            arg_type_error(is_vector(a) ? "old_vec" : "new_vec", Cfg::type_name, is_vector(a) ? b : a);
            return fail("sadd");
        }
        sadd_entry(cast(self), cast(a), cast(b), 1);
        Py_RETURN_NONE;
    }

    // ---- metrics and transforms ----

    static Scalar sum_of_products(const Comps &a, const Comps &b) {
        Scalar s = a[0] * b[0];
        for (int i = 1; i < N; ++i) {
            if constexpr (single) {
                s = std::fma(a[i], b[i], s);
            } else {
                s += a[i] * b[i];
            }
        }
        return s;
    }
    static double length_of(Object *self) {
        const Comps c = load(self);
        return std::sqrt(sum_of_products(c, c));
    }
    static double dot_entry(Object *self, Object *other, int) {
        return sum_of_products(load(self), load(other));
    }
    // Differences in storage precision, squares and sum in double.
    static double distance_squared_entry(Object *self, Object *other, int) {
        const Comps a = load(self), b = load(other);
        double s = 0.0;
        for (int i = 0; i < N; ++i) {
            const double d = static_cast<Scalar>(a[i] - b[i]);
            s += d * d;
        }
        return s;
    }
    static double distance_entry(Object *self, Object *other, int flag) {
        return std::sqrt(distance_squared_entry(self, other, flag));
    }

    static Comps normalized(const Comps &c) {
        const Scalar s = sum_of_products(c, c);
        if (s == 0) {
            return Comps{};
        }
        const double r = 1.0 / static_cast<double>(std::sqrt(s));
        return scale(c, r, times);
    }
    static Comps rounded(const Comps &c) {
        Comps out;
        for (int i = 0; i < N; ++i) {
            out[i] = std::trunc(static_cast<Scalar>(c[i] + std::copysign(half_down, c[i])));
        }
        return out;
    }
    static Comps absolute(const Comps &c) {
        Comps out;
        for (int i = 0; i < N; ++i) {
            out[i] = std::fabs(c[i]);
        }
        return out;
    }
    static Comps negated(const Comps &c) {
        Comps out;
        for (int i = 0; i < N; ++i) {
            out[i] = -c[i];
        }
        return out;
    }

    // to_… changes the receiver and returns it; get_… returns a new vector.
    template <Comps (*F)(const Comps &)> static Object *to_entry(Object *self, int) {
        store(self, F(load(self)));
        Py_INCREF(self);
        return self;
    }
    template <Comps (*F)(const Comps &)> static Object *get_entry(Object *self, int) {
        return make(F(load(self)));
    }
    static Object *get_neg(Object *self, int flag) { return get_entry<negated>(self, flag); }
    static Object *copy_entry(Object *self, int) { return make(load(self)); }

    // A Python method without parameters running a C-level entry.
    template <auto Entry, const char *Name>
    static PyObject *no_args(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        if (!bind_args(Name, args, nargs, kw, {})) {
            return fail(Name);
        }
        PyObject *result = reinterpret_cast<PyObject *>(Entry(cast(self), 1));
        return result ? result : fail(Name);
    }

    // A Python method taking `other`, a vector of the class, running a C-level entry.
    template <auto Entry, const char *Name>
    static PyObject *with_other(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *other;
        if (!bind_args(Name, args, nargs, kw, {"other"}, &other)) {
            return fail(Name);
        }
        if (!is_vector(other)) {
            arg_type_error("other", Cfg::type_name, other);
            return fail(Name);
        }
        auto result = Entry(cast(self), cast(other), 1);
        if constexpr (std::is_same_v<decltype(result), double>) {
            return PyFloat_FromDouble(result);
        } else {
            return result ? reinterpret_cast<PyObject *>(result) : fail(Name);
        }
    }

    static PyObject *get_length(PyObject *self, void *) { return PyFloat_FromDouble(length_of(cast(self))); }

    // ---- conversions to tuples ----

    template <class Make> static PyObject *tuple_of(Object *self, Make make_item) {
        const Comps c = load(self);
        ref items[N];
        for (int i = 0; i < N; ++i) {
            items[i] = ref::steal(make_item(c[i]));
            if (!items[i]) {
                return nullptr;
            }
        }
        PyObject *t = PyTuple_New(N);
        if (t != nullptr) {
            for (int i = 0; i < N; ++i) {
                PyTuple_SET_ITEM(t, i, items[i].release());
            }
        }
        return t;
    }
    static PyObject *c_get_tuple(Object *self) {
        return tuple_of(self, [](Scalar v) { return PyFloat_FromDouble(v); });
    }
    static PyObject *get_tuple_entry(Object *self, int) { return c_get_tuple(self); }
    // Exact Python ints, whatever the magnitude; NaN and infinities raise like int() does.
    static PyObject *get_int_tuple_entry(Object *self, int) {
        return tuple_of(self, [](Scalar v) { return PyLong_FromDouble(v); });
    }
    static PyObject *get_rounded_tuple_entry(Object *self, int) {
        return tuple_of(self, [](Scalar v) {
            return PyLong_FromDouble(static_cast<Scalar>(v + std::copysign(half_down, v)));
        });
    }

    // ---- object protocols ----

    static PyObject *repr(PyObject *self) {
        const Comps c = load(cast(self));
        struct Text {
            char *s = nullptr;
            ~Text() { PyMem_Free(s); }
        } texts[N];
        const size_t opening = std::strlen(Cfg::class_name) + 1;
        size_t total = opening + 2 * (N - 1) + 1;
        for (int i = 0; i < N; ++i) {
            texts[i].s = double_repr(c[i]);
            if (texts[i].s == nullptr) {
                return fail("__repr__");
            }
            total += std::strlen(texts[i].s);
        }
        PyObject *result = PyUnicode_New(static_cast<Py_ssize_t>(total), 127);
        if (result == nullptr) {
            return fail("__repr__");
        }
        char *out = reinterpret_cast<char *>(PyUnicode_1BYTE_DATA(result));
        std::memcpy(out, Cfg::class_name, opening - 1);
        out += opening - 1;
        *out++ = '(';
        for (int i = 0; i < N; ++i) {
            if (i > 0) {
                *out++ = ',';
                *out++ = ' ';
            }
            const size_t len = std::strlen(texts[i].s);
            std::memcpy(out, texts[i].s, len);
            out += len;
        }
        *out = ')';
        return result;
    }

    static Py_hash_t hash(PyObject *self) {
        ref t = ref::steal(c_get_tuple(cast(self)));
        const Py_hash_t h = t ? PyObject_Hash(t.get()) : -1;
        if (h == -1) {
            fail("__hash__");
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

    static Py_ssize_t length(PyObject *) { return N; }

    static PyObject *index_error() {
        PyErr_SetString(PyExc_IndexError, "Vector index out of range");
        return nullptr;
    }

    // The sequence protocol (iteration, unpacking, `in`): ends at the IndexError for n,
    // which is routine there and so gets no traceback entry.
    static PyObject *sq_item(PyObject *self, Py_ssize_t i) {
        if (i < 0 || i >= N) {
            return index_error();
        }
        return PyFloat_FromDouble(component(cast(self), i));
    }

    static PyObject *subscript(PyObject *self, PyObject *key) {
        Py_ssize_t i;
        if (!to_index(key, i) || !(0 <= i && i < N)) {
            if (!PyErr_Occurred()) {
                index_error();
            }
            return fail("__getitem__");
        }
        return PyFloat_FromDouble(component(cast(self), i));
    }

    static int refuse_item_delete() {
        PyErr_Format(PyExc_NotImplementedError, "Subscript %.10s not supported by %.200s", "deletion",
                     Cfg::type_name);
        return -1;
    }

    // The value is converted before the index is tested.
    static int store_item(PyObject *self, Py_ssize_t i, PyObject *value) {
        Scalar v;
        if (!to_scalar(value, v)) {
            return -1;
        }
        if (i < 0 || i >= N) {
            index_error();
            return -1;
        }
        component(cast(self), i) = v;
        return 0;
    }

    static int sq_ass_item(PyObject *self, Py_ssize_t i, PyObject *value) {
        if ((value == nullptr ? refuse_item_delete() : store_item(self, i, value)) == 0) {
            return 0;
        }
        fail("__setitem__");
        return -1;
    }

    static int ass_subscript(PyObject *self, PyObject *key, PyObject *value) {
        Py_ssize_t i;
        if (value == nullptr) {
            refuse_item_delete();
        } else if (to_index(key, i) && store_item(self, i, value) == 0) {
            return 0;
        }
        fail("__setitem__");
        return -1;
    }

    static constexpr const char pickling_refused[] =
        "Pickling of struct members such as self.data must be explicitly requested with "
        "@auto_pickle(True)";
    using Pickling = PicklingRefusal<Cfg::type_name, pickling_refused>;

    static PyObject *deepcopy(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *memo;
        if (!bind_args("__deepcopy__", args, nargs, kw, {"memo"}, &memo)) {
            return fail("__deepcopy__");
        }
        PyObject *result = obj(copy_entry(cast(self), 1));
        return result ? result : fail("__deepcopy__");
    }

    // ---- swizzles: one getter per name, its component selection fixed at compile time ----

    static constexpr int swizzle_count = ipow(N, N);

    // Letter `pos` (0 = first) of swizzle k, counting with the components as digits.
    static constexpr int swizzle_digit(int k, int pos) {
        for (int j = N - 1; j > pos; --j) {
            k /= N;
        }
        return k % N;
    }

    static constexpr auto make_swizzle_names() {
        std::array<std::array<char, N + 1>, swizzle_count> names{};
        for (int k = 0; k < swizzle_count; ++k) {
            for (int pos = 0; pos < N; ++pos) {
                names[k][pos] = Cfg::component_letters[swizzle_digit(k, pos)][0];
            }
        }
        return names;
    }
    static constexpr auto swizzle_names = make_swizzle_names();

    template <int K> static PyObject *get_swizzle(PyObject *self, void *) {
        const Comps c = load(cast(self));
        Object *result = [&]<size_t... Pos>(std::index_sequence<Pos...>) {
            return make(Comps{c[swizzle_digit(K, Pos)]...});
        }(std::make_index_sequence<N>{});
        if (result == nullptr) {
            std::string member = std::string(swizzle_names[K].data()) + ".__get__";
            return fail(member.c_str());
        }
        return obj(result);
    }

    // The property table: components, swizzles in the class's registration order, length,
    // then the class's own properties.
    static constexpr size_t extra_getset_count = Cfg::extra_getsets.size();
    static constexpr size_t getset_count = N + swizzle_count + 1 + extra_getset_count + 1;

    static constexpr auto make_getsets() {
        std::array<PyGetSetDef, getset_count> g{};
        [&]<size_t... I>(std::index_sequence<I...>) {
            ((g[I] = PyGetSetDef{Cfg::component_letters[I], get_component<I>, set_component<I>, nullptr,
                                 nullptr}),
             ...);
        }(std::make_index_sequence<N>{});
        [&]<size_t... K>(std::index_sequence<K...>) {
            ((g[N + Cfg::swizzle_position(K)] =
                  PyGetSetDef{swizzle_names[K].data(), get_swizzle<K>, nullptr, nullptr, nullptr}),
             ...);
        }(std::make_index_sequence<swizzle_count>{});
        g[N + swizzle_count] = PyGetSetDef{"length", get_length, nullptr, nullptr, nullptr};
        for (size_t e = 0; e < extra_getset_count; ++e) {
            g[N + swizzle_count + 1 + e] = Cfg::extra_getsets[e];
        }
        return g;
    }
    static inline std::array<PyGetSetDef, getset_count> getsets = make_getsets();

    // ---- tables ----

    static constexpr char s_dot[] = "dot", s_distance_to[] = "distance_to",
                          s_distance_squared_to[] = "distance_squared_to", s_to_normalized[] = "to_normalized",
                          s_get_normalized[] = "get_normalized", s_to_round[] = "to_round",
                          s_get_round[] = "get_round", s_to_abs[] = "to_abs", s_get_abs[] = "get_abs",
                          s_to_neg[] = "to_neg", s_get_neg[] = "get_neg", s_get_tuple[] = "get_tuple",
                          s_get_int_tuple[] = "get_int_tuple", s_get_rounded_tuple[] = "get_rounded_tuple",
                          s_copy[] = "copy", s_dunder_copy[] = "__copy__", s_add[] = "__add__",
                          s_sub[] = "__sub__", s_mul[] = "__mul__", s_truediv[] = "__truediv__",
                          s_floordiv[] = "__floordiv__";

    static inline std::vector<PyMethodDef> methods;
    static inline PyMethodDef static_methods[] = {
        {Cfg::from_copy_name, as_method(from_copy), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {"from_tuple", as_method(from_sequence<true>), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {"from_list", as_method(from_sequence<false>), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {"from_ints", as_method(from_ints), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {"from_floats", as_method(from_numbers<true>), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {Cfg::from_components_name, as_method(from_numbers<false>), METH_FASTCALL | METH_KEYWORDS, nullptr},
        {nullptr, nullptr, 0, nullptr},
    };

    static inline PyNumberMethods number_slots = [] {
        PyNumberMethods nb{};
        nb.nb_add = slot<op_add>;
        nb.nb_subtract = slot<op_sub>;
        nb.nb_multiply = slot<op_mul>;
        nb.nb_negative = op_neg;
        nb.nb_inplace_add = op_iadd;
        nb.nb_inplace_subtract = op_isub;
        nb.nb_inplace_multiply = op_imul;
        nb.nb_floor_divide = slot<op_floordiv>;
        nb.nb_true_divide = slot<op_truediv>;
        return nb;
    }();
    static inline PySequenceMethods sequence_slots = [] {
        PySequenceMethods sq{};
        sq.sq_length = length;
        sq.sq_item = sq_item;
        sq.sq_ass_item = sq_ass_item;
        return sq;
    }();
    static inline PyMappingMethods mapping_slots = {length, subscript, ass_subscript};

    static void fill_methods() {
        constexpr int fast = METH_FASTCALL | METH_KEYWORDS;
        methods = {
            {"__add__", as_method(method<op_add, s_add>), fast | METH_COEXIST, nullptr},
            {"__sub__", as_method(method<op_sub, s_sub>), fast | METH_COEXIST, nullptr},
            {"__mul__", as_method(method<op_mul, s_mul>), fast | METH_COEXIST, nullptr},
            {"__truediv__", as_method(method<op_truediv, s_truediv>), fast | METH_COEXIST, nullptr},
            {"__floordiv__", as_method(method<op_floordiv, s_floordiv>), fast | METH_COEXIST, nullptr},
            {"sadd", as_method(sadd), fast, nullptr},
            {"dot", as_method(with_other<dot_entry, s_dot>), fast, nullptr},
            {"distance_to", as_method(with_other<distance_entry, s_distance_to>), fast, nullptr},
            {"distance_squared_to", as_method(with_other<distance_squared_entry, s_distance_squared_to>),
             fast, nullptr},
            {"to_normalized", as_method(no_args<to_entry<normalized>, s_to_normalized>), fast, nullptr},
            {"get_normalized", as_method(no_args<get_entry<normalized>, s_get_normalized>), fast, nullptr},
            {"to_round", as_method(no_args<to_entry<rounded>, s_to_round>), fast, nullptr},
            {"get_round", as_method(no_args<get_entry<rounded>, s_get_round>), fast, nullptr},
            {"to_abs", as_method(no_args<to_entry<absolute>, s_to_abs>), fast, nullptr},
            {"get_abs", as_method(no_args<get_entry<absolute>, s_get_abs>), fast, nullptr},
            {"to_neg", as_method(no_args<to_entry<negated>, s_to_neg>), fast, nullptr},
            {"get_neg", as_method(no_args<get_entry<negated>, s_get_neg>), fast, nullptr},
            {"get_tuple", as_method(no_args<get_tuple_entry, s_get_tuple>), fast, nullptr},
            {"get_int_tuple", as_method(no_args<get_int_tuple_entry, s_get_int_tuple>), fast, nullptr},
            {"get_rounded_tuple", as_method(no_args<get_rounded_tuple_entry, s_get_rounded_tuple>), fast,
             nullptr},
            {"copy", as_method(no_args<copy_entry, s_copy>), fast, nullptr},
            {"__copy__", as_method(no_args<copy_entry, s_dunder_copy>), fast, nullptr},
            {"__deepcopy__", as_method(deepcopy), fast, nullptr},
        };
        for (const PyMethodDef &def : Cfg::extra_methods()) {
            methods.push_back(def);
        }
        methods.push_back({nullptr, nullptr, 0, nullptr});
    }

    // The entries every vector class has; the module adds its own (cfrom_struct, cross…).
    static void fill_table() {
        table.new_ = nary<double>();
        table.cfrom_list = cfrom_sequence;
        table.cfrom_ints = nary_ints(std::make_index_sequence<N>{});
        table.cfrom_floats = nary<float>();
        table.cfrom_tuple = cfrom_sequence;
        table._add = add_impl;
        table._sub = sub_impl;
        table._iadd = iadd_impl;
        table._isub = isub_impl;
        table._imul = imul_impl;
        table._sadd = sadd_impl;
        table.sadd = sadd_entry;
        table.get_tuple = get_tuple_entry;
        table.c_get_tuple = c_get_tuple;
        table.to_round = to_entry<rounded>;
        table.get_round = get_entry<rounded>;
        table.to_abs = to_entry<absolute>;
        table.get_abs = get_entry<absolute>;
        table.to_neg = to_entry<negated>;
        table.get_neg = get_neg;
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

    static void fill_type() {
        type.tp_name = Cfg::type_name;
        type.tp_basicsize = sizeof(Object);
        type.tp_flags = Py_TPFLAGS_DEFAULT;  // not an acceptable base type
        type.tp_new = tp_new;
        type.tp_init = tp_init;
        type.tp_dealloc = dealloc;
        type.tp_repr = repr;
        type.tp_hash = hash;
        type.tp_richcompare = richcompare;
        type.tp_as_number = &number_slots;
        type.tp_as_sequence = &sequence_slots;
        type.tp_as_mapping = &mapping_slots;
        type.tp_methods = methods.data();
        type.tp_getset = getsets.data();
        type.tp_vectorcall = vectorcall;
    }

    static int prepare() {
        for (int i = 0; i < N; ++i) {
            if (component_names[i] == nullptr &&
                (component_names[i] = PyUnicode_InternFromString(Cfg::component_letters[i])) == nullptr) {
                return -1;
            }
        }
        if (foreign_marker == nullptr &&
            (foreign_marker = PyUnicode_InternFromString("clamp_magnitude_ip")) == nullptr) {
            return -1;
        }
        if (methods.empty()) {
            fill_methods();
        }
        fill_table();
        fill_type();
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
        ModuleFrame f = class_frame<Pickling>(Cfg::def_name, Cfg::module_path, &type, Cfg::class_name, &table,
                                              prepare, check_host_type);
        f.builtins = builtins;
        f.static_methods = static_methods;
        return f;
    }
};

}  // namespace velmora
