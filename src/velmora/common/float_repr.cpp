#include "float_repr.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

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
    // Shortest round-trip digits in scientific form, "d[.ddd]e±XX", taken apart into the
    // digit string and the position of the decimal point (value = 0.digits × 10^point).
    char text[float_repr_max];
    const char *end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    char digits[20];
    int count = 0;
    const char *p = text;
    digits[count++] = *p++;
    if (*p == '.') {
        for (++p; *p != 'e'; ++p) {
            digits[count++] = *p;
        }
    }
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    const int point = exponent + 1;

    if (point <= -4 || point > 16) {
        // Exponent form, as float.__repr__ switches to it: below 1e-4 and from 1e16 on.
        *o++ = digits[0];
        if (count > 1) {
            *o++ = '.';
            o = put(o, digits + 1, count - 1);
        }
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) {
            *o++ = '0';
        }
        return std::to_chars(o, out + float_repr_max, magnitude).ptr - out;
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
