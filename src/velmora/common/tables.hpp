// Declarative tables: a class's Python methods are rows of constexpr data, each naming the
// method once. A row is made by `method<"name", Adapter, Entry>("doc")`: the adapter binds
// the Python arguments, calls the C-level entry and traces failures under the row's name,
// and it knows the text signature (`__text_signature__`) that goes in front of the doc.
// `MethodDefs` turns the rows into the PyMethodDef array the interpreter reads.
#pragma once

#include "velmora.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace velmora {

// Compile-time text: NUL-terminated char arrays, cut and joined while the module builds.
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
template <size_t A, size_t B, class... More> constexpr auto join(const Text<A> &a, const Text<B> &b, const More &...more) {
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

// A string usable as a template argument: `template <Name name>` is written `<"dot">`.
template <size_t Size> struct Name {
    char text[Size]{};
    consteval Name(const char (&s)[Size]) { std::copy_n(s, Size, text); }
    consteval Name(const Text<Size> &s) { std::copy_n(s.begin(), Size, text); }
    constexpr const char *c_str() const { return text; }
};
template <size_t Size> Name(const Text<Size> &) -> Name<Size>;

using FastMethod = PyObject *(*)(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kwnames);

template <class F> inline PyCFunction as_method(F *f) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(f));
}

// One Python method: its name, the function the interpreter calls, its parameters in text
// signature form ("($self, other)") and one sentence or more of documentation.
struct MethodRow {
    const char *name;
    FastMethod call;
    const char *signature;
    const char *doc;
    int flags = METH_FASTCALL | METH_KEYWORDS;
};

// The row of method `name`: Adapter<name, Entry> supplies the call and the signature.
template <Name name, template <Name, auto> class Adapter, auto Entry>
consteval MethodRow method(const char *doc, int extra_flags = 0) {
    using A = Adapter<name, Entry>;
    return MethodRow{name.c_str(), A::call, A::signature, doc, METH_FASTCALL | METH_KEYWORDS | extra_flags};
}

template <class T, size_t A, size_t B>
constexpr std::array<T, A + B> concat(const std::array<T, A> &a, const std::array<T, B> &b) {
    std::array<T, A + B> out{};
    std::copy(a.begin(), a.end(), out.begin());
    std::copy(b.begin(), b.end(), out.begin() + A);
    return out;
}

// "name(signature)\n--\n\ndoc": the interpreter reads the text signature off the doc.
// Made once and kept for the life of the process.
const char *signed_doc(const char *name, const char *signature, const char *doc);

// The PyMethodDef array made from rows when a module initialises, kept for the life of the
// process (the interpreter holds pointers into it). Plain data, so it is ready before any
// initialiser of the module runs.
template <size_t Count> class MethodDefs {
public:
    PyMethodDef *fill(std::span<const MethodRow> rows) {
        if (defs_[0].ml_name == nullptr) {
            for (size_t i = 0; i < Count; ++i) {
                const MethodRow &r = rows[i];
                defs_[i] = PyMethodDef{r.name, as_method(r.call), r.flags, signed_doc(r.name, r.signature, r.doc)};
            }
        }
        return defs_;
    }
    constexpr PyMethodDef *get() { return defs_; }

private:
    PyMethodDef defs_[Count + 1]{};
};

}  // namespace velmora
