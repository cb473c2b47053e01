// pybind11 type casters for raylib's Vector2, Vector3 and Rectangle and velmora's vector4_t:
// a function taking or returning one of these records takes or returns velmora's Vector2,
// Vector3, Rect or Vector4. Include after <pybind11/pybind11.h>; see velmora_casters.hpp for
// what each accepts, and call velmora::import_tables() in PYBIND11_MODULE.
//
//     m.def("grow", [](Rectangle &r, float by) { r.width += by; });  // changes the Rect itself
//     m.def("grow_exact", …, pybind11::arg("r").noconvert());         // refuses a tuple
#ifndef VELMORA_PYBIND11_HPP
#define VELMORA_PYBIND11_HPP

#include "velmora_casters.hpp"

namespace velmora {

template <class Record> class Pybind11Caster {
public:
    static constexpr auto name = ::pybind11::detail::const_name(RecordClass<Record>::name);

    bool load(::pybind11::handle src, bool convert) {
        record_ = load_record(src.ptr(), convert, local_);
        return record_ != nullptr;
    }
    // Results are copied into a new object, whatever the return value policy.
    static ::pybind11::handle cast(const Record &r, ::pybind11::return_value_policy, ::pybind11::handle) {
        return make_object(r);
    }
    static ::pybind11::handle cast(const Record *r, ::pybind11::return_value_policy, ::pybind11::handle) {
        return r == nullptr ? ::pybind11::none().release() : make_object(*r);
    }

    // A reference or pointer parameter points into the object when one was given.
    operator Record *() { return record_; }
    operator Record &() { return *record_; }
    template <class T> using cast_op_type = ::pybind11::detail::cast_op_type<T>;

private:
    Record *record_ = nullptr;
    Record local_{};  // a converted list or tuple
};

}  // namespace velmora

namespace pybind11::detail {
template <> class type_caster<Vector2> : public velmora::Pybind11Caster<Vector2> {};
template <> class type_caster<Vector3> : public velmora::Pybind11Caster<Vector3> {};
template <> class type_caster<vector4_t> : public velmora::Pybind11Caster<vector4_t> {};
template <> class type_caster<Rectangle> : public velmora::Pybind11Caster<Rectangle> {};
}  // namespace pybind11::detail

#endif  // VELMORA_PYBIND11_HPP
