// velmora.rect.rect: Rect, an axis-aligned rectangle in raylib's Rectangle layout.
//
// This file is the module's one translation unit: the headers beside it hold the record and
// state (fields.hpp), argument readers, construction, properties, collisions and the game
// toolkit; here are the binding of Rect's rows, the rows themselves (every member of the class,
// in order), the conversions and protocols, the type object and the module frame.
//
// Rect can be subclassed, so its C-level entries consult Python overrides when native code calls
// them with a zero skip-dispatch flag.
#include "frame.hpp"
#include "rows.hpp"
#include "toolkit.hpp"

#include <type_traits>

namespace velmora::rect {

// ---- the binding of Rect's rows ----
//
// Parameters: a rectangle argument (Rectangle, as collide_rect reads it), a point, offset or
// size (Point, as `center =` reads it), a number (float or double), a typed argument of a
// collision method (InstanceOrNone, ExactlyOrNone), or any object. The receiver is the Rect
// (PyObject *) or its record. Results: a new Rect (Rectangle), a Vector2 (Point), a truth value
// (bool, or Truth when it can fail), a float (double), or an object the function made.

constexpr char rect_argument_message[] = "Argument must be a Rect, Vector4, tuple, or list of length 4";

struct RectBinding {
    static constexpr const char *owner = type_name;
    static constexpr bool subclassable = true;

    template <Name row, class P> VELMORA_HOT static bool read(PyObject *o, const char *param, P &out) {
        if constexpr (std::is_same_v<P, Rectangle>) {
            if (Py_TYPE(o) == &rect_type) {
                out = raw(o);
                return true;
            }
            return read_rect(o, std::array{&out.x, &out.y, &out.width, &out.height}, rect_argument_message);
        } else if constexpr (std::is_same_v<P, Point>) {
            return read_point(o, out.x, out.y);
        } else if constexpr (std::is_same_v<P, float> || std::is_same_v<P, double>) {
            return to_scalar(o, out);
        } else if constexpr (is_typed_or_none<P>) {
            PyTypeObject *want = P::type();
            if (o != Py_None && (P::exact ? Py_TYPE(o) != want : !is_instance(o, want))) {
                arg_type_error(param, want->tp_name, o);
                return false;
            }
            out.object = o;
            return true;
        } else if constexpr (std::is_same_v<P, PyObject *>) {
            out = o;
            return true;
        } else {
            static_assert(unsupported_parameter<row, P>, "the Rect binding reads a rectangle, a point, a number, a typed argument or any object");
            return false;
        }
    }

    template <Name row, class P> VELMORA_HOT static decltype(auto) receiver(PyObject *self) {
        if constexpr (std::is_same_v<P, PyObject *>) {
            return self;
        } else if constexpr (std::is_same_v<std::decay_t<P>, Rectangle> && std::is_reference_v<P>) {
            return (raw(self));
        } else {
            static_assert(unsupported_receiver<row, P>, "a Rect row's function takes the Rect as PyObject * or its record by reference");
        }
    }

    template <Name row, class R> VELMORA_HOT static PyObject *to_python(const R &r) {
        if constexpr (std::is_same_v<R, Rectangle>) {
            return obj(rect_new(r));
        } else if constexpr (std::is_same_v<R, Point>) {
            return obj(vector2_table->new_(r.x, r.y));
        } else if constexpr (std::is_same_v<R, bool>) {
            return Py_NewRef(r ? Py_True : Py_False);
        } else if constexpr (std::is_same_v<R, Truth>) {
            return r.value < 0 ? nullptr : Py_NewRef(r.value ? Py_True : Py_False);
        } else if constexpr (std::is_same_v<R, double>) {
            return PyFloat_FromDouble(r);
        } else if constexpr (std::is_same_v<R, PyObject *> || std::is_same_v<R, Vector4Object *>) {
            return obj(r);
        } else {
            static_assert(unsupported_result<row, R>, "a Rect row's function returns a Rectangle, a Point, bool, Truth, double or a new object");
            return nullptr;
        }
    }

