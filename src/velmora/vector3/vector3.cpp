// velmora.vector3.vector3: the Vector3 class, three 32-bit floats in raylib's Vector3 layout.
#include "vector/family.hpp"

namespace velmora {
namespace {

Vector3Object *cross(Vector3Object *self, Vector3Object *other, int);

struct Vector3Cfg {
    using Object = Vector3Object;
    static constexpr char type_name[] = "velmora.vector3.vector3.Vector3";
    static constexpr float ::Vector3::*fields[] = {&::Vector3::x, &::Vector3::y, &::Vector3::z};
    static constexpr char letters[] = "xyz";
    static void fill_own_table(Vector3MethodTable &t);

    // Counting order, except that xzy (7) is registered before xzx (6).
    static constexpr int swizzle_position(int k) { return k == 6 ? 7 : k == 7 ? 6 : k; }
    template <class F>
    static constexpr std::array extra_methods = {
        method<"cross", F::template WithOther, cross>("The cross product self × other, in 32-bit float."),
    };
};

using Family = VectorFamily<Vector3Cfg>;

Vector3Object *cross(Vector3Object *self, Vector3Object *other, int) {
    return Family::make(kernels::cross(Family::load(self), Family::load(other)));
}

void Vector3Cfg::fill_own_table(Vector3MethodTable &t) {
    t.cfrom_vector3 = Family::cfrom_vector;
    t.cfrom_xyz = Family::nary<double>();
    t.cross = cross;
}

ModuleFrame frame = Family::make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(vector3, velmora::frame)
