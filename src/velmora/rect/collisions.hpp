// Rect's collision tests: the point and overlap tests in double, and the typed tests, which
// compare Python objects with Python's own operators. Part of rect.cpp's translation unit (see
// fields.hpp).
#pragma once

#include "arguments.hpp"
#include "fields.hpp"
#include "kinds.hpp"

namespace velmora::rect {

// The inclusive point test and strict overlap test in double, against 32-bit far edges.
bool point_inside(const Rectangle &r, double px, double py) {
    return px >= r.x && px <= static_cast<double>(right_of(r)) && py >= r.y && py <= static_cast<double>(bottom_of(r));
}
bool overlaps(const Rectangle &r, double ox, double oy, double ow, double oh) {
    return ox + ow > r.x && static_cast<double>(right_of(r)) > ox && oy + oh > r.y &&
           static_cast<double>(bottom_of(r)) > oy;
}
// The same test against another Rect, each of its fields widened when its comparison needs it.
bool overlaps(const Rectangle &r, const Rectangle &o) {
    return static_cast<double>(o.x) + o.width > r.x && static_cast<double>(right_of(r)) > o.x &&
           static_cast<double>(o.y) + o.height > r.y && static_cast<double>(bottom_of(r)) > o.y;
}

// The typed tests' chained comparisons with Python objects, axis by axis:
//     x OP first(axis)   and then   second(axis) OP right,   likewise with y and bottom,
// stopping at the first false one. Each of the rectangle's values is made at the moment its
// comparison needs it: the argument's comparisons and additions run Python code that may
// change the rectangle in between.
template <class First, class Second> Truth chained(PyObject *self, int op, First first, Second second) {
    for (int axis = 0; axis < 2; ++axis) {
        ref low = ref::steal(PyFloat_FromDouble(axis == 0 ? raw(self).x : raw(self).y));
        ref a = low ? first(axis) : ref();
        if (!a) {
            return {-1};
        }
        int t = PyObject_RichCompareBool(low.get(), a.get(), op);
        if (t <= 0) {
            return {t};
        }
        ref b = second(axis, a);
        ref high = b ? ref::steal(PyFloat_FromDouble(axis == 0 ? right_of(raw(self)) : bottom_of(raw(self)))) : ref();
        if (!high) {
            return {-1};
        }
        t = PyObject_RichCompareBool(b.get(), high.get(), op);
        if (t <= 0) {
            return {t};
        }
    }
    return {1};
}

// x <= px <= right, then y <= py <= bottom.
Truth point_python(PyObject *self, PyObject *p, bool vector) {
    return chained(
        self, Py_LE, [&](int axis) { return component(p, vector, axis); },
        [](int, const ref &px) { return ref::borrow(px.get()); });
}

// x < ox + ow, ox < right, y < oy + oh, oy < bottom.
Truth rect_python(PyObject *self, PyObject *o, bool vector) {
    return chained(
        self, Py_LT,
        [&](int axis) {
            ref near = component(o, vector, axis);
            ref extent = near ? component(o, vector, axis + 2) : ref();
            return extent ? ref::steal(PyNumber_Add(near.get(), extent.get())) : ref();
        },
        // ox is read a second time, as the comparison `ox < right` reads it afresh: the item
        // may have changed since.
        [&](int axis, const ref &) { return component(o, vector, axis); });
}

// ---- the collision methods, and their table entries ----

// The common points, an exact Vector2 and a tuple of two, are read here; the rest by the reader.
VELMORA_HOT Truth collide_point(PyObject *self, PyObject *p) {
    double px, py;
    if (Py_TYPE(p) == vector2_type) {
        const ::Vector2 &v = reinterpret_cast<Vector2Object *>(p)->data;
        px = v.x, py = v.y;
    } else if (PyTuple_CheckExact(p) && PyTuple_GET_SIZE(p) == 2) {
        if (!to_double(PyTuple_GET_ITEM(p, 0), px) || !to_double(PyTuple_GET_ITEM(p, 1), py)) {
            return {-1};
        }
    } else if (!read_vector2_or_pair(p, std::array{&px, &py}, "Point must be a Vector2, tuple, or list of length 2")) {
        return {-1};
    }
    return {point_inside(raw(self), px, py)};
}

constexpr char collision_rect_message[] = "rect for collision must be a Rect, Vector4, tuple, or list of length 4";

VELMORA_HOT Truth collide_rect(PyObject *self, PyObject *o) {
    if (Py_TYPE(o) == &rect_type) {
        return {overlaps(raw(self), raw(o))};
    }
    double v[4];
    if (!read_rect(o, std::array{&v[0], &v[1], &v[2], &v[3]}, collision_rect_message)) {
        return {-1};
    }
    return {overlaps(raw(self), v[0], v[1], v[2], v[3])};
}

// The typed tests accept None (or what native callers pass): nothing is read as a rectangle
// unless it is one.
Truth collide_rect_rect(PyObject *self, InstanceOrNone<&rect_class> other) {
    PyObject *o = other.object;
    if (!is_instance(o, &rect_type)) {
        arg_type_error("other", type_name, o);
        return {-1};
    }
    const Rectangle &r = raw(self), &s = raw(o);
    return {s.x + s.width > r.x && right_of(r) > s.x && s.y + s.height > r.y && bottom_of(r) > s.y};
}

// For an exact Vector2 or Vector4, Python's comparisons and additions of the floats its
// attributes give are the tests in double above, read from its record.
Truth collide_point_vector2(PyObject *self, InstanceOrNone<&vector2_type> point) {
    double px, py;
    return read_exact_vector<Vector2Object>(point.object, vector2_type, std::array{&px, &py})
               ? Truth{point_inside(raw(self), px, py)}
               : point_python(self, point.object, true);
}
template <class Sequence> Truth collide_point_sequence(PyObject *self, Sequence point) {
    return point_python(self, point.object, false);
}
Truth collide_rect_vector4(PyObject *self, InstanceOrNone<&vector4_type> other) {
    double v[4];
    return read_exact_vector<Vector4Object>(other.object, vector4_type, std::array{&v[0], &v[1], &v[2], &v[3]})
               ? Truth{overlaps(raw(self), v[0], v[1], v[2], v[3])}
               : rect_python(self, other.object, true);
}
template <class Sequence> Truth collide_rect_sequence(PyObject *self, Sequence other) {
    return rect_python(self, other.object, false);
}

}  // namespace velmora::rect
