// Declarative tables: a class's Python methods are rows of constexpr data, each naming the
// method once. A row is made by `method<"name", Adapter, Entry>("doc")`: the adapter binds
// the Python arguments, calls the C-level entry and traces failures under the row's name,
// and it knows the text signature (`__text_signature__`) that goes in front of the doc.
// `MethodDefs` turns the rows into the PyMethodDef array the interpreter reads. The member
// rows of rows.hpp (methods, properties and C-level entries together) are built on these,
// with a typed signature each (Signature, below).
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

// ---- typed signatures ----
//
// A member's typed signature, "(self, other: Self, amount: Real) -> Self", is written once, in
// its row: the stubs declare it (tools/generate_stubs.py reads the rows, with Self the class
// and Real any real number), and the text signature the interpreter shows, "($self, other,
// amount)", and the names the binder matches keywords against are cut from it here.
template <Name typed> struct Signature {
    static constexpr size_t size = sizeof typed.text;

    // The parameter list without annotations or the result: "($self, dx, dy=None)".
    static constexpr auto text = [] {
        Text<size + 1> out{};
        const char *s = typed.text;
        size_t o = 0, i = 1;
        int depth = 0;
        bool annotation = false;
        out[o++] = '(';
        if (s[1] == 's' && s[2] == 'e' && s[3] == 'l' && s[4] == 'f' && (s[5] == ',' || s[5] == ')')) {
            out[o++] = '$';
        }
        for (; s[i] != 0; ++i) {
            const char c = s[i];
            if (depth == 0 && c == ')') {
                break;
            }
            depth += c == '[' ? 1 : c == ']' ? -1 : 0;
            if (annotation && depth == 0 && (c == ',' || c == '=')) {
                annotation = false;
                while (o > 0 && out[o - 1] == ' ') {
                    --o;
                }
                if (c == '=') {
                    out[o++] = '=';
                    while (s[i + 1] == ' ') {
                        ++i;
                    }
                    continue;
                }
            }
            if (c == ':' && depth == 0) {
                annotation = true;
            }
            if (!annotation) {
                out[o++] = c;
            }
        }
        out[o++] = ')';
        return out;
    }();

    // The parameters after self, for the binder: {"other", "amount"}.
    static constexpr size_t most = 4;
    static constexpr auto parameters = [] {
        struct {
            std::array<std::array<char, 24>, most> names{};
            size_t count = 0;
        } p;
        const char *s = text.data();
        size_t i = 1;
        while (s[i] != ')') {
            size_t n = 0;
            bool keep = s[i] != '$' && s[i] != '/' && s[i] != '*';
            for (; s[i] != ',' && s[i] != ')' && s[i] != '='; ++i) {
                if (keep) {
                    p.names[p.count][n++] = s[i];
                }
            }
            while (s[i] != ',' && s[i] != ')') {
                ++i;  // a default value
            }
            p.count += keep ? 1 : 0;
            if (s[i] == ',') {
                i += 2;
            }
        }
        return p;
    }();
    static constexpr size_t count = parameters.count;
    static constexpr auto names = [] {
        std::array<const char *, most> n{};
        for (size_t k = 0; k < count; ++k) {
            n[k] = parameters.names[k].data();
        }
        return n;
    }();
};

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
