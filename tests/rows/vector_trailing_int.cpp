// A vector method whose function ends with an int parameter: the binding reads no plain int
// (whole numbers come as Int32, through int()), and the skip-dispatch flag is never guessed
// from a trailing int, so the row must not compile (it once set that argument to 1).
#include "vector/family.hpp"

namespace velmora {
namespace {

using Comps = kernels::Comps<float, 2>;
#ifdef VELMORA_TRAP
Comps scaled(const Comps &c, int k) { return {c[0] * static_cast<float>(k), c[1] * static_cast<float>(k)}; }
#else
Comps scaled(const Comps &c, Int32 k) {
    return {c[0] * static_cast<float>(k.value), c[1] * static_cast<float>(k.value)};
}
#endif

struct Config {
    using Object = Vector2Object;
    static constexpr char type_name[] = "trap.Vector2";
    static constexpr float ::Vector2::*fields[] = {&::Vector2::x, &::Vector2::y};
    static constexpr char letters[] = "xy";
    static constexpr auto copy_slot = &Vector2MethodTable::cfrom_vector2;
    static constexpr auto components_slot = &Vector2MethodTable::cfrom_xy;
    using Own = Members<Method<"scaled", "(self, k: int) -> Self", scaled, "This vector times k.">>;
};

ModuleFrame frame = VectorFamily<Config>::make_frame();

}  // namespace
}  // namespace velmora