    // The table passes objects, which the caller vouches for: the receiver as a RectObject *, the
    // typed arguments as the classes' records.
    template <Name row, class P, class C> VELMORA_HOT static decltype(auto) from_c(C c) {
        static_assert(std::is_pointer_v<C>, "Rect's entries take objects");
        if constexpr (std::is_same_v<P, PyObject *>) {
            return obj(c);
        } else if constexpr (is_typed_or_none<P>) {
            return P{obj(c)};
        } else if constexpr (std::is_same_v<std::decay_t<P>, Rectangle> && std::is_reference_v<P>) {
            return (raw(obj(c)));
        } else {
            static_assert(unsupported_entry_type<row, P>, "a Rect entry's function takes objects or the Rect's record");
        }
    }
    // An entry's result; a failure is traced under the operation's name, and a truth value that
    // failed is 0 with the exception set.
    template <Name row, class R, class F> VELMORA_HOT static R to_c(const F &r) {
        if constexpr (std::is_same_v<R, int> && std::is_same_v<F, Truth>) {
            if (r.value < 0) {
                fail::object(row.c_str());
                return 0;
            }
            return r.value;
        } else if constexpr (std::is_same_v<R, int> && std::is_same_v<F, bool>) {
            return r;
        } else if constexpr (std::is_pointer_v<R> && (std::is_same_v<F, double> || std::is_pointer_v<F>)) {
            PyObject *made;
            if constexpr (std::is_same_v<F, double>) {
                made = PyFloat_FromDouble(r);
            } else {
                made = obj(r);
            }
            return made ? reinterpret_cast<R>(made) : fail::object(row.c_str());
        } else {
            static_assert(unsupported_entry_type<row, F>, "the row's function result does not convert to its table slot's result");
            return R{};
        }
    }
    // An override's result: its truth value, or the object itself when it passes `check`.
    template <Name row, class R, auto check> static R from_override(ref &&result) {
        if constexpr (std::is_same_v<R, int>) {
            const int truth = result ? PyObject_IsTrue(result.get()) : -1;
            if (truth < 0) {
                fail::object(row.c_str());
                return 0;
            }
            return truth;
        } else {
            if constexpr (check != nullptr) {
                if (result && !check(result.get())) {
                    result = ref();
                }
            }
            return result ? result.release_as<std::remove_pointer_t<R>>() : fail::object(row.c_str());
        }
    }
};

// ---- conversions and protocols ----

Vector4Object *vector4_of(const Rectangle &r) { return vector4_table->new_(r.x, r.y, r.width, r.height); }
PyObject *as_tuple(const Rectangle &r) { return float_tuple(fields_of(r)); }

// An override of get_vector4 must give a Vector4 (or None), one of get_tuple a tuple.
bool vector4_or_none(PyObject *o) {
    if (o == Py_None || is_instance(o, vector4_type)) {
        return true;
    }
    PyErr_Format(PyExc_TypeError, "%.1sCannot convert %.200s to %.200s", "", Py_TYPE(o)->tp_name, vector4_type->tp_name);
    return false;
}
bool tuple_or_none(PyObject *o) {
    if (o == Py_None || PyTuple_CheckExact(o)) {
        return true;
    }
    PyErr_Format(PyExc_TypeError, "Expected %.42s, got %.200s", "tuple", Py_TYPE(o)->tp_name);
    return false;
}

PyObject *repr(PyObject *self) {
    static constexpr const char *pieces[] = {"Rect(position=(", ", ", "), size=(", ", ", "))"};
    PyObject *text = record_repr(pieces, fields_of(raw(self)));
    return text ? text : fail::object("__repr__");
}

PyObject *richcompare(PyObject *self, PyObject *other, int op) {
    if (op != Py_EQ && op != Py_NE) {
        Py_RETURN_NOTIMPLEMENTED;
    }
    bool equal = is_instance(other, &rect_type);
    if (equal) {
        const Rectangle &a = raw(self), &b = raw(other);
        equal = a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    return PyBool_FromLong(equal == (op == Py_EQ));
}

// ---- the rows: every member of Rect, in order ----
//
// In typed signatures, Real is any real number, Point a Vector2 or any indexable pair, RectLike
// what collide_rect takes.

template <float Rectangle::*F, Name name, Name doc>
using FieldRow = Attribute<name, "float", "Real", field<F>, set_field<F>, doc>;
template <At at, float Rectangle::*Pos, float Rectangle::*Extent, Name name, Name doc>
using EdgeRow = Attribute<name, "float", "Real", edge<at, Pos, Extent>, move_edge<at, Pos, Extent>, doc>;
template <At horizontal, At vertical, Name name, Name doc>
using AnchorRow = Attribute<name, "Vector2", "Point", anchor<horizontal, vertical>, move_anchor<horizontal, vertical>, doc>;
template <Name name, Rectangle (*Change)(const Rectangle &, Point), bool in_place, Name typed, Name doc>
using OffsetRow = Custom<name, "($self, /, *args)", typed, offset_method<name, Change, in_place>, doc>;

using Tuple = ExactlyOrNone<&PyTuple_Type>;
using List = ExactlyOrNone<&PyList_Type>;
using T = RectMethodTable;

// clang-format off
using Rows = Members<
    // fields, edges and centre
    FieldRow<&Rectangle::x, "x", "The left edge.">,
    FieldRow<&Rectangle::y, "y", "The top edge.">,
    FieldRow<&Rectangle::width, "w", "The width (alias of width).">,
    FieldRow<&Rectangle::height, "h", "The height (alias of height).">,
    FieldRow<&Rectangle::width, "width", "The width; never normalised.">,
    FieldRow<&Rectangle::height, "height", "The height; never normalised.">,
    FieldRow<&Rectangle::x, "left", "The left edge (alias of x).">,
    FieldRow<&Rectangle::y, "top", "The top edge (alias of y).">,
    EdgeRow<At::far, &Rectangle::x, &Rectangle::width, "right", "x + width in 32-bit float; setting it moves the rectangle.">,
    EdgeRow<At::far, &Rectangle::y, &Rectangle::height, "bottom", "y + height in 32-bit float; setting it moves the rectangle.">,
    EdgeRow<At::centre, &Rectangle::x, &Rectangle::width, "centerx", "x + width / 2 in double; setting it moves the rectangle.">,
    EdgeRow<At::centre, &Rectangle::y, &Rectangle::height, "centery", "y + height / 2 in double; setting it moves the rectangle.">,
    AnchorRow<At::centre, At::centre, "center", "The centre as a Vector2; set from a Vector2 or any indexable pair.">,
    // the overridable entries: slots 1 to 13 of the C-level table
    Entry<"get_width", "(self, /) -> float", width_of, &T::get_width, "The width, as a float.">,
    Entry<"get_height", "(self, /) -> float", height_of, &T::get_height, "The height, as a float.">,
    Entry<"collide_point", "(self, point: Point) -> bool", collide_point, &T::collide_point, "Whether point (a Vector2, list or tuple of 2) is inside or on an edge; in double.">,
    Entry<"collide_point_vector2", "(self, point: Vector2) -> bool", collide_point_vector2, &T::collide_point_vector2, "Whether the Vector2 point is inside or on an edge, by Python's <=.">,
    Entry<"collide_point_tuple", "(self, point: tuple[Any, ...]) -> bool", collide_point_sequence<Tuple>, &T::collide_point_tuple, "Whether the tuple point is inside or on an edge, by Python's <=.">,
    Entry<"collide_point_list", "(self, point: list[Any]) -> bool", collide_point_sequence<List>, &T::collide_point_list, "Whether the list point is inside or on an edge, by Python's <=.">,
    Entry<"collide_rect", "(self, other: RectLike) -> bool", collide_rect, &T::collide_rect, "Whether other (a Rect, Vector4, list or tuple of 4) overlaps, in double; touching is no overlap.">,
    Entry<"collide_rect_vector4", "(self, other: Vector4) -> bool", collide_rect_vector4, &T::collide_rect_vector4, "Whether the Vector4 (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"collide_rect_rect", "(self, other: Rect) -> bool", collide_rect_rect, &T::collide_rect_rect, "Whether the Rect other overlaps, in 32-bit float; touching is no overlap.">,
    Entry<"collide_rect_tuple", "(self, other: tuple[Any, ...]) -> bool", collide_rect_sequence<Tuple>, &T::collide_rect_tuple, "Whether the tuple (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"collide_rect_list", "(self, other: list[Any]) -> bool", collide_rect_sequence<List>, &T::collide_rect_list, "Whether the list [x, y, w, h] overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"get_vector4", "(self, /) -> Vector4", vector4_of, &T::get_vector4, "The rectangle as a Vector4(x, y, width, height).", vector4_or_none>,
    Entry<"get_tuple", "(self, /) -> tuple[float, float, float, float]", as_tuple, &T::get_tuple, "The rectangle as a tuple (x, y, width, height) of floats.", tuple_or_none>,
    TableEntry<&T::new_, rect_new>,
    // the game toolkit: Python members only
    AnchorRow<At::near, At::near, "topleft", "(x, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::far, At::near, "topright", "(right, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::near, At::far, "bottomleft", "(x, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::far, At::far, "bottomright", "(right, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::centre, At::near, "midtop", "(centerx, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::centre, At::far, "midbottom", "(centerx, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::near, At::centre, "midleft", "(x, centery) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<At::far, At::centre, "midright", "(right, centery) as a Vector2; setting it moves the rectangle, size unchanged.">,
    Attribute<"size", "Vector2", "Point", size_of, set_size, "(width, height) as a Vector2; set both from a Vector2 or any indexable pair.">,
    OffsetRow<"move", moved, false, "(self, dx: Real, dy: Real, /) -> Rect; (self, offset: Point, /) -> Rect", "move(dx, dy) or move(offset): a new Rect moved by the offset, each field in double rounded once.">,
    OffsetRow<"move_ip", moved, true, "(self, dx: Real, dy: Real, /) -> None; (self, offset: Point, /) -> None", "move_ip(dx, dy) or move_ip(offset): moves this rectangle, as move does; returns None.">,
    OffsetRow<"inflate", inflated, false, "(self, dw: Real, dh: Real, /) -> Rect; (self, delta: Point, /) -> Rect", "inflate(dw, dh) or inflate(delta): a new Rect grown about its centre: x - dw/2, y - dh/2, width + dw, height + dh.">,
    OffsetRow<"inflate_ip", inflated, true, "(self, dw: Real, dh: Real, /) -> None; (self, delta: Point, /) -> None", "inflate_ip(dw, dh) or inflate_ip(delta): grows this rectangle, as inflate does; returns None.">,
    Method<"clip", "(self, other: RectLike) -> Rect", clip, "The overlap with other, raylib's GetCollisionRec bit for bit; a zero Rect where they do not overlap.">,
    Method<"union", "(self, other: RectLike) -> Rect", union_of, "The smallest Rect covering both; edges as 32-bit sums, nothing normalised (as pygame-ce's FRect).">,
    Method<"union_ip", "(self, other: RectLike) -> None", union_in_place, "Makes this rectangle the union with other; returns None.">,
    Method<"contains", "(self, other: RectLike) -> bool", contains, "Whether other lies inside, edges included (a zero-size rectangle on an edge too); NaN is never inside.">,
    Method<"clamp", "(self, bounds: RectLike) -> Rect", clamp, "A new Rect moved inside bounds, centred on an axis where it is at least as large (as pygame-ce's FRect).">,
    Method<"clamp_ip", "(self, bounds: RectLike) -> None", clamp_in_place, "Moves this rectangle inside bounds, as clamp does; returns None.">,
    Method<"collide_circle", "(self, center: Point, radius: Real) -> bool", collide_circle, "Whether the circle touches or overlaps, raylib's CheckCollisionCircleRec(center, radius, self) bit for bit.">,
    Method<"collide_list", "(self, rects: Iterable[RectLike]) -> int", collide_list<false>, "The index of the first item of rects that overlaps by collide_rect's rule, or -1.">,
    Method<"collide_list_all", "(self, rects: Iterable[RectLike]) -> list[int]", collide_list<true>, "The indices of every item of rects that overlaps by collide_rect's rule.">,
    Method<"copy", "(self) -> Rect", copy, "A new Rect with the same fields.">>::In<RectBinding>;
// clang-format on

MethodDefs<Rows::methods.size()> method_defs;
auto getsets = getset_table<Rows>();

// ---- the type and the module ----

// The class as data. Its doc is a text signature only, so the class has no docstring.
PyTypeObject rect_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0)
    .tp_name = type_name,
    .tp_basicsize = sizeof(RectObject),
    .tp_dealloc = dealloc,
    .tp_repr = repr,
    .tp_as_sequence = &Items::sequence_slots,
    .tp_as_mapping = &Items::mapping_slots,
    .tp_hash = PyObject_HashNotImplemented,
    .tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
    .tp_doc = "Rect(*args)\n--\n\n",
    .tp_richcompare = richcompare,
    .tp_methods = method_defs.get(),
    .tp_getset = getsets.data(),
    .tp_init = tp_init,
    .tp_new = tp_new,
    .tp_vectorcall = vectorcall,
};

int prepare() {
    if (intern_component_names() < 0 || Items::prepare() < 0 || Rows::prepare() < 0) {
        return -1;
    }
    method_defs.fill(Rows::methods);
    Rows::fill(table);
    return 0;
}

int import_vectors() {
    if (import_class("velmora.vector2.vector2", "Vector2", sizeof(Vector2Object), vector2_type,
                     reinterpret_cast<void **>(&vector2_table)) < 0) {
        return -1;
    }
    return import_class("velmora.vector4.vector4", "Vector4", sizeof(Vector4Object), vector4_type,
                        reinterpret_cast<void **>(&vector4_table));
}

const char *describe() {
    static const char *rows = velmora::describe(Rows::described);
    return rows;
}

constexpr char pickling_refused[] =
    "Pickling of struct members such as self._raw must be explicitly requested with @auto_pickle(True)";

ModuleFrame make_frame() {
    ModuleFrame f = class_frame<type_name, pickling_refused>("rect", "velmora.rect.rect", &rect_type, "Rect", &table,
                                                             prepare, import_vectors);
    f.freelist = freelist.info();
    f.describe = describe;
    return f;
}
ModuleFrame frame = make_frame();

}  // namespace velmora::rect

VELMORA_MODULE(rect, velmora::rect::frame)
