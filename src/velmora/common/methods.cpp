#include "methods.hpp"

#include <cstring>

namespace velmora {

const char *signed_doc(const char *name, const char *signature, const char *doc) {
    const size_t a = std::strlen(name), b = std::strlen(signature), c = std::strlen(doc);
    static constexpr char separator[] = "\n--\n\n";
    constexpr size_t s = sizeof separator - 1;
    // Kept for good: the interpreter reads it for as long as the class exists.
    char *text = static_cast<char *>(PyMem_RawMalloc(a + b + s + c + 1));
    if (text == nullptr) {
        return doc;  // the documentation without its text signature
    }
    std::memcpy(text, name, a);
    std::memcpy(text + a, signature, b);
    std::memcpy(text + a + b, separator, s);
    std::memcpy(text + a + b + s, doc, c + 1);
    return text;
}

}  // namespace velmora
