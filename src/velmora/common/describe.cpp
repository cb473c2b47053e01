#include "describe.hpp"

#include "velmora.h"

#include <cstring>

namespace velmora {

const char *describe(std::atomic<const char *> &made, std::span<const Described> rows) {
    if (const char *text = made.load()) {
        return text;
    }
    size_t size = 1;
    for (const Described &d : rows) {
        for (const char *field : {d.kind, d.name, d.typed, d.set_type, d.doc}) {
            size += (field != nullptr ? std::strlen(field) : 0) + 1;
        }
    }
    // Kept for good: only tools read it, and the text is made once.
    char *text = static_cast<char *>(PyMem_RawMalloc(size));
    if (text == nullptr) {
        return "";
    }
    char *out = text;
    for (const Described &d : rows) {
        const char *fields[] = {d.kind, d.name, d.typed, d.set_type, d.doc};
        for (size_t i = 0; i < 5; ++i) {
            const size_t n = fields[i] != nullptr ? std::strlen(fields[i]) : 0;
            if (n > 0) {
                std::memcpy(out, fields[i], n);
                out += n;
            }
            *out++ = i < 4 ? '\t' : '\n';
        }
    }
    *out = 0;
    const char *expected = nullptr;
    if (!made.compare_exchange_strong(expected, text)) {  // another thread made it first
        PyMem_RawFree(text);
        return expected;
    }
    return text;
}

}  // namespace velmora
