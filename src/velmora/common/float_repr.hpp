// Python's repr of a float, without the interpreter: the shortest digits that read back as
// the same double, laid out as float.__repr__ lays them out.
#pragma once

#include <cstddef>

namespace velmora {

// Longest text float_repr writes: a sign, 17 digits, a point, "e-308".
constexpr size_t float_repr_max = 32;

// Writes repr(value) to `out` (float_repr_max bytes at least, not terminated) and returns
// its length: "1.0", "-0.0", "0.0001", "1e-05", "1e+16", "1.5e+16", "inf", "-inf", "nan".
// 0 with MemoryError set in the rare case that needs the interpreter and it has no memory.
size_t float_repr(double value, char *out);

}  // namespace velmora
