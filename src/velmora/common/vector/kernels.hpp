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

// glibc 2.43 gave atan2f a second symbol version (for its errno handling; both give that glibc's
// results, which older glibcs' atan2f may miss by an ulp): a module bound to it would load on no
// older glibc, so it binds to the first version,
// which every glibc a wheel is tagged for has: the architecture's first glibc. Other C
// libraries have one atan2f.
#if defined(__GLIBC__) && defined(__x86_64__)
__asm__(".symver atan2f,atan2f@GLIBC_2.2.5");
#elif defined(__GLIBC__) && defined(__aarch64__)
__asm__(".symver atan2f,atan2f@GLIBC_2.17");
#endif

namespace velmora::kernels {

template <class Scalar, size_t N> using Comps = std::array<Scalar, N>;

// The largest value below one half in the storage type.
template <class Scalar> constexpr Scalar half_down = std::is_same_v<Scalar, float> ? Scalar(0x1.fffffep-2f)
                                                                                   : Scalar(0x1.fffffffffffffp-2);

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

template <class S, size_t N> double distance(const Comps<S, N> &a, const Comps<S, N> &b) {
    return std::sqrt(distance_squared(a, b));
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

// ---- the game toolkit: raylib's raymath.h, operation by operation ----
//
// Each function below is raymath's formula for the same operation, with its operations in
// raymath's order and nothing fused (sums of products are plain left-to-right sums here, not
// the chains above), so Vector2 and Vector3 give raymath's float results bit for bit. The C
// library's own functions serve where raymath calls them: std::sqrt, std::cos, std::sin and
// std::atan2 on floats are sqrtf, cosf, sinf and atan2f (fminf and fmaxf: see fmin_first).
// Vector4 runs the same formulas in double. Which NaN a result carries when several meet is
// the compiler's choice of operand order, in raylib as here: results are NaN where raymath's
// are, but their sign and payload are not part of the contract.

template <class S, size_t N> S plain_dot(const Comps<S, N> &a, const Comps<S, N> &b) {
    S s = a[0] * b[0];
    for (size_t i = 1; i < N; ++i) {
        s = s + a[i] * b[i];
    }
    return s;
}

// Vector2LengthSqr …
template <class S, size_t N> S length_squared(const Comps<S, N> &v) { return plain_dot(v, v); }

// Vector2Lerp …: v1 + amount × (v2 − v1).
template <class S, size_t N> Comps<S, N> lerp(const Comps<S, N> &a, const Comps<S, N> &b, S amount) {
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = a[i] + amount * (b[i] - a[i]);
    }
    return c;
}

// Vector2MoveTowards …: the target itself when it is within reach (or when the vectors are
// equal); otherwise a step of max_distance along the difference.
template <class S, size_t N> Comps<S, N> move_towards(const Comps<S, N> &v, const Comps<S, N> &target, S max_distance) {
    const Comps<S, N> d = combine(target, v, minus);
    const S value = plain_dot(d, d);
    if (value == 0 || (max_distance >= 0 && value <= max_distance * max_distance)) {
        return target;
    }
    const S dist = std::sqrt(value);
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = v[i] + d[i] / dist * max_distance;
    }
    return c;
}

// fminf and fmaxf as raymath calls them: a NaN gives way to a number. Of +0 and -0 the C
// standard lets either come out, and raylib's own result for that tie depends on its build:
// glibc returns the second argument and musl -0 for the minimum, and compilers treat fminf as
// commutative, so two of raymath's functions built together can differ. velmora settles the
// tie one way on every platform and for every class: the first argument stays.
template <class S> S fmin_first(S a, S b) { return b < a || a != a ? b : a; }
template <class S> S fmax_first(S a, S b) { return b > a || a != a ? b : a; }

// Vector2Min, Vector2Max …: fminf and fmaxf component by component.
template <class S, size_t N> Comps<S, N> minimum(const Comps<S, N> &a, const Comps<S, N> &b) {
    return combine(a, b, fmin_first<S>);
}
template <class S, size_t N> Comps<S, N> maximum(const Comps<S, N> &a, const Comps<S, N> &b) {
    return combine(a, b, fmax_first<S>);
}

