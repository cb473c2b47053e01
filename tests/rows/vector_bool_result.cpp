// A vector method whose function returns bool: the vector binding gives Python no bool, so the
// row must not compile (it once handed Python the pointer 0x1).
#include "vector/family.hpp"

namespace velmora {
namespace {

#ifdef VELMORA_TRAP
bool is_zero(const kernels::Comps<float, 2> &c) { return c[0] == 0 && c[1] == 0; }
#else
kernels::Comps<float, 2> same(const kernels::Comps<float, 2> &c) { return c; }
#endif

struct Config {
    using Object = Vector2Object;
    static constexpr char type_name[] = "trap.Vector2";
    static constexpr float ::Vector2::*fields[] = {&::Vector2::x, &::Vector2::y};
    static constexpr char letters[] = "xy";
    static constexpr auto copy_slot = &Vector2MethodTable::cfrom_vector2;
    static constexpr auto components_slot = &Vector2MethodTable::cfrom_xy;
#ifdef VELMORA_TRAP
    using Own = Members<Method<"is_zero", "(self) -> bool", is_zero, "Whether both components are zero.">>;
#else
    using Own = Members<Method<"same", "(self) -> Self", same, "This vector again.">>;
#endif
};

ModuleFrame frame = VectorFamily<Config>::make_frame();

}  // namespace
}  // namespace velmora
