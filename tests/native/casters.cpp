// A module using velmora's type casters, built once with pybind11 (VELMORA_PYBIND11) and once
// with nanobind by tests/test_casters.py, against the installed headers; never shipped.
#if defined(VELMORA_PYBIND11)
#include <pybind11/pybind11.h>
#include <velmora_pybind11.hpp>
namespace lib = pybind11;
#define MODULE(name, m) PYBIND11_MODULE(name, m)
using python_error = pybind11::error_already_set;
#else
#include <nanobind/nanobind.h>
#include <velmora_nanobind.hpp>
namespace lib = nanobind;
#define MODULE(name, m) NB_MODULE(name, m)
using python_error = nanobind::python_error;
#endif

template <class Record> Record echo(Record r) { return r; }

MODULE(VELMORA_MODULE, m) {
    if (velmora::import_tables() < 0) {
        throw python_error();
    }
    // By value, each way; with conversion refused.
    m.def("echo2", echo<Vector2>);
    m.def("echo3", echo<Vector3>);
    m.def("echo4", echo<vector4_t>);
    m.def("echo_rect", echo<Rectangle>);
    m.def("echo2_exact", echo<Vector2>, lib::arg("v").noconvert());
    m.def("echo3_exact", echo<Vector3>, lib::arg("v").noconvert());
    m.def("echo4_exact", echo<vector4_t>, lib::arg("v").noconvert());
    m.def("echo_rect_exact", echo<Rectangle>, lib::arg("r").noconvert());
    // By reference and pointer: into the object's own record.
    m.def("scale2", [](Vector2 &v, float k) { v.x *= k, v.y *= k; });
    m.def("scale3", [](Vector3 *v, float k) { v->x *= k, v->y *= k, v->z *= k; });
    m.def("scale4", [](vector4_t &v, double k) { v.x *= k, v.y *= k, v.z *= k, v.w *= k; });
    m.def("grow", [](Rectangle &r, float by) { r.width += by, r.height += by; });
    m.def("address", [](const Rectangle &r) { return reinterpret_cast<uintptr_t>(&r); });
    // Results made from fields, and a pointer result that may be null (None).
    m.def("centre", [](const Rectangle &r) { return Vector2{r.x + r.width / 2, r.y + r.height / 2}; });
    m.def("maybe", [](bool some) {
        static const Rectangle unit{0, 0, 1, 1};
        return some ? &unit : nullptr;
    });
}
