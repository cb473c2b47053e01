// velmora.vector4.vector4: the Vector4 class, four doubles in velmora's vector4_t record.
#include "vector_family.hpp"

namespace velmora {
namespace {

struct Vector4Cfg {
    using Scalar = double;
    using Record = vector4_t;
    using Object = Vector4Object;
    using Table = Vector4MethodTable;
    static constexpr int N = 4;
    static constexpr double Record::*fields[N] = {&Record::x, &Record::y, &Record::z, &Record::w};
    static constexpr const char *component_letters[N] = {"x", "y", "z", "w"};
    static constexpr const char def_name[] = "vector4";
    static constexpr const char module_path[] = "velmora.vector4.vector4";
    static constexpr const char type_name[] = "velmora.vector4.vector4.Vector4";
    static constexpr const char class_name[] = "Vector4";
    static constexpr const char from_copy_name[] = "from_vector4";
    static constexpr const char from_components_name[] = "from_xyzw";

    static constexpr int swizzle_position(int k) { return k; }

    static constexpr std::array<PyGetSetDef, 0> extra_getsets{};
    static std::vector<PyMethodDef> extra_methods() { return {}; }
    static void fill_own_table(Vector4MethodTable &t);
};

using Family = VectorFamily<Vector4Cfg>;

void Vector4Cfg::fill_own_table(Vector4MethodTable &t) {
    t.cfrom_vector4 = Family::cfrom_vector;
    t.cfrom_xyzw = Family::nary<double>();
}

ModuleFrame frame = Family::make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(vector4, velmora::frame)
