// velmora.vector4.vector4: the Vector4 class, four doubles in velmora's vector4_t record.
#include "vector/family.hpp"

namespace velmora {
namespace {

// Swizzles are registered in counting order.
struct Vector4Cfg {
    using Object = Vector4Object;
    static constexpr char type_name[] = "velmora.vector4.vector4.Vector4";
    static constexpr double vector4_t::*fields[] = {&vector4_t::x, &vector4_t::y, &vector4_t::z, &vector4_t::w};
    static constexpr char letters[] = "xyzw";
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
