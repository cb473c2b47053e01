// The functions of Rect's property rows: the fields, the edges and centres that move the
// rectangle when set, the points of the rectangle as Vector2s (center, topleft, midbottom…) and
// its size; and the width and height of get_width and get_height. Part of rect.cpp's
// translation unit (see fields.hpp).
//
// Precision is part of each property's contract: far edges (right, bottom) are 32-bit float
// sums; centres are one double rounding.
#pragma once

#include "arguments.hpp"
#include "fields.hpp"

namespace velmora::rect {

// ---- fields: get widens, set converts ----

template <float Rectangle::*Field> double field(const Rectangle &r) { return r.*Field; }
template <float Rectangle::*Field> void set_field(Rectangle &r, float value) { r.*Field = value; }

double width_of(const Rectangle &r) { return r.width; }
double height_of(const Rectangle &r) { return r.height; }

// Where a point of the rectangle lies along one axis, as the getters compute it: at the near
// edge (x), the centre (x + width × 0.5 in double: width × 0.5 is exact, so the sum rounds
// once), or the far edge (x + width, a 32-bit sum).
enum class At { near, centre, far };
template <At at> double coordinate(float near, float extent) {
    if constexpr (at == At::near) {
        return near;
    } else if constexpr (at == At::centre) {
        return static_cast<double>(near) + static_cast<double>(extent) * 0.5;
    } else {
        return static_cast<float>(near + extent);
    }
}
// The near edge that puts that point on `value`: value − offset in double, rounded once to
// float (the offset, extent or extent × 0.5, is exact in double).
template <At at> float near_edge(double value, float extent) {
    if constexpr (at == At::near) {
        return static_cast<float>(value);
    } else if constexpr (at == At::centre) {
        return static_cast<float>(value - static_cast<double>(extent) * 0.5);
    } else {
        return static_cast<float>(value - static_cast<double>(extent));
    }
}

// ---- edges and centres: right, bottom, centerx, centery ----

template <At at, float Rectangle::*Pos, float Rectangle::*Extent> double edge(const Rectangle &r) {
    return coordinate<at>(r.*Pos, r.*Extent);
}
// Setting one moves the rectangle: position = value - offset, with Python's own subtraction,
// so any object that subtracts a float is accepted.
template <At at, float Rectangle::*Pos, float Rectangle::*Extent> bool move_edge(PyObject *self, PyObject *value) {
    const double extent = static_cast<double>(raw(self).*Extent);
    ref offset = ref::steal(PyFloat_FromDouble(at == At::centre ? extent * 0.5 : extent));
    ref position = offset ? ref::steal(PyNumber_Subtract(value, offset.get())) : ref();
    float stored;
    if (!position || !to_scalar(position.get(), stored)) {
        return false;
    }
    raw(self).*Pos = stored;
    return true;
}

// ---- points of the rectangle: center, topleft, midbottom… ----

template <At horizontal, At vertical> Point anchor(const Rectangle &r) {
    return {coordinate<horizontal>(r.x, r.width), coordinate<vertical>(r.y, r.height)};
}
// Setting one moves the rectangle so that the point lands on the value (read first: a Vector2
// or any indexable pair), the size unchanged; both coordinates are stored together.
template <At horizontal, At vertical> void move_anchor(Rectangle &r, Point p) {
    const float x = near_edge<horizontal>(p.x, r.width);
    const float y = near_edge<vertical>(p.y, r.height);
    r.x = x;
    r.y = y;
}

Point size_of(const Rectangle &r) { return {r.width, r.height}; }
void set_size(Rectangle &r, Point size) {
    r.width = static_cast<float>(size.x);
    r.height = static_cast<float>(size.y);
}

}  // namespace velmora::rect
