// nanobind type casters for raylib's Vector2, Vector3 and Rectangle and velmora's vector4_t:
// a function taking or returning one of these records takes or returns velmora's Vector2,
// Vector3, Rect or Vector4. Include after <nanobind/nanobind.h>; see velmora_casters.hpp for
// what each accepts, and call velmora::import_tables() in NB_MODULE.
//
//     m.def("grow", [](Rectangle &r, float by) { r.width += by; });  // changes the Rect itself
//     m.def("grow_exact", …, nanobind::arg("r").noconvert());         // refuses a tuple
#ifndef VELMORA_NANOBIND_HPP
#define VELMORA_NANOBIND_HPP

#include "velmora_casters.hpp"

namespace velmora {

template <class Record> struct NanobindCaster {
    using Value = Record;
    static constexpr auto Name = ::nanobind::detail::const_name(RecordClass<Record>::name);
    // A reference or pointer parameter points into the object when one was given.
    template <class T> using Cast = ::nanobind::detail::precise_cast_t<T>;
    template <class T> static constexpr bool can_cast() { return true; }

    bool from_python(::nanobind::handle src, uint32_t flags, ::nanobind::detail::cleanup_list *) noexcept {
        record_ = load_record(src.ptr(), (flags & ::nanobind::detail::cast_flags::convert) != 0, local_);
        return record_ != nullptr;
    }
    // Results are copied into a new object, whatever the return value policy.
    static ::nanobind::handle from_cpp(const Record &r, ::nanobind::rv_policy,
                                       ::nanobind::detail::cleanup_list *) noexcept {
        return make_object(r);
    }
    static ::nanobind::handle from_cpp(const Record *r, ::nanobind::rv_policy,
                                       ::nanobind::detail::cleanup_list *) noexcept {
        return r == nullptr ? ::nanobind::none().release() : make_object(*r);
    }

    operator Record *() { return record_; }
    operator Record &() { return *record_; }
    operator Record &&() { return static_cast<Record &&>(*record_); }

private:
    Record *record_ = nullptr;
    Record local_{};  // a converted list or tuple
};

}  // namespace velmora

namespace nanobind::detail {
template <> struct type_caster<Vector2> : velmora::NanobindCaster<Vector2> {};
template <> struct type_caster<Vector3> : velmora::NanobindCaster<Vector3> {};
template <> struct type_caster<vector4_t> : velmora::NanobindCaster<vector4_t> {};
template <> struct type_caster<Rectangle> : velmora::NanobindCaster<Rectangle> {};
}  // namespace nanobind::detail

#endif  // VELMORA_NANOBIND_HPP
