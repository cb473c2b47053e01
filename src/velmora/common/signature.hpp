// Typed signatures, read once. A member's row writes its signature once, with types, as its
// stub declares it: "(self, other: Self, amount: Real) -> Self" (Self is the class, Real any real
// number; tools/generate_stubs.py maps these words). From it, while the module builds, come the
// text signature the interpreter shows, "($self, other, amount)", and the names the binder
// matches keywords against; the stub generator reads the typed text itself from the built module.
//
// The grammar: "(" parameters ")" [" -> " result], parameters separated by ", " outside
// brackets; a parameter is self, "/", "*", "*name", or name [": " type] [" = " default].
// Parameters before a "/" are positional only.
#pragma once

#include "text.hpp"

#include <array>
#include <cstddef>

namespace velmora {

template <Name typed> struct Signature {
    static constexpr const char *s = typed.text;
    static constexpr size_t size = sizeof typed.text;

    // The end of the parameter list: the ")" that closes the opening "(".
    static constexpr size_t close = [] {
        int depth = 0;
        for (size_t i = 0; i < size; ++i) {
            depth += s[i] == '(' || s[i] == '[' ? 1 : s[i] == ')' || s[i] == ']' ? -1 : 0;
            if (depth == 0) {
                return i;
            }
        }
        return size;  // unbalanced: refused below
    }();
    static_assert(s[0] == '(' && close < size, "a typed signature is a parenthesised parameter list");

    // Visits each parameter as [begin, end) of the text, with its annotation and default.
    template <class F> static constexpr void each_parameter(F f) {
        size_t begin = 1;
        int depth = 0;
        for (size_t i = 1; i <= close; ++i) {
            const char c = s[i];
            depth += c == '[' || c == '(' ? 1 : c == ']' || (c == ')' && i != close) ? -1 : 0;
            if (i == close || (depth == 0 && c == ',')) {
                if (i > begin) {
                    f(begin, i);
                }
                begin = i + 2;  // past ", "
            }
        }
    }
    // The length of the parameter's name: up to ":", " = " or "=", whichever comes first.
    static constexpr size_t name_end(size_t begin, size_t end) {
        size_t i = begin;
        while (i < end && s[i] != ':' && s[i] != '=' && s[i] != ' ') {
            ++i;
        }
        return i;
    }
    static constexpr bool is_name(size_t begin, size_t end) {
        const size_t e = name_end(begin, end);
        const bool self =
            e - begin == 4 && s[begin] == 's' && s[begin + 1] == 'e' && s[begin + 2] == 'l' && s[begin + 3] == 'f';
        return !self && s[begin] != '/' && s[begin] != '*';
    }

    static constexpr bool has_self = [] {
        bool self = false;
        bool first = true;
        each_parameter([&](size_t b, size_t e) {
            if (first) {
                self = name_end(b, e) - b == 4 && !is_name(b, e);
            }
            first = false;
        });
        return self;
    }();

    // The parameters bound from Python arguments, and how many come before a "/".
    static constexpr size_t count = [] {
        size_t n = 0;
        each_parameter([&](size_t b, size_t e) { n += is_name(b, e) ? 1 : 0; });
        return n;
    }();
    static constexpr size_t positional_only = [] {
        size_t n = 0, before_slash = 0;
        each_parameter([&](size_t b, size_t e) {
            n += is_name(b, e) ? 1 : 0;
            if (s[b] == '/' && e - b == 1) {
                before_slash = n;
            }
        });
        return before_slash;
    }();

    // The parameter list without annotations or the result: "($self, dx, dy=None)".
    static constexpr auto text = [] {
        Text<size + 1> out{};
        size_t o = 0;
        out[o++] = '(';
        bool first = true;
        each_parameter([&](size_t b, size_t e) {
            if (!first) {
                out[o++] = ',';
                out[o++] = ' ';
            }
            if (first && has_self) {
                out[o++] = '$';
            }
            first = false;
            const size_t n = name_end(b, e);
            for (size_t i = b; i < n; ++i) {
                out[o++] = s[i];
            }
            for (size_t i = n; i < e; ++i) {
                if (s[i] == '=') {  // the default, as written, after "="
                    out[o++] = '=';
                    size_t k = i + 1;
                    while (k < e && s[k] == ' ') {
                        ++k;
                    }
                    for (; k < e; ++k) {
                        out[o++] = s[k];
                    }
                    break;
                }
            }
        });
        out[o++] = ')';
        return out;
    }();

    // The bound parameters' names, for the binder: {"other", "amount"}.
    static constexpr auto name_text = [] {
        std::array<Text<size>, count + 1> names{};
        size_t k = 0;
        each_parameter([&](size_t b, size_t e) {
            if (is_name(b, e)) {
                const size_t n = name_end(b, e);
                for (size_t i = b; i < n; ++i) {
                    names[k][i - b] = s[i];
                }
                ++k;
            }
        });
        return names;
    }();
    static constexpr auto names = [] {
        std::array<const char *, count + 1> n{};
        for (size_t k = 0; k < count; ++k) {
            n[k] = name_text[k].data();
        }
        return n;
    }();
};

}  // namespace velmora
