// The vector family: Vector2, Vector3 and Vector4 are one template, instantiated by each vector
// module with a configuration (VectorConfig, in core.hpp) that names its record, component
// count, letters and own rows. The parts are in this folder: core.hpp (names, record, free
// list), construction.hpp, arithmetic.hpp (with kernels.hpp), protocol.hpp (with swizzles.hpp)
// and members.hpp, the rows. Here they become the class: its method, static-method and
// property tables and its C-level table, all filled from the rows, the type object as data,
// and the module frame.
#pragma once

#include "../frame.hpp"
#include "members.hpp"

namespace velmora {

template <VectorConfig Cfg>
struct VectorFamily : VectorConstruction<Cfg>, VectorArithmetic<Cfg>, VectorProtocol<Cfg> {
    VELMORA_VECTOR_NAMES;
    using C = VectorConstruction<Cfg>;
    using A = VectorArithmetic<Cfg>;
    using P = VectorProtocol<Cfg>;
    using M = VectorMembers<Cfg>;
    using V::cast;
    using V::load;
    using V::make;
    using V::table;

    // The family's rows, the class's own, then the game toolkit's.
    static constexpr auto own_rows() {
        if constexpr (requires { typename Cfg::Own; }) {
            return typename Cfg::Own{};
        } else {
            return Members<>{};
        }
    }
    static constexpr auto toolkit_rows() {
        if constexpr (V::N < 4) {
            return Join<typename M::Toolkit, typename M::Planar>{};
        } else {
            return typename M::Toolkit{};
        }
    }
    using Rows = typename Join<typename M::Core, decltype(own_rows()), decltype(toolkit_rows())>::template In<M>;

    static inline MethodDefs<Rows::methods.size()> method_defs;
    static inline MethodDefs<Rows::statics.size()> static_defs;
    static PyMethodDef *static_methods() { return static_defs.fill(Rows::statics); }

    // The property table: components, swizzles, then the rows' properties.
    static inline auto getsets = [] {
        std::array<PyGetSetDef, P::attribute_count + Rows::getsets.size() + 1> g{};
        const auto attributes = P::attribute_getsets();
        std::copy(attributes.begin(), attributes.end(), g.begin());
        std::copy(Rows::getsets.begin(), Rows::getsets.end(), g.begin() + P::attribute_count);
        return g;
    }();

    static int prepare() {
        if (intern_component_names() < 0 || V::Protocol::prepare() < 0 ||
            (C::foreign_marker == nullptr &&
             (C::foreign_marker = PyUnicode_InternFromString("clamp_magnitude_ip")) == nullptr)) {
            return -1;
        }
        method_defs.fill(Rows::methods);
        Rows::fill(table);
        return 0;
    }

    // The vector modules import no classes; they check the host's `type` by the same rule.
    static int check_host_type() {
        PyTypeObject *host_type = nullptr;
        if (import_class("builtins", "type", sizeof(PyHeapTypeObject), host_type, nullptr) < 0) {
            return -1;
        }
        Py_DECREF(host_type);
        return 0;
    }

    static inline const char *const builtins[] = {"staticmethod", "NotImplemented", nullptr};

    static ModuleFrame make_frame() {
        ModuleFrame f = class_frame<Cfg::type_name, P::pickling_refused>(
            V::def_name.data(), V::module_path.data(), &V::type, V::class_name.data(), &table, prepare, check_host_type);
        f.builtins = builtins;
        f.static_methods = static_methods;
        f.freelist = V::freelist.info();
        return f;
    }
};

// The class as data. Its doc is a text signature only, so the class has no docstring.
template <VectorConfig Cfg>
PyTypeObject VectorCore<Cfg>::type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0)
    .tp_name = Cfg::type_name,
    .tp_basicsize = sizeof(typename Cfg::Object),
    .tp_dealloc = VectorCore<Cfg>::dealloc,
    .tp_repr = VectorProtocol<Cfg>::repr,
    .tp_as_number = &VectorArithmetic<Cfg>::number_slots,
    .tp_as_sequence = &VectorCore<Cfg>::Protocol::sequence_slots,
    .tp_as_mapping = &VectorCore<Cfg>::Protocol::mapping_slots,
    .tp_hash = VectorProtocol<Cfg>::hash,
    .tp_flags = Py_TPFLAGS_DEFAULT,  // not an acceptable base type
    .tp_doc = VectorProtocol<Cfg>::class_signature.data(),
    .tp_richcompare = VectorProtocol<Cfg>::richcompare,
    .tp_methods = VectorFamily<Cfg>::method_defs.get(),
    .tp_getset = VectorFamily<Cfg>::getsets.data(),
    .tp_init = VectorConstruction<Cfg>::tp_init,
    .tp_new = VectorConstruction<Cfg>::tp_new,
    .tp_vectorcall = VectorConstruction<Cfg>::vectorcall,
};

}  // namespace velmora
