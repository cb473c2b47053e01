// The members of a module's class as its rows declare them, in a form the stub generator reads
// from the built module: every module exports `velmora_member_rows()`, which returns one line
// per row, "kind\tname\ttyped\tset_type\tdoc" (kind: method, static or property; set_type: the
// type a settable property takes, else empty). tools/generate_stubs.py writes the stubs from
// these lines, so a member's types are written once, in its row, and never parsed from source.
#pragma once

#include <atomic>
#include <span>

namespace velmora {

struct Described {
    const char *kind;
    const char *name;
    const char *typed;
    const char *set_type;  // nullptr: not settable
    const char *doc;
};

// The lines for `rows`, made on the first call and kept in `made` for the life of the process.
// `made` is a constant-initialised atomic rather than a function-local static: such a static's
// thread-safe initialisation calls into libstdc++ (__cxa_guard_*), which the modules do not link,
// and tools may call from several threads (ctypes releases the GIL).
const char *describe(std::atomic<const char *> &made, std::span<const Described> rows);

}  // namespace velmora
