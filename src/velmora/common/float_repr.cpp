// The shortest digits of a double by Grisu3 (Florian Loitsch, "Printing Floating-Point
// Numbers Quickly and Accurately with Integers", PLDI 2010), in 64-bit integer arithmetic:
// it yields the shortest digit string that reads back as the same double, and the closest to
// the double among those, or it says that it cannot be sure. For the few doubles it cannot
// decide (about half a percent), the interpreter's own exact conversion answers. Either way
// the text is float.__repr__'s, laid out as Python lays it out.
#include "float_repr.hpp"

#include "velmora.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace velmora {

namespace {

// A floating-point number f × 2^e with a 64-bit significand and no hidden bit.
struct DiyFp {
    uint64_t f;
    int e;
};

// The high 64 bits of x × y, plus one when the low 64 bits are half of 2^64 or more, from
// 32-bit halves: the low product's bit 63 is bit 31 of the middle sum, so adding 2^31 there
// carries the rounding into the high word.
constexpr uint64_t high_rounded_halves(uint64_t x, uint64_t y) {
    constexpr uint64_t low32 = 0xffffffff;
    const uint64_t a = x >> 32, b = x & low32, c = y >> 32, d = y & low32;
    const uint64_t ad = a * d, bc = b * c;
    const uint64_t middle = ((b * d) >> 32) + (ad & low32) + (bc & low32) + (uint64_t{1} << 31);
    return a * c + (ad >> 32) + (bc >> 32) + (middle >> 32);
}

#ifdef __SIZEOF_INT128__
// GCC and clang on 64-bit targets have a 128-bit integer: one multiply instruction, where the
// halves cost a tenth of a repr more.
__extension__ typedef unsigned __int128 uint128;

constexpr uint64_t high_rounded(uint64_t x, uint64_t y) {
    const uint128 p = static_cast<uint128>(x) * y;
    return static_cast<uint64_t>(p >> 64) + ((static_cast<uint64_t>(p) >> 63) & 1);
}

// The halves, which the other compilers use, checked against it at every such build: on the
// carry and rounding edges and on pseudo-random products, some with all-ones halves.
constexpr bool halves_agree() {
    constexpr uint64_t ones = ~uint64_t{0}, top = uint64_t{1} << 63;
    constexpr uint64_t edges[][2] = {
        {ones, ones}, {top, 1},  {top, 3}, {top - 1, 1}, {0xffffffff, 0xffffffff}, {0x100000001, 0x80000000},
        {ones, 1},    {ones, 2}, {0, ones}};
    for (const auto &e : edges) {
        if (high_rounded(e[0], e[1]) != high_rounded_halves(e[0], e[1])) {
            return false;
        }
    }
    uint64_t s = 0x9e3779b97f4a7c15;
    for (int i = 0; i < 3000; ++i) {
        s = s * 6364136223846793005 + 1442695040888963407;
        const uint64_t x = s ^ (s >> 29);
        s = s * 6364136223846793005 + 1442695040888963407;
        const uint64_t y = (s ^ (s >> 29)) | (i % 3 == 0 ? 0xffffffff : 0) | (i % 5 == 0 ? ones << 32 : 0);
        if (high_rounded(x, y) != high_rounded_halves(x, y)) {
            return false;
        }
    }
    return true;
}
static_assert(halves_agree(), "the portable product differs from the 128-bit one");
#else
constexpr uint64_t high_rounded(uint64_t x, uint64_t y) { return high_rounded_halves(x, y); }
#endif

// x × y with the low 64 bits of the product rounded into the high ones (half up).
DiyFp times(DiyFp x, DiyFp y) { return {high_rounded(x.f, y.f), x.e + y.e + 64}; }

// x.f is never zero here.
DiyFp normalized(DiyFp x) {
    const int shift = std::countl_zero(x.f);
    return {x.f << shift, x.e - shift};
}

struct CachedPower {
    uint64_t significand;
    int16_t binary_exponent;
    int16_t decimal_exponent;
};

constexpr CachedPower cached_powers[] = {
#include "powers_of_ten.inc"
};
constexpr int first_cached_decimal = -348;
constexpr int cached_step = 8;

// The cached power c = 10^-k whose product with a significand of exponent e lands in the
// binary exponent range [-60, -32], where digit generation works in 64 bits.
CachedPower cached_power_for(int e) {
    constexpr int alpha = -60;
    const int min_exponent = alpha - (e + 64);
    // ceil((min_exponent + 63) × log10(2)), the smallest decimal exponent that can serve.
    const int k = static_cast<int>(std::ceil((min_exponent + 63) * 0.30102999566398114));
    const int index = (-first_cached_decimal + k - 1) / cached_step + 1;
    return cached_powers[index];
}

int biggest_power_of_ten(uint32_t n, uint32_t &power) {
    static constexpr uint32_t powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
    int digits = 10;
    while (digits > 1 && n < powers[digits - 1]) {
        --digits;
    }
    power = powers[digits - 1];
    return digits;
}

// Moves the last digit toward w while the result stays within the safe interval, and tells
// whether the outcome is certainly the closest shortest representation.
bool round_weed(char *buffer, int length, uint64_t distance_too_high_w, uint64_t unsafe_interval, uint64_t rest,
                uint64_t ten_kappa, uint64_t unit) {
    const uint64_t small_distance = distance_too_high_w - unit;
    const uint64_t big_distance = distance_too_high_w + unit;
    while (rest < small_distance && unsafe_interval - rest >= ten_kappa &&
           (rest + ten_kappa < small_distance || small_distance - rest >= rest + ten_kappa - small_distance)) {
        buffer[length - 1]--;
        rest += ten_kappa;
    }
    if (rest < big_distance && unsafe_interval - rest >= ten_kappa &&
        (rest + ten_kappa < big_distance || big_distance - rest > rest + ten_kappa - big_distance)) {
        return false;
    }
    return 2 * unit <= rest && rest <= unsafe_interval - 4 * unit;
}

// The digits of the shortest number within (low, high), scaled so that their exponent is
// in [-60, -32]; kappa receives the decimal exponent of the last digit.
bool digit_gen(DiyFp low, DiyFp w, DiyFp high, char *buffer, int &length, int &kappa) {
    uint64_t unit = 1;
    const DiyFp too_low{low.f - unit, low.e};
    const DiyFp too_high{high.f + unit, high.e};
    uint64_t unsafe_interval = too_high.f - too_low.f;
    const int shift = -w.e;
    const uint64_t one = uint64_t{1} << shift;
    uint32_t integrals = static_cast<uint32_t>(too_high.f >> shift);
    uint64_t fractionals = too_high.f & (one - 1);
    uint32_t divisor;
    kappa = biggest_power_of_ten(integrals, divisor);
    length = 0;
    while (kappa > 0) {
        buffer[length++] = static_cast<char>('0' + integrals / divisor);
        integrals %= divisor;
        --kappa;
        const uint64_t rest = (static_cast<uint64_t>(integrals) << shift) + fractionals;
        if (rest < unsafe_interval) {
            return round_weed(buffer, length, too_high.f - w.f, unsafe_interval, rest,
                              static_cast<uint64_t>(divisor) << shift, unit);
        }
        divisor /= 10;
    }
    for (;;) {
        fractionals *= 10;
        unit *= 10;
        unsafe_interval *= 10;
        buffer[length++] = static_cast<char>('0' + (fractionals >> shift));
        fractionals &= one - 1;
        --kappa;
        if (fractionals < unsafe_interval) {
            return round_weed(buffer, length, (too_high.f - w.f) * unit, unsafe_interval, fractionals, one, unit);
        }
    }
}

// The shortest digits of a finite v > 0 and the position of the decimal point
// (v = 0.digits × 10^point); false when Grisu3 cannot be sure of them.
bool grisu3(double v, char *digits, int &count, int &point) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    constexpr uint64_t hidden = uint64_t{1} << 52;
    const uint64_t fraction = bits & (hidden - 1);
    const int biased = static_cast<int>(bits >> 52);
    const DiyFp value = biased == 0 ? DiyFp{fraction, 1 - 1075} : DiyFp{fraction | hidden, biased - 1075};
    // The boundaries halfway to the neighbouring doubles; the lower one is closer when v is a
    // power of two above the smallest normal exponent.
    const DiyFp plus = normalized({(value.f << 1) + 1, value.e - 1});
    DiyFp minus =
        fraction == 0 && biased > 1 ? DiyFp{(value.f << 2) - 1, value.e - 2} : DiyFp{(value.f << 1) - 1, value.e - 1};
    minus = {minus.f << (minus.e - plus.e), plus.e};
    const DiyFp w = normalized(value);
    const CachedPower c = cached_power_for(w.e);
    const DiyFp ten_mk{c.significand, c.binary_exponent};
    int kappa;
    const bool sure = digit_gen(times(minus, ten_mk), times(w, ten_mk), times(plus, ten_mk), digits, count, kappa);
    point = count + kappa - c.decimal_exponent;
    return sure;
}

