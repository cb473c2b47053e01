// velmora.vector3.vector3: the Vector3 class, three 32-bit floats in raylib's Vector3 layout.
#include "vector/family.hpp"

namespace velmora {
namespace {

struct Vector3Config {
    using Object = Vector3Object;
    static constexpr char type_name[] = "velmora.vector3.vector3.Vector3";
    static constexpr float ::Vector3::*fields[] = {&::Vector3::x, &::Vector3::y, &::Vector3::z};
    static constexpr char letters[] = "xyz";
    // The C-level entries of its from_vector3 and from_xyz.
    static constexpr auto copy_slot = &Vector3MethodTable::cfrom_vector3;
    static constexpr auto components_slot = &Vector3MethodTable::cfrom_xyz;

    // Counting order, except that xzy (7) is registered before xzx (6).
    static constexpr int swizzle_position(int k) { return k == 6 ? 7 : k == 7 ? 6 : k; }

    using Table = Vector3MethodTable;
    // clang-format off
    using Own = Members<
        Entry<"cross", "(self, other: Self) -> Self", kernels::cross<float>, &Table::cross, "The cross product self × other, in 32-bit float.">,
        Method<"angle_to", "(self, other: Self) -> float", kernels::angle<float, 3>, "The angle in radians between this vector and other, from 0 to pi, atan2(|self × other|, self · other) (raymath's Vector3Angle).">,
        Method<"rotate_around", "(self, axis: Self, angle: Real) -> Self", kernels::rotate_around<float>, "This vector rotated by angle radians about axis (any length; a zero axis counts as length 1), by the Euler-Rodrigues formula (raymath's Vector3RotateByAxisAngle).">,
        Method<"project", "(self, onto: Self) -> Self", kernels::project<float>, "The projection of this vector on onto: onto × (self · onto) / (onto · onto) (raymath's Vector3Project).">,
        Method<"reject", "(self, onto: Self) -> Self", kernels::reject<float>, "What is left of this vector after its projection onto onto (raymath's Vector3Reject).">>;
    // clang-format on
};

using Family = VectorFamily<Vector3Config>;

ModuleFrame frame = Family::make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(vector3, velmora::frame)
