// velmora.vector3.vector3: the Vector3 class, three 32-bit floats in raylib's Vector3 layout.
#include "vector_family.hpp"

namespace velmora {
namespace {

struct Vector3Cfg;
using Family = VectorFamily<Vector3Cfg>;

constexpr char s_cross[] = "cross";

struct Vector3Cfg {
    using Scalar = float;
    using Record = ::Vector3;
    using Object = Vector3Object;
    using Table = Vector3MethodTable;
    static constexpr int N = 3;
    static constexpr float Record::*fields[N] = {&Record::x, &Record::y, &Record::z};
    static constexpr const char *component_letters[N] = {"x", "y", "z"};
    static constexpr const char def_name[] = "vector3";
    static constexpr const char module_path[] = "velmora.vector3.vector3";
    static constexpr const char type_name[] = "velmora.vector3.vector3.Vector3";
    static constexpr const char class_name[] = "Vector3";
    static constexpr const char from_copy_name[] = "from_vector3";
    static constexpr const char from_components_name[] = "from_xyz";

    // Counting order, except that xzy (7) is registered before xzx (6).
    static constexpr int swizzle_position(int k) { return k == 6 ? 7 : k == 7 ? 6 : k; }

    static constexpr std::array<PyGetSetDef, 0> extra_getsets{};
    static std::vector<PyMethodDef> extra_methods();
    static void fill_own_table(Vector3MethodTable &t);
};

// self × other, in float.
Vector3Object *cross(Vector3Object *self, Vector3Object *other, int) {
    const ::Vector3 a = self->data, b = other->data;
    return Family::make({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
}

std::vector<PyMethodDef> Vector3Cfg::extra_methods() {
    return {{s_cross, as_method(Family::with_other<cross, s_cross>), METH_FASTCALL | METH_KEYWORDS,
             nullptr}};
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
