// velmora.vector4.vector4: the Vector4 class, four doubles in velmora's vector4_t record.
#include "vector/family.hpp"

namespace velmora {
namespace {

// Swizzles are registered in counting order.
struct Vector4Config {
    using Object = Vector4Object;
    static constexpr char type_name[] = "velmora.vector4.vector4.Vector4";
    static constexpr double vector4_t::*fields[] = {&vector4_t::x, &vector4_t::y, &vector4_t::z, &vector4_t::w};
    static constexpr char letters[] = "xyzw";
    // The C-level entries of its from_vector4 and from_xyzw.
    static constexpr auto copy_slot = &Vector4MethodTable::cfrom_vector4;
    static constexpr auto components_slot = &Vector4MethodTable::cfrom_xyzw;
};

using Family = VectorFamily<Vector4Config>;

ModuleFrame frame = Family::make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(vector4, velmora::frame)
