// Exact-type free list: released instances of exactly one class, recycled LIFO, bounded.
// Reused memory is zeroed and its object header initialised afresh by the caller.
// Building with VELMORA_NO_FREELIST turns it off (a free list hides use-after-free from
// memory checkers).
#pragma once

#include "velmora.h"

namespace velmora {

template <class Object, int Capacity> class FreeList {
public:
#ifdef VELMORA_NO_FREELIST
    static constexpr int capacity = 0;
#else
    static constexpr int capacity = Capacity;
#endif

    // Keeps the memory of a dead instance; false when full (the caller frees it).
    bool push(Object *o) {
        if constexpr (capacity == 0) {
            (void)o;
            return false;
        }
        if (count_ >= capacity) {
            return false;
        }
        items_[count_++] = o;
        return true;
    }
    // The most recently released instance, or nullptr.
    Object *pop() {
        if constexpr (capacity == 0) {
            return nullptr;
        }
        return count_ > 0 ? items_[--count_] : nullptr;
    }
    int size() const { return count_; }

private:
    Object *items_[capacity > 0 ? capacity : 1];
    int count_ = 0;
};

}  // namespace velmora