// Vector2Reflect, Vector3Reflect: v − (2·normal) × (v · normal).
template <class S, size_t N> Comps<S, N> reflect(const Comps<S, N> &v, const Comps<S, N> &normal) {
    const S dot = plain_dot(v, normal);
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = v[i] - (S(2) * normal[i]) * dot;
    }
    return c;
}

// Vector2Angle: the signed angle from v1 to v2, atan2(det, dot). Vector3Angle: the unsigned
// angle, atan2(|v1 × v2|, v1 · v2).
template <class S, size_t N> S angle(const Comps<S, N> &a, const Comps<S, N> &b) {
    static_assert(N == 2 || N == 3);
    if constexpr (N == 2) {
        const S dot = a[0] * b[0] + a[1] * b[1];
        const S det = a[0] * b[1] - a[1] * b[0];
        return std::atan2(det, dot);
    } else {
        const Comps<S, 3> c = cross(a, b);
        const S len = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        return std::atan2(len, plain_dot(a, b));
    }
}

// Vector2ClampValue, Vector3ClampValue: scaled to min_length when shorter, to max_length
// when longer (min_length wins); a zero vector stays as it is.
template <class S, size_t N> Comps<S, N> clamp_length(const Comps<S, N> &v, S min_length, S max_length) {
    S length = plain_dot(v, v);
    if (!(length > S(0))) {
        return v;
    }
    length = std::sqrt(length);
    S scale = 1;
    if (length < min_length) {
        scale = min_length / length;
    } else if (length > max_length) {
        scale = max_length / length;
    }
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = v[i] * scale;
    }
    return c;
}

// Vector2Clamp, Vector3Clamp: fminf(upper, fmaxf(lower, v)) component by component.
template <class S, size_t N>
Comps<S, N> clamp(const Comps<S, N> &v, const Comps<S, N> &lower, const Comps<S, N> &upper) {
    Comps<S, N> c;
    for (size_t i = 0; i < N; ++i) {
        c[i] = fmin_first(upper[i], fmax_first(lower[i], v[i]));
    }
    return c;
}

// Vector2Rotate: counter-clockwise by angle radians (clockwise on a y-down screen).
template <class S> Comps<S, 2> rotate(const Comps<S, 2> &v, S angle) {
    const S c = std::cos(angle);
    const S s = std::sin(angle);
    return {v[0] * c - v[1] * s, v[0] * s + v[1] * c};
}

// Vector3RotateByAxisAngle: the Euler–Rodrigues formula, with raymath's steps; a zero axis
// counts as length 1.
template <class S> Comps<S, 3> rotate_around(const Comps<S, 3> &v, const Comps<S, 3> &axis, S angle) {
    S length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    if (length == S(0)) {
        length = S(1);
    }
    const S inverse = S(1) / length;
    const Comps<S, 3> unit{axis[0] * inverse, axis[1] * inverse, axis[2] * inverse};
    angle = angle / S(2);
    S a = std::sin(angle);
    const Comps<S, 3> w{unit[0] * a, unit[1] * a, unit[2] * a};
    a = std::cos(angle);
    Comps<S, 3> wv = cross(w, v);
    Comps<S, 3> wwv = cross(w, wv);
    a = a * S(2);
    Comps<S, 3> result = v;
    for (size_t i = 0; i < 3; ++i) {
        wv[i] = wv[i] * a;
        wwv[i] = wwv[i] * S(2);
    }
    for (size_t i = 0; i < 3; ++i) {
        result[i] = result[i] + wv[i];
    }
    for (size_t i = 0; i < 3; ++i) {
        result[i] = result[i] + wwv[i];
    }
    return result;
}

// Vector3Project, Vector3Reject: onto × (v · onto) / (onto · onto), and v minus it.
template <class S> S projection_scale(const Comps<S, 3> &v, const Comps<S, 3> &onto) {
    return plain_dot(v, onto) / plain_dot(onto, onto);
}
template <class S> Comps<S, 3> project(const Comps<S, 3> &v, const Comps<S, 3> &onto) {
    const S mag = projection_scale(v, onto);
    return {onto[0] * mag, onto[1] * mag, onto[2] * mag};
}
template <class S> Comps<S, 3> reject(const Comps<S, 3> &v, const Comps<S, 3> &onto) {
    const S mag = projection_scale(v, onto);
    return {v[0] - onto[0] * mag, v[1] - onto[1] * mag, v[2] - onto[2] * mag};
}

}  // namespace velmora::kernels
