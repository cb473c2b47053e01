// Swizzle names, generated at compile time: every name of exactly N letters drawn from the
// class's N component letters (4, 27 and 256 of them), with the selection each one makes
// and its documentation.
#pragma once

#include <array>
#include <cstddef>

namespace velmora::swizzles {

constexpr int ipow(int base, int exp) { return exp == 0 ? 1 : base * ipow(base, exp - 1); }

template <int N> constexpr int count = ipow(N, N);

// The component at letter `pos` (0 = first) of swizzle k: k counts with the components as
// digits, the first letter the most significant.
template <int N> constexpr int digit(int k, int pos) {
    for (int j = N - 1; j > pos; --j) {
        k /= N;
    }
    return k % N;
}

template <int N> constexpr auto make_names(const char *letters) {
    std::array<std::array<char, N + 1>, count<N>> names{};
    for (int k = 0; k < count<N>; ++k) {
        for (int pos = 0; pos < N; ++pos) {
            names[k][pos] = letters[digit<N>(k, pos)];
        }
    }
    return names;
}

// "A new vector of the components y, x." for swizzle yx.
template <int N> constexpr auto make_docs(const char *letters) {
    constexpr char head[] = "A new vector of the components ";
    constexpr size_t size = sizeof head - 1 + 3 * N + 1;
    std::array<std::array<char, size>, count<N>> docs{};
    for (int k = 0; k < count<N>; ++k) {
        size_t o = 0;
        for (size_t i = 0; i + 1 < sizeof head; ++i) {
            docs[k][o++] = head[i];
        }
        for (int pos = 0; pos < N; ++pos) {
            docs[k][o++] = letters[digit<N>(k, pos)];
            if (pos + 1 < N) {
                docs[k][o++] = ',';
                docs[k][o++] = ' ';
            }
        }
        docs[k][o++] = '.';
    }
    return docs;
}

}  // namespace velmora::swizzles
