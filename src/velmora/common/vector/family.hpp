// The vector family: Vector2, Vector3 and Vector4 are one template, instantiated by each vector
// module with a configuration (VectorConfig, in core.hpp) that names its record, component
// count, letters and own rows. The parts are in this folder: core.hpp (names, record, free
// list), construction.hpp, arithmetic.hpp (with kernels.hpp), protocol.hpp (with swizzles.hpp),
// binding.hpp (how rows meet Python and the C table) and members.hpp, the rows. Here they become
// the class: its method, static-method and property tables, its number slots and its C-level
// table, all filled from the rows; the type object as data; and the module frame.
#pragma once

#include "../frame.hpp"
#include "members.hpp"

namespace velmora {

template <VectorConfig Config>
struct VectorFamily : VectorConstruction<Config>, VectorArithmetic<Config>, VectorProtocol<Config> {
    VELMORA_VECTOR_NAMES;
    using Construction = VectorConstruction<Config>;
    using Arithmetic = VectorArithmetic<Config>;
    using Protocol = VectorProtocol<Config>;
    using Lists = VectorMembers<Config>;
    using Core::cast;
    using Core::load;
    using Core::make;
    using Core::table;

    // The family's rows, the class's own, then the game toolkit's.
    static constexpr auto class_rows() {
        if constexpr (requires { typename Config::Own; }) {
            return typename Config::Own{};
        } else {
            return velmora::Members<>{};
        }
    }
    static constexpr auto toolkit_rows() {
        if constexpr (N < 4) {
            return Join<typename Lists::Toolkit, typename Lists::Planar>{};
        } else {
            return typename Lists::Toolkit{};
        }
    }
    using Rows = typename Join<typename Lists::Attributes, typename Lists::Common, decltype(class_rows()),
                               decltype(toolkit_rows())>::template In<VectorBinding<Config>>;

    static inline MethodDefs<Rows::methods.size()> method_defs;
    static inline MethodDefs<Rows::statics.size()> static_defs;
    static PyMethodDef *static_methods() { return static_defs.fill(Rows::statics); }
    static inline auto getsets = getset_table<Rows>();

    static int prepare() {
        if (intern_component_names() < 0 || Core::Items::prepare() < 0 || Rows::prepare() < 0 ||
            (Construction::foreign_marker == nullptr &&
             (Construction::foreign_marker = PyUnicode_InternFromString("clamp_magnitude_ip")) == nullptr)) {
            return -1;
        }
        method_defs.fill(Rows::methods);
        Rows::fill(table, &Arithmetic::number_slots);
        return 0;
    }

    static const char *describe() {
        static constinit std::atomic<const char *> made{nullptr};
        return velmora::describe(made, Rows::described);
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
        ModuleFrame f = class_frame<Config::type_name, Protocol::pickling_refused>(
            Core::def_name.data(), Core::module_path.data(), &Core::type, Core::class_name.data(), &table, prepare,
            check_host_type);
        f.builtins = builtins;
        f.static_methods = static_methods;
        f.describe = describe;
        f.freelist = Core::freelist.info();
        return f;
    }
};

// The class as data. Its doc is a text signature only, so the class has no docstring.
template <VectorConfig Config> PyTypeObject VectorCore<Config>::type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0).tp_name = Config::type_name,
    .tp_basicsize = sizeof(typename Config::Object),
    .tp_dealloc = VectorCore<Config>::dealloc,
    .tp_repr = VectorProtocol<Config>::repr,
    .tp_as_number = &VectorArithmetic<Config>::number_slots,
    .tp_as_sequence = &VectorCore<Config>::Items::sequence_slots,
    .tp_as_mapping = &VectorCore<Config>::Items::mapping_slots,
    .tp_hash = VectorProtocol<Config>::hash,
    .tp_flags = Py_TPFLAGS_DEFAULT,  // not an acceptable base type
    .tp_doc = VectorProtocol<Config>::class_signature.data(),
    .tp_richcompare = VectorProtocol<Config>::richcompare,
    .tp_methods = VectorFamily<Config>::method_defs.get(),
    .tp_getset = VectorFamily<Config>::getsets.data(),
    .tp_init = VectorConstruction<Config>::tp_init,
    .tp_new = VectorConstruction<Config>::tp_new,
    .tp_vectorcall = VectorConstruction<Config>::vectorcall,
};

}  // namespace velmora
