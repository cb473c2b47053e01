// Object lifecycle shared by every class: the creation path of a subclassable class, an
// exact-type free list of released instances, and the finaliser step of a dealloc.
#pragma once

#include "velmora.h"

// The hot paths' small helpers (taking an instance, storing a record) are inlined into every
// operation that makes an object, whatever the compiler's size heuristics would choose.
#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_HOT __attribute__((always_inline)) inline
#else
#define VELMORA_HOT inline
#endif

namespace velmora {

// Released instances of exactly one class, recycled LIFO, at most Capacity of them. The
// recycled memory keeps its old contents: the instance's object header is made afresh, and
// every constructor stores the whole record. Building with VELMORA_NO_FREELIST turns it off
// (a free list hides use-after-free from memory checkers).
template <class Object, int Capacity> class FreeList {
public:
#ifdef VELMORA_NO_FREELIST
    static constexpr int capacity = 0;
#else
    static constexpr int capacity = Capacity;
#endif

    // A new instance of exactly `type`: recycled when one is held, else from the type's
    // allocator (zeroed). nullptr with MemoryError set when allocation fails.
    VELMORA_HOT Object *take(PyTypeObject *type) {
        if constexpr (capacity > 0) {
            if (count_ > 0) {
                Object *o = items_[--count_];
                PyObject_Init(reinterpret_cast<PyObject *>(o), type);
                return o;
            }
        }
        return reinterpret_cast<Object *>(type->tp_alloc(type, 0));
    }
    // Keeps the memory of a dead instance of the class; false when full (the caller frees it).
    bool keep(PyObject *o) {
        if constexpr (capacity > 0) {
            if (count_ < capacity) {
                items_[count_++] = reinterpret_cast<Object *>(o);
                return true;
            }
        }
        return false;
    }
    // What tests and profilers read through the table capsule's context.
    VelmoraFreeListInfo *info() { return &info_; }

private:
    Object *items_[capacity > 0 ? capacity : 1];
    int count_ = 0;
    VelmoraFreeListInfo info_{capacity, &count_};
};

// The creation path of a subclassable class: through object's creation for a type flagged
// abstract (which then refuses), else through the type's allocator. Zeroed.
PyObject *allocate_instance(PyTypeObject *type);

// The first step of a subclassable class's dealloc: runs a finaliser that has not run yet
// (a Python subclass's __del__) unless the interpreter's subclass dealloc, which calls
// `own_dealloc` afterwards, already did. False when the object was resurrected.
bool finalize_from_dealloc(PyObject *self, destructor own_dealloc);

}  // namespace velmora