char *put(char *out, const char *text, size_t n) {
    std::memcpy(out, text, n);
    return out + n;
}

char *zeros(char *out, int n) {
    for (; n > 0; --n) {
        *out++ = '0';
    }
    return out;
}

}  // namespace

size_t float_repr(double value, char *out) {
    char *o = out;
    if (std::isnan(value)) {
        return put(o, "nan", 3) - out;  // the sign of a NaN is not shown
    }
    if (std::signbit(value)) {
        *o++ = '-';
        value = -value;
    }
    if (std::isinf(value)) {
        return put(o, "inf", 3) - out;
    }
    if (value == 0) {
        return put(o, "0.0", 3) - out;
    }
    char digits[20];
    int count, point;
    if (!grisu3(value, digits, count, point)) {
        // Undecided: the interpreter's exact conversion, which is repr itself.
        char *text = PyOS_double_to_string(value, 'r', 0, Py_DTSF_ADD_DOT_0, nullptr);
        if (text == nullptr) {
            return 0;
        }
        o = put(o, text, std::strlen(text));
        PyMem_Free(text);
        return o - out;
    }
    if (point <= -4 || point > 16) {
        // Exponent form, as float.__repr__ switches to it: below 1e-4 and from 1e16 on.
        *o++ = digits[0];
        if (count > 1) {
            *o++ = '.';
            o = put(o, digits + 1, count - 1);
        }
        const int exponent = point - 1;
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100) {
            *o++ = static_cast<char>('0' + magnitude / 100);
        }
        *o++ = static_cast<char>('0' + magnitude / 10 % 10);
        *o++ = static_cast<char>('0' + magnitude % 10);
        return o - out;
    }
    if (point <= 0) {  // 0.000ddd
        o = put(o, "0.", 2);
        o = zeros(o, -point);
        return put(o, digits, count) - out;
    }
    if (point >= count) {  // ddd000.0: an integral value gets ".0"
        o = put(o, digits, count);
        o = zeros(o, point - count);
        return put(o, ".0", 2) - out;
    }
    o = put(o, digits, point);  // ddd.ddd
    *o++ = '.';
    return put(o, digits + point, count - point) - out;
}

}  // namespace velmora
