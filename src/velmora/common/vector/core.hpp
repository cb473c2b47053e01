// The vector family's core: what every part of a vector class shares. Its names, cut from the
// full class name; its record and the record's components; the class's C-level table and free
// list; and `make`, which every new vector of the class goes through.
#pragma once

#include "../errors.hpp"
#include "../lifecycle.hpp"
#include "../record.hpp"
#include "../text.hpp"
#include "kernels.hpp"

#include <concepts>
#include <type_traits>
#include <utility>

namespace velmora {

// What a vector module says about its class; everything else (record, storage type, count,
// the module's and methods' names) follows from these:
//   Object            its instance record of velmora.h (Vector2Object…)
//   type_name         "velmora.vector2.vector2.Vector2"
//   fields, letters   the record's members in component order, and their letters ("xy")
//   copy_slot, components_slot   its table's entries for from_vector2 and from_xy (by name)
// and, where the class has them: Own, its own members (rows, as the family's in members.hpp);
// swizzle_position(k), the registration order of swizzle k (counting order otherwise).
template <class C>
concept VectorConfig = requires {
    typename C::Object;
    { C::type_name } -> std::convertible_to<const char *>;
    { C::letters } -> std::convertible_to<const char *>;
    requires std::floating_point<
        std::remove_reference_t<decltype(std::declval<decltype(C::Object::data)>().*C::fields[0])>>;
    requires sizeof C::fields / sizeof C::fields[0] == sizeof C::letters - 1;
    requires std::is_member_pointer_v<decltype(C::copy_slot)> && std::is_member_pointer_v<decltype(C::components_slot)>;
};

// The core's names, as each part of the family (a class template deriving from
// VectorCore<Config>) uses them: a template sees a dependent base's names only when told where
// they come from.
#define VELMORA_VECTOR_NAMES              \
    using Core = VectorCore<Config>;      \
    using Object = typename Core::Object; \
    using Scalar = typename Core::Scalar; \
    using Comps = typename Core::Comps;   \
    using Table = typename Core::Table;   \
    using fail = typename Core::fail;     \
    static constexpr int N = Core::N

template <VectorConfig Config> struct VectorCore {
    using Object = typename Config::Object;
    using Record = decltype(Object::data);
    using Scalar = std::remove_reference_t<decltype(std::declval<Record>().*Config::fields[0])>;
    using Table = std::remove_pointer_t<decltype(Object::vtab)>;
    static constexpr int N = sizeof Config::letters - 1;
    using Comps = kernels::Comps<Scalar, static_cast<size_t>(N)>;
    using fail = Fail<Config::type_name>;

    // The names, cut from the full class name: class "Vector2", module "velmora.vector2.vector2"
    // with the definition name "vector2".
    static constexpr size_t class_dot = last_dot(Config::type_name);
    static constexpr auto module_path = cut<0, class_dot>(Config::type_name);
    static constexpr auto class_name = cut<class_dot + 1, sizeof Config::type_name - 1>(Config::type_name);
    static constexpr auto def_name = lower(class_name);
    // The components' names, "x", "y"…
    static constexpr auto letter_names = [] {
        std::array<std::array<char, 2>, N> names{};
        for (int i = 0; i < N; ++i) {
            names[i] = {Config::letters[i], 0};
        }
        return names;
    }();

    static inline Table table{};
    static inline FreeList<Object, 1000> freelist;
    static PyTypeObject type;  // the class as data, in family.hpp, where every part is known

    static Object *cast(PyObject *o) { return reinterpret_cast<Object *>(o); }
    static PyObject *obj(Object *o) { return reinterpret_cast<PyObject *>(o); }
    // The class cannot be subclassed: an exact test.
    VELMORA_HOT static bool is_vector(PyObject *o) { return Py_TYPE(o) == &type; }

    static Scalar &field(Object *o, Py_ssize_t i) { return o->data.*Config::fields[i]; }
    static Comps load(Object *o) {
        Comps c;
        for (int i = 0; i < N; ++i) {
            c[i] = field(o, i);
        }
        return c;
    }
    static void store(Object *o, const Comps &c) {
        for (int i = 0; i < N; ++i) {
            field(o, i) = c[i];
        }
    }
    static std::array<double, N> widened(Object *o) {
        std::array<double, N> values;
        for (int i = 0; i < N; ++i) {
            values[i] = field(o, i);
        }
        return values;
    }

    struct Traits {
        using Scalar = VectorCore::Scalar;
        static constexpr int N = VectorCore::N;
        static constexpr const char *owner = Config::type_name;
        static constexpr const char *index_error = "Vector index out of range";
        static Scalar &field(PyObject *self, Py_ssize_t i) { return VectorCore::field(cast(self), i); }
    };
    using Items = RecordProtocol<Traits>;  // the sequence protocol: v[i], len(v), iteration

    // Every new vector is made here, from the free list when it can.
    VELMORA_HOT static Object *allocate() {
        Object *o = freelist.take(&type);
        if (o != nullptr) {
            o->vtab = &table;
        }
        return o;
    }
    VELMORA_HOT static Object *make(const Comps &c) {
        Object *o = allocate();
        if (o != nullptr) {
            store(o, c);
        }
        return o;
    }
    // Every instance is exactly the class, so every one may be kept.
    static void dealloc(PyObject *o) {
        if (!freelist.keep(o)) {
            Py_TYPE(o)->tp_free(o);
        }
    }
};

}  // namespace velmora
