#include "record.hpp"

#include "float_repr.hpp"

#include <cstring>

namespace velmora {

PyObject *component_names[4];

int intern_component_names() {
    static const char *const letters[4] = {"x", "y", "z", "w"};
    for (int i = 0; i < 4; ++i) {
        if (component_names[i] == nullptr && (component_names[i] = PyUnicode_InternFromString(letters[i])) == nullptr) {
            return -1;
        }
    }
    return 0;
}

PyObject *small_indices[4];

int intern_small_indices(int count) {
    for (int k = 0; k < count; ++k) {
        if (small_indices[k] == nullptr && (small_indices[k] = PyLong_FromLong(k)) == nullptr) {
            return -1;
        }
    }
    return 0;
}

PyObject *record_repr(std::span<const char *const> pieces, std::span<const double> values) {
    constexpr size_t most = 4;
    char texts[most][float_repr_max];
    size_t lengths[most];
    size_t total = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        lengths[i] = float_repr(values[i], texts[i]);
        if (lengths[i] == 0) {
            return nullptr;
        }
        total += lengths[i];
    }
    for (const char *piece : pieces) {
        total += std::strlen(piece);
    }
    PyObject *result = PyUnicode_New(static_cast<Py_ssize_t>(total), 127);
    if (result == nullptr) {
        return nullptr;
    }
    char *out = reinterpret_cast<char *>(PyUnicode_1BYTE_DATA(result));
    for (size_t i = 0; i < pieces.size(); ++i) {
        const size_t n = std::strlen(pieces[i]);
        std::memcpy(out, pieces[i], n);
        out += n;
        if (i < values.size()) {
            std::memcpy(out, texts[i], lengths[i]);
            out += lengths[i];
        }
    }
    return result;
}

}  // namespace velmora
