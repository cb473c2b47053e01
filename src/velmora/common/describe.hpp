// The members of a module's class as its rows declare them, in a form the stub generator reads
// from the built module: every module exports `velmora_member_rows()`, which returns one line
// per row, "kind\tname\ttyped\tset_type\tdoc" (kind: method, static or property; set_type: the
// type a settable property takes, else empty). tools/generate_stubs.py writes the stubs from
// these lines, so a member's types are written once, in its row, and never parsed from source.
#pragma once

#include <span>

namespace velmora {

struct Described {
    const char *kind;
    const char *name;
    const char *typed;
    const char *set_type;  // nullptr: not settable
    const char *doc;
};

// The lines for `rows`, made on the first call and kept for the life of the process.
const char *describe(std::span<const Described> rows);

}  // namespace velmora
