// Conversions: how values cross between Python, the C-level table and the functions of Rect's
// rows (the binding, ../common/binding.hpp), and Rect's own conversions and protocols:
// get_vector4, get_tuple, repr and equality. Part of rect.cpp's translation unit (see
// fields.hpp).
#pragma once

#include "binding.hpp"
#include "toolkit.hpp"

#include <type_traits>

namespace velmora::rect {

// ---- the binding of Rect's rows ----
//
// Parameters: a rectangle argument (Rectangle, as collide_rect reads it), a point, offset or
// size (Point, as `center =` reads it), a number (float or double), a typed argument of a
// collision method (InstanceOrNone, ExactlyOrNone), or any object. The receiver is the Rect
// (PyObject *) or its record. Results: a new Rect (Rectangle), a Vector2 (Point), a truth value
// (bool, or Truth when it can fail), a float (double), or an object the function made.

constexpr char rect_argument_message[] = "Argument must be a Rect, Vector4, tuple, or list of length 4";

struct RectBinding {
    static constexpr const char *owner = type_name;
    static constexpr bool subclassable = true;

    template <Name row, class P> VELMORA_HOT static bool read(PyObject *o, const char *param, P &out) {
        if constexpr (std::is_same_v<P, Rectangle>) {
            if (Py_TYPE(o) == &rect_type) {
                out = raw(o);
                return true;
            }
            return read_rect(o, std::array{&out.x, &out.y, &out.width, &out.height}, rect_argument_message);
        } else if constexpr (std::is_same_v<P, Point>) {
            return read_point(o, out.x, out.y);
        } else if constexpr (std::is_same_v<P, float> || std::is_same_v<P, double>) {
            return to_scalar(o, out);
        } else if constexpr (is_typed_or_none<P>) {
            PyTypeObject *want = P::type();
            if (o != Py_None && (P::exact ? Py_TYPE(o) != want : !is_instance(o, want))) {
                arg_type_error(param, want->tp_name, o);
                return false;
            }
            out.object = o;
            return true;
        } else if constexpr (std::is_same_v<P, PyObject *>) {
            out = o;
            return true;
        } else {
            static_assert(unsupported_parameter<row, P>,
                          "the Rect binding reads a rectangle, a point, a number, a typed argument or any object");
            return false;
        }
    }

    template <Name row, class P> VELMORA_HOT static decltype(auto) receiver(PyObject *self) {
        if constexpr (std::is_same_v<P, PyObject *>) {
            return self;
        } else if constexpr (std::is_same_v<std::decay_t<P>, Rectangle> && std::is_reference_v<P>) {
            return (raw(self));
        } else {
            static_assert(unsupported_receiver<row, P>,
                          "a Rect row's function takes the Rect as PyObject * or its record by reference");
        }
    }

    template <Name row, class R> VELMORA_HOT static PyObject *to_python(const R &r) {
        if constexpr (std::is_same_v<R, Rectangle>) {
            return obj(rect_new(r));
        } else if constexpr (std::is_same_v<R, Point>) {
            return obj(vector2_table->new_(r.x, r.y));
        } else if constexpr (std::is_same_v<R, bool>) {
            return Py_NewRef(r ? Py_True : Py_False);
        } else if constexpr (std::is_same_v<R, Truth>) {
            return r.value < 0 ? nullptr : Py_NewRef(r.value ? Py_True : Py_False);
        } else if constexpr (std::is_same_v<R, double>) {
            return PyFloat_FromDouble(r);
        } else if constexpr (std::is_same_v<R, PyObject *> || std::is_same_v<R, Vector4Object *>) {
            return obj(r);
        } else {
            static_assert(unsupported_result<row, R>,
                          "a Rect row's function returns a Rectangle, a Point, bool, Truth, double or a new object");
            return nullptr;
        }
    }

