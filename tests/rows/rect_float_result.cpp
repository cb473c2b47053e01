// A Rect method whose function returns float: Rect's binding gives Python floats from doubles
// only, so the row must not compile (it once became True or False).
#include "conversions.hpp"
#include "rows.hpp"

namespace velmora::rect {

#ifdef VELMORA_TRAP
float area(const Rectangle &r) { return r.width * r.height; }
#else
double area(const Rectangle &r) { return static_cast<double>(r.width) * r.height; }
#endif

using Rows = Members<Method<"area", "(self) -> float", area, "The area.">>::In<RectBinding>;
const auto &methods = Rows::methods;

}  // namespace velmora::rect
