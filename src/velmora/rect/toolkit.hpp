// The functions of Rect's game toolkit rows. Rectangle arguments are read as collide_rect reads
// them, each value rounded to float as a field; points, offsets and sizes as `center =` reads
// them. A method computes its whole result before it stores anything, so a failed call changes
// nothing. Part of rect.cpp's translation unit (see fields.hpp).
#pragma once

#include "collisions.hpp"
#include "construction.hpp"
#include "iteration.hpp"
#include "properties.hpp"

#include <cmath>

namespace velmora::rect {

// raylib's GetCollisionRec: the overlap, or a zero rectangle where there is none. Its
// comparisons and 32-bit sums exactly as raylib's own code makes them, NaN included (a NaN
// on other's side empties the result; on this side, other's value is taken).
Rectangle clip(const Rectangle &r, Rectangle o) {
    const float left = r.x > o.x ? r.x : o.x;
    const float r1 = r.x + r.width, r2 = o.x + o.width;
    const float right = r1 < r2 ? r1 : r2;
    const float top = r.y > o.y ? r.y : o.y;
    const float b1 = r.y + r.height, b2 = o.y + o.height;
    const float bottom = b1 < b2 ? b1 : b2;
    if (left < right && top < bottom) {
        return Rectangle{left, top, right - left, bottom - top};
    }
    return Rectangle{0, 0, 0, 0};
}

// pygame-ce's FRect.union, edges as 32-bit sums: the nearer of the two near edges and the
// farther of the far ones (each by one comparison, this rectangle's value first, so a NaN
// there gives way to other's), nothing normalised.
Rectangle union_of(const Rectangle &r, Rectangle o) {
    const float x = r.x < o.x ? r.x : o.x;
    const float y = r.y < o.y ? r.y : o.y;
    const float r1 = r.x + r.width, r2 = o.x + o.width;
    const float b1 = r.y + r.height, b2 = o.y + o.height;
    return Rectangle{x, y, (r1 > r2 ? r1 : r2) - x, (b1 > b2 ? b1 : b2) - y};
}
void union_in_place(Rectangle &r, Rectangle o) { r = union_of(r, o); }

// Edges included: other's near edges at or past this one's, its far edges at or before. A
// zero-size rectangle on an edge lies inside; NaN anywhere makes it false.
bool contains(const Rectangle &r, Rectangle o) {
    return o.x >= r.x && o.y >= r.y && right_of(o) <= right_of(r) && bottom_of(o) <= bottom_of(r);
}

// pygame-ce's FRect.clamp, per axis: centred on bounds where the rectangle is at least as
// large, else moved just inside past whichever edge it crosses; computed in double.
float clamp_axis(float position, float extent, float low, float bounds_extent) {
    if (extent >= bounds_extent) {
        return static_cast<float>(static_cast<double>(low) + (static_cast<double>(bounds_extent) - extent) * 0.5);
    }
    if (position < low) {
        return low;
    }
    const float high = low + bounds_extent;
    if (position + extent > high) {
        return near_edge<At::far>(high, extent);
    }
    return position;
}
Rectangle clamp(const Rectangle &r, Rectangle bounds) {
    return Rectangle{clamp_axis(r.x, r.width, bounds.x, bounds.width),
                     clamp_axis(r.y, r.height, bounds.y, bounds.height), r.width, r.height};
}
void clamp_in_place(Rectangle &r, Rectangle bounds) { r = clamp(r, bounds); }

// raylib's CheckCollisionCircleRec, as raylib 6.0's library computes it, with the centre and
// radius as raylib takes them, 32-bit floats: a NaN fails the first two tests, so a NaN
// anywhere is no collision.
bool collide_circle(const Rectangle &r, Point centre, float radius) {
    const ::Vector2 center{static_cast<float>(centre.x), static_cast<float>(centre.y)};
    const float half_w = r.width * 0.5f, half_h = r.height * 0.5f;
    const float dx = std::fabs(center.x - (r.x + half_w));
    if (!(dx <= half_w + radius)) {
        return false;
    }
    const float dy = std::fabs(center.y - (r.y + half_h));
    if (!(dy <= half_h + radius)) {
        return false;
    }
    if (dx <= half_w || dy <= half_h) {
        return true;
    }
    const float corner = (dx - half_w) * (dx - half_w) + (dy - half_h) * (dy - half_h);
    return corner <= radius * radius;
}

// The items of any iterable that overlap by collide_rect's own rule: the first one's index (or
// -1), or all their indices. An exact Rect runs no code while it is read.
template <bool all> PyObject *collide_list(PyObject *self, PyObject *rects) {
    return matching_indices<all>(
        rects, [&](PyObject *item) { return collide_rect(self, item).value; },
        [](PyObject *item) { return Py_TYPE(item) == &rect_type; });
}

Rectangle copy(const Rectangle &r) { return r; }

// pygame's sprite module (collide_rect, spritecollide, groupcollide…) calls
// sprite.rect.colliderect(other.rect), where other's rect may be pygame's own: collide_rect's
// test, taking besides any other sequence of four numbers (pygame's Rect and FRect are),
// measured and then read by index like a list.
Truth colliderect(PyObject *self, PyObject *other) {
    if (is_list_or_tuple(other) || is_instance(other, &rect_type) || is_instance(other, vector4_type) ||
        !PySequence_Check(other)) {
        return collide_rect(self, other);
    }
    const Py_ssize_t n = PySequence_Size(other);
    double v[4];
    if (n >= 0 && n != 4) {
        PyErr_SetString(PyExc_ValueError, collision_rect_message);
    }
    if (n != 4 || !read_components(other, false, std::array{&v[0], &v[1], &v[2], &v[3]})) {
        return {-1};
    }
    return {overlaps(raw(self), v[0], v[1], v[2], v[3])};
}

// ---- move and inflate: two numbers or one point, positional only ----

// Each field moved or grown in double and rounded once.
Rectangle moved(const Rectangle &r, Point d) {
    return Rectangle{static_cast<float>(r.x + d.x), static_cast<float>(r.y + d.y), r.width, r.height};
}
Rectangle inflated(const Rectangle &r, Point d) {
    return Rectangle{static_cast<float>(r.x - d.x * 0.5), static_cast<float>(r.y - d.y * 0.5),
                     static_cast<float>(r.width + d.x), static_cast<float>(r.height + d.y)};
}

// The binders of move and inflate (a new Rect) and move_ip and inflate_ip (this one changed,
// None returned).
template <Name name, Rectangle (*Change)(const Rectangle &, Point), bool in_place>
PyObject *offset_method(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
    Point offset;
    if (!read_offset(name.c_str(), args, nargs, kw, offset)) {
        return fail::object(name.c_str());
    }
    if constexpr (in_place) {
        raw(self) = Change(raw(self), offset);
        Py_RETURN_NONE;
    }
    PyObject *made = obj(rect_new(Change(raw(self), offset)));
    return made ? made : fail::object(name.c_str());
}

}  // namespace velmora::rect
