// velmora.vector2.vector2: the Vector2 class, two 32-bit floats in raylib's Vector2 layout.
#include "vector/family.hpp"

namespace velmora {
namespace {

PyObject *get_data(Vector2Object *self);
bool set_data(Vector2Object *self, PyObject *value);

Vector2Object *cfrom_struct(::Vector2 record);

struct Vector2Config {
    using Object = Vector2Object;
    static constexpr char type_name[] = "velmora.vector2.vector2.Vector2";
    static constexpr float ::Vector2::*fields[] = {&::Vector2::x, &::Vector2::y};
    static constexpr char letters[] = "xy";
    // The C-level entries of its from_vector2 and from_xy.
    static constexpr auto copy_slot = &Vector2MethodTable::cfrom_vector2;
    static constexpr auto components_slot = &Vector2MethodTable::cfrom_xy;

    // Registered as xx, yy, xy, yx.
    static constexpr int swizzle_position(int k) {
        constexpr int position[] = {0, 2, 3, 1};
        return position[k];
    }

    using Table = Vector2MethodTable;
    // clang-format off
    using Own = Members<
        TableEntry<&Table::cfrom_struct, cfrom_struct>,
        Attribute<"data", "dict[str, float]", "Mapping[str, Real]", get_data, set_data, "The record as a dict {'x': x, 'y': y}; set from any mapping with both keys.">,
        Method<"angle_to", "(self, other: Self) -> float", kernels::angle<float, 2>, "The signed angle in radians from this vector to other, atan2(det, dot): positive counter-clockwise with y up, clockwise on a y-down screen (raymath's Vector2Angle).">,
        Method<"rotate", "(self, angle: Real) -> Self", kernels::rotate<float>, "This vector rotated by angle radians: counter-clockwise with y up, clockwise on a y-down screen (raymath's Vector2Rotate).">>;
    // clang-format on
};

using Family = VectorFamily<Vector2Config>;

Vector2Object *cfrom_struct(::Vector2 record) { return Family::make({record.x, record.y}); }

// ---- data: the record as a dict {'x': …, 'y': …} ----

PyObject *get_data(Vector2Object *self) {
    const ::Vector2 d = self->data;
    ref x = ref::steal(PyFloat_FromDouble(d.x));
    ref y = ref::steal(PyFloat_FromDouble(d.y));
    ref result = ref::steal(PyDict_New());
    if (!x || !y || !result || PyDict_SetItem(result.get(), component_names[0], x.get()) < 0 ||
        PyDict_SetItem(result.get(), component_names[1], y.get()) < 0) {
        return nullptr;
    }
    return result.release();
}

// The value under `key`, or ValueError naming the key when the mapping has none.
ref look_up(PyObject *mapping, PyObject *key) {
    bool plain_dict = PyDict_CheckExact(mapping);
#if PY_VERSION_HEX >= 0x030F0000
    plain_dict = plain_dict || PyFrozenDict_CheckExact(mapping);
#endif
    ref value;
    if (plain_dict) {
        value = ref::borrow(PyDict_GetItemWithError(mapping, key));
        if (!value && !PyErr_Occurred()) {
            PyErr_SetObject(PyExc_KeyError, key);
        }
    } else {
        value = ref::steal(PyObject_GetItem(mapping, key));
    }
    if (!value && PyErr_ExceptionMatches(PyExc_KeyError)) {
        PyErr_Clear();
        PyErr_Format(PyExc_ValueError, "No value specified for struct attribute %R", key);
    }
    return value;
}

// Both components are replaced together, and only when both converted.
bool set_data(Vector2Object *self, PyObject *value) {
    if (!PyMapping_Check(value)) {
        PyErr_Format(PyExc_TypeError, "Expected %.42s, got %.200s", "a mapping", Py_TYPE(value)->tp_name);
        return false;
    }
    ref x = look_up(value, component_names[0]);
    ref y = x ? look_up(value, component_names[1]) : ref();
    float fx, fy;
    if (y && to_scalar(x.get(), fx) && to_scalar(y.get(), fy)) {
        self->data = ::Vector2{fx, fy};
        return true;
    }
    return false;
}

ModuleFrame frame = Family::make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(vector2, velmora::frame)
