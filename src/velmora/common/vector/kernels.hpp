// The vector family's arithmetic, free of Python: every result a vector operation returns
// is computed here, on arrays of N components in the storage type.
//
// Precision, stated once:
//   - Vector2 and Vector3 store 32-bit floats, Vector4 doubles. Vector-with-vector
//     arithmetic (+, -, component-wise *, /, //), length, dot, cross and normalisation's
//     sum run in the storage type; results round once per operation.
//   - Products summed for a length or a dot product are chained through explicit fused
//     multiply-adds in float (one rounding per step, the same on every compiler and CPU),
//     and summed plainly in double, where Python's own arithmetic is the reference.
//   - Scaling by a number widens each component to double, combines it with the number in
//     double and rounds once to the storage type.
//   - Distances take differences in the storage type, then square and sum in double.
//   - Rounding halves away from zero adds the largest value below one half, with the sign of
//     the component, and truncates: 0.49999997 rounds to 0, 0.5 to 1, -2.5 to -3.
// The build never lets the compiler fuse or reorder floating-point operations.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

namespace velmora::kernels {

template <class Scalar, size_t N> using Comps = std::array<Scalar, N>;

// The largest value below one half in the storage type.
template <class Scalar>
constexpr Scalar half_down = std::is_same_v<Scalar, float> ? Scalar(0x1.fffffep-2f) : Scalar(0x1.fffffffffffffp-2);

constexpr auto plus = [](auto a, auto b) { return a + b; };
constexpr auto minus = [](auto a, auto b) { return a - b; };
constexpr auto times = [](auto a, auto b) { return a * b; };
constexpr auto divide = [](auto a, auto b) { return a / b; };
constexpr auto floor_divide = [](auto a, auto b) { return std::floor(a / b); };

// Component-wise, in the storage type.
template <class S, size_t N, class Op> Comps<S, N> combine(const Comps<S, N> &a, const Comps<S, N> &b, Op op) {
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = op(a[i], b[i]);
    }
    return c;
}

// Each component widened to double, combined with k in double, rounded once to storage.
template <class S, size_t N, class Op> Comps<S, N> scale(const Comps<S, N> &a, double k, Op op) {
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = static_cast<S>(op(static_cast<double>(a[i]), k));
    }
    return c;
}

template <class S, size_t N> S sum_of_products(const Comps<S, N> &a, const Comps<S, N> &b) {
    S s = a[0] * b[0];
    for (size_t i = 1; i < N; ++i) {
        if constexpr (std::is_same_v<S, float>) {
            s = std::fma(a[i], b[i], s);
        } else {
            s += a[i] * b[i];
        }
    }
    return s;
}

template <class S, size_t N> double length(const Comps<S, N> &c) { return std::sqrt(sum_of_products(c, c)); }

template <class S, size_t N> double distance_squared(const Comps<S, N> &a, const Comps<S, N> &b) {
    double s = 0.0;
    for (size_t i = 0; i < N; ++i) {
        const double d = static_cast<S>(a[i] - b[i]);
        s += d * d;
    }
    return s;
}

// A zero vector stays zero; otherwise scaled by the double reciprocal of its length.
template <class S, size_t N> Comps<S, N> normalized(const Comps<S, N> &c) {
    const S s = sum_of_products(c, c);
    if (s == 0) {
        return Comps<S, N>{};
    }
    return scale(c, 1.0 / static_cast<double>(std::sqrt(s)), times);
}

template <class S> S round_half_away(S v) { return static_cast<S>(v + std::copysign(half_down<S>, v)); }

template <class S, size_t N> Comps<S, N> rounded(const Comps<S, N> &c) {
    Comps<S, N> out;
    for (size_t i = 0; i < N; ++i) {
        out[i] = std::trunc(round_half_away(c[i]));
    }
    return out;
}

template <class S, size_t N> Comps<S, N> absolute(const Comps<S, N> &c) {
    Comps<S, N> out;
    for (size_t i = 0; i < N; ++i) {
        out[i] = std::fabs(c[i]);
    }
    return out;
}

template <class S, size_t N> Comps<S, N> negated(const Comps<S, N> &c) {
    Comps<S, N> out;
    for (size_t i = 0; i < N; ++i) {
        out[i] = -c[i];
    }
    return out;
}

// a × b, in the storage type.
template <class S> Comps<S, 3> cross(const Comps<S, 3> &a, const Comps<S, 3> &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

}  // namespace velmora::kernels