    // The table passes objects, which the caller vouches for: the receiver as a RectObject *, the
    // typed arguments as the classes' records.
    template <Name row, class P, class C> VELMORA_HOT static decltype(auto) from_c(C c) {
        static_assert(std::is_pointer_v<C>, "Rect's entries take objects");
        if constexpr (std::is_same_v<P, PyObject *>) {
            return obj(c);
        } else if constexpr (is_typed_or_none<P>) {
            return P{obj(c)};
        } else if constexpr (std::is_same_v<std::decay_t<P>, Rectangle> && std::is_reference_v<P>) {
            return (raw(obj(c)));
        } else {
            static_assert(unsupported_entry_type<row, P>, "a Rect entry's function takes objects or the Rect's record");
        }
    }
    // An entry's result; a failure is traced under the operation's name, and a truth value that
    // failed is 0 with the exception set.
    template <Name row, class R, class F> VELMORA_HOT static R to_c(const F &r) {
        if constexpr (std::is_same_v<R, int> && std::is_same_v<F, Truth>) {
            if (r.value < 0) {
                fail::object(row.c_str());
                return 0;
            }
            return r.value;
        } else if constexpr (std::is_same_v<R, int> && std::is_same_v<F, bool>) {
            return r;
        } else if constexpr (std::is_pointer_v<R> && (std::is_same_v<F, double> || std::is_pointer_v<F>)) {
            PyObject *made;
            if constexpr (std::is_same_v<F, double>) {
                made = PyFloat_FromDouble(r);
            } else {
                made = obj(r);
            }
            return made ? reinterpret_cast<R>(made) : fail::object(row.c_str());
        } else {
            static_assert(unsupported_entry_type<row, F>,
                          "the row's function result does not convert to its table slot's result");
            return R{};
        }
    }
    // An override's result: its truth value, or the object itself when it passes `check`.
    template <Name row, class R, auto check> static R from_override(ref &&result) {
        if constexpr (std::is_same_v<R, int>) {
            const int truth = result ? PyObject_IsTrue(result.get()) : -1;
            if (truth < 0) {
                fail::object(row.c_str());
                return 0;
            }
            return truth;
        } else {
            if constexpr (check != nullptr) {
                if (result && !check(result.get())) {
                    result = ref();
                }
            }
            return result ? result.release_as<std::remove_pointer_t<R>>() : fail::object(row.c_str());
        }
    }
};

// ---- conversions and protocols ----

Vector4Object *vector4_of(const Rectangle &r) { return vector4_table->new_(r.x, r.y, r.width, r.height); }
PyObject *as_tuple(const Rectangle &r) { return float_tuple(fields_of(r)); }

// An override of get_vector4 must give a Vector4 (or None), one of get_tuple a tuple.
bool vector4_or_none(PyObject *o) {
    if (o == Py_None || is_instance(o, vector4_type)) {
        return true;
    }
    PyErr_Format(PyExc_TypeError, "%.1sCannot convert %.200s to %.200s", "", Py_TYPE(o)->tp_name,
                 vector4_type->tp_name);
    return false;
}
bool tuple_or_none(PyObject *o) {
    if (o == Py_None || PyTuple_CheckExact(o)) {
        return true;
    }
    PyErr_Format(PyExc_TypeError, "Expected %.42s, got %.200s", "tuple", Py_TYPE(o)->tp_name);
    return false;
}

PyObject *repr(PyObject *self) {
    static constexpr const char *pieces[] = {"Rect(position=(", ", ", "), size=(", ", ", "))"};
    PyObject *text = record_repr(pieces, fields_of(raw(self)));
    return text ? text : fail::object("__repr__");
}

PyObject *richcompare(PyObject *self, PyObject *other, int op) {
    if (op != Py_EQ && op != Py_NE) {
        Py_RETURN_NOTIMPLEMENTED;
    }
    bool equal = is_instance(other, &rect_type);
    if (equal) {
        const Rectangle &a = raw(self), &b = raw(other);
        equal = a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    return PyBool_FromLong(equal == (op == Py_EQ));
}

}  // namespace velmora::rect
