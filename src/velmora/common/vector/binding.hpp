// The vector family's binding (../binding.hpp): how its rows' functions meet Python and the
// C-level table. Arguments are vectors of the class (an Object *, or its components, Comps) or
// numbers; results are new vectors (made from Comps), the receiver itself (an Object * with a
// new reference), floats, or objects the function made.
#pragma once

#include "../binding.hpp"
#include "../convert.hpp"
#include "../kinds.hpp"
#include "core.hpp"

#include <type_traits>

namespace velmora {

template <VectorConfig Config> struct VectorBinding {
    VELMORA_VECTOR_NAMES;
    static constexpr const char *owner = Config::type_name;
    static constexpr bool subclassable = false;  // the flag of every entry is ignored

    // A parameter of type P: a vector of the class (Object * or Comps); a number by the real
    // conversion, rounded to P as a C caller passing that type would; an Int32 by the integer
    // conversion; exactly a tuple or list (Exactly); or any object.
    template <Name row, class P> VELMORA_HOT static bool read(PyObject *o, const char *param, P &out) {
        if constexpr (std::is_same_v<P, Object *> || std::is_same_v<P, Comps>) {
            if (!Core::is_vector(o)) {
                arg_type_error(param, Config::type_name, o);
                return false;
            }
            if constexpr (std::is_same_v<P, Object *>) {
                out = Core::cast(o);
            } else {
                out = Core::load(Core::cast(o));
            }
            return true;
        } else if constexpr (std::is_same_v<P, float> || std::is_same_v<P, double>) {
            double d;
            if (!to_double(o, d)) {
                return false;
            }
            out = static_cast<P>(d);
            return true;
        } else if constexpr (std::is_same_v<P, Int32>) {
            return to_int32(o, out.value);
        } else if constexpr (is_exactly<P>) {
            if (Py_TYPE(o) != P::type) {
                arg_type_error(param, P::type->tp_name, o);
                return false;
            }
            out.object = o;
            return true;
        } else if constexpr (std::is_same_v<P, PyObject *>) {
            out = o;
            return true;
        } else {
            static_assert(unsupported_parameter<row, P>,
                          "the vector binding reads a vector of the class, a number, an Int32, an exact tuple or list, "
                          "or any object");
            return false;
        }
    }

    template <Name row, class P> VELMORA_HOT static decltype(auto) receiver(PyObject *self) {
        using T = std::decay_t<P>;
        if constexpr (std::is_same_v<T, Object *>) {
            return Core::cast(self);
        } else if constexpr (std::is_same_v<T, Comps>) {
            return Core::load(Core::cast(self));
        } else {
            static_assert(unsupported_receiver<row, P>,
                          "a vector row's function takes the vector as Object * or as its components");
        }
    }

    // A result: a new vector of components, the receiver's new reference, a float, or a new
    // object the function made (nullptr: it failed).
    template <Name row, class R> VELMORA_HOT static PyObject *to_python(const R &r) {
        if constexpr (std::is_same_v<R, Comps>) {
            return Core::obj(Core::make(r));
        } else if constexpr (std::is_same_v<R, Object *>) {
            return Core::obj(r);
        } else if constexpr (std::is_same_v<R, float> || std::is_same_v<R, double>) {
            return PyFloat_FromDouble(r);
        } else if constexpr (std::is_same_v<R, PyObject *>) {
            return r;
        } else {
            static_assert(
                unsupported_result<row, R>,
                "a vector row's function returns components, an Object *, a float or double, or a new PyObject *");
            return nullptr;
        }
    }

    // The table passes vectors of the class as Object *, which the caller vouches for.
    template <Name row, class P, class C> VELMORA_HOT static decltype(auto) from_c(C c) {
        using T = std::decay_t<P>;
        if constexpr (std::is_same_v<C, Object *> && std::is_same_v<T, Object *>) {
            return c;
        } else if constexpr (std::is_same_v<C, Object *> && std::is_same_v<T, Comps>) {
            return Core::load(c);
        } else {
            static_assert(unsupported_entry_type<row, P>, "a vector entry passes its vectors as Object *");
        }
    }
    template <Name row, class R, class F> VELMORA_HOT static R to_c(const F &r) {
        if constexpr (std::is_same_v<R, Object *> && std::is_same_v<F, Comps>) {
            return Core::make(r);
        } else if constexpr (std::is_same_v<R, F> || (std::is_same_v<R, double> && std::is_floating_point_v<F>)) {
            return r;
        } else {
            static_assert(unsupported_entry_type<row, F>,
                          "the row's function result does not convert to its table slot's result");
            return R{};
        }
    }
};

}  // namespace velmora
