// The rect module's record and shared state: Rect's instance record and its fields in index
// order, its C-level table and free list, and the classes it imports from the vector modules.
//
// The module is one translation unit, rect.cpp, made of this folder's headers in order:
// fields.hpp, arguments.hpp, construction.hpp, properties.hpp, collisions.hpp, toolkit.hpp and
// conversions.hpp (the binding); rect.cpp itself holds the rows, the type and the module.
#pragma once

#include "errors.hpp"
#include "lifecycle.hpp"
#include "record.hpp"

#include <array>

namespace velmora::rect {

constexpr char type_name[] = "velmora.rect.rect.Rect";
using fail = Fail<type_name>;

extern PyTypeObject rect_type;
PyTypeObject *rect_class = &rect_type;  // for the typed arguments that name the class by pointer
RectMethodTable table{};
FreeList<RectObject, 1000> freelist;  // exact Rects only, never a subclass's instances

// Imported at initialisation and kept for the life of the process.
PyTypeObject *vector2_type = nullptr;
Vector2MethodTable *vector2_table = nullptr;
PyTypeObject *vector4_type = nullptr;
Vector4MethodTable *vector4_table = nullptr;

RectObject *cast(PyObject *o) { return reinterpret_cast<RectObject *>(o); }
PyObject *obj(void *o) { return reinterpret_cast<PyObject *>(o); }
Rectangle &raw(PyObject *o) { return cast(o)->_raw; }

float right_of(const Rectangle &r) { return r.x + r.width; }
float bottom_of(const Rectangle &r) { return r.y + r.height; }

std::array<double, 4> fields_of(const Rectangle &r) { return {r.x, r.y, r.width, r.height}; }

// The record as a sequence: index order x, y, width, height.
struct Traits {
    using Scalar = float;
    static constexpr int N = 4;
    static constexpr const char *owner = type_name;
    static constexpr const char *index_error = "Rect index out of range";
    static float &field(PyObject *self, Py_ssize_t i) {
        static constexpr float Rectangle::*fields[N] = {&Rectangle::x, &Rectangle::y, &Rectangle::width,
                                                        &Rectangle::height};
        return raw(self).*fields[i];
    }
};
using Items = RecordProtocol<Traits>;

}  // namespace velmora::rect
