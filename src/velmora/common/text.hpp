// Compile-time text: NUL-terminated char arrays, cut and joined while a module builds, and
// `Name`, a string usable as a template argument (`template <Name name>` is written `<"dot">`).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace velmora {

template <size_t Size> using Text = std::array<char, Size>;

template <size_t Size> constexpr Text<Size> text(const char (&s)[Size]) {
    Text<Size> t{};
    std::copy_n(s, Size, t.begin());
    return t;
}
template <size_t A, size_t B> constexpr Text<A + B - 1> join(const Text<A> &a, const Text<B> &b) {
    Text<A + B - 1> t{};
    std::copy_n(a.begin(), A - 1, t.begin());
    std::copy_n(b.begin(), B, t.begin() + A - 1);
    return t;
}
template <size_t A, size_t B, class... More>
constexpr auto join(const Text<A> &a, const Text<B> &b, const More &...more) {
    return join(join(a, b), more...);
}
// Characters [From, To) of s.
template <size_t From, size_t To, size_t Size> constexpr Text<To - From + 1> cut(const char (&s)[Size]) {
    Text<To - From + 1> t{};
    std::copy(s + From, s + To, t.begin());
    return t;
}
template <size_t Size> constexpr size_t last_dot(const char (&s)[Size]) {
    size_t dot = 0;
    for (size_t i = 0; i < Size; ++i) {
        dot = s[i] == '.' ? i : dot;
    }
    return dot;
}
template <size_t Size> constexpr Text<Size> lower(const Text<Size> &t) {
    Text<Size> out = t;
    for (char &c : out) {
        c = 'A' <= c && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

template <size_t Size> struct Name {
    char text[Size]{};
    consteval Name(const char (&s)[Size]) { std::copy_n(s, Size, text); }
    consteval Name(const Text<Size> &s) { std::copy_n(s.begin(), Size, text); }
    constexpr const char *c_str() const { return text; }
    static constexpr size_t size = Size;
};
template <size_t Size> Name(const Text<Size> &) -> Name<Size>;

template <Name name> constexpr auto text_of = [] {
    Text<sizeof name.text> t{};
    std::copy_n(name.text, sizeof name.text, t.begin());
    return t;
}();

// "name.__get__" and "name.__set__": how a property's failures are traced.
template <Name name> constexpr auto getter_name = join(text_of<name>, text(".__get__"));
template <Name name> constexpr auto setter_name = join(text_of<name>, text(".__set__"));

}  // namespace velmora
