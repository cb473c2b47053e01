#include "describe.hpp"

#include "velmora.h"

#include <cstring>

namespace velmora {

const char *describe(std::span<const Described> rows) {
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
    return text;
}

}  // namespace velmora
