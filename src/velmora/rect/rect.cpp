// velmora.rect.rect: Rect, an axis-aligned rectangle in raylib's Rectangle layout.
//
// This file is the module's one translation unit: the headers beside it hold the record and
// state (fields.hpp), argument readers, construction, properties, collisions, the game toolkit
// and the conversions with the binding of Rect's rows; here are the rows themselves (every
// member of the class, in order), the type object and the module frame.
//
// Rect can be subclassed, so its C-level entries consult Python overrides when native code calls
// them with a zero skip-dispatch flag.
#include "conversions.hpp"
#include "frame.hpp"
#include "rows.hpp"

namespace velmora::rect {

// ---- the rows: every member of Rect, in order ----
//
// In typed signatures, Real is any real number, Point a Vector2 or any indexable pair, RectLike
// what collide_rect takes.

template <float Rectangle::*F, Name name, Name doc> using FieldRow =
    Attribute<name, "float", "Real", field<F>, set_field<F>, doc>;
template <At at, float Rectangle::*Pos, float Rectangle::*Extent, Name name, Name doc> using EdgeRow =
    Attribute<name, "float", "Real", edge<at, Pos, Extent>, move_edge<at, Pos, Extent>, doc>;
template <At horizontal, At vertical, Name name, Name doc> using AnchorRow =
    Attribute<name, "Vector2", "Point", anchor<horizontal, vertical>, move_anchor<horizontal, vertical>, doc>;
template <Name name, Rectangle (*Change)(const Rectangle &, Point), bool in_place, Name typed, Name doc>
using OffsetRow = Custom<name, "($self, /, *args)", typed, offset_method<name, Change, in_place>, doc>;

using Tuple = ExactlyOrNone<&PyTuple_Type>;
using List = ExactlyOrNone<&PyList_Type>;
using Table = RectMethodTable;

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
    Entry<"get_width", "(self, /) -> float", width_of, &Table::get_width, "The width, as a float.">,
    Entry<"get_height", "(self, /) -> float", height_of, &Table::get_height, "The height, as a float.">,
    Entry<"collide_point", "(self, point: Point) -> bool", collide_point, &Table::collide_point, "Whether point (a Vector2, list or tuple of 2) is inside or on an edge; in double.">,
    Entry<"collide_point_vector2", "(self, point: Vector2) -> bool", collide_point_vector2, &Table::collide_point_vector2, "Whether the Vector2 point is inside or on an edge, by Python's <=.">,
    Entry<"collide_point_tuple", "(self, point: tuple[Any, ...]) -> bool", collide_point_sequence<Tuple>, &Table::collide_point_tuple, "Whether the tuple point is inside or on an edge, by Python's <=.">,
    Entry<"collide_point_list", "(self, point: list[Any]) -> bool", collide_point_sequence<List>, &Table::collide_point_list, "Whether the list point is inside or on an edge, by Python's <=.">,
    Entry<"collide_rect", "(self, other: RectLike) -> bool", collide_rect, &Table::collide_rect, "Whether other (a Rect, Vector4, list or tuple of 4) overlaps, in double; touching is no overlap.">,
    Entry<"collide_rect_vector4", "(self, other: Vector4) -> bool", collide_rect_vector4, &Table::collide_rect_vector4, "Whether the Vector4 (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"collide_rect_rect", "(self, other: Rect) -> bool", collide_rect_rect, &Table::collide_rect_rect, "Whether the Rect other overlaps, in 32-bit float; touching is no overlap.">,
    Entry<"collide_rect_tuple", "(self, other: tuple[Any, ...]) -> bool", collide_rect_sequence<Tuple>, &Table::collide_rect_tuple, "Whether the tuple (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"collide_rect_list", "(self, other: list[Any]) -> bool", collide_rect_sequence<List>, &Table::collide_rect_list, "Whether the list [x, y, w, h] overlaps, by Python's + and <; touching is no overlap.">,
    Entry<"get_vector4", "(self, /) -> Vector4", vector4_of, &Table::get_vector4, "The rectangle as a Vector4(x, y, width, height).", vector4_or_none>,
    Entry<"get_tuple", "(self, /) -> tuple[float, float, float, float]", as_tuple, &Table::get_tuple, "The rectangle as a tuple (x, y, width, height) of floats.", tuple_or_none>,
    TableEntry<&Table::new_, rect_new>,
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
    Method<"copy", "(self) -> Rect", copy, "A new Rect with the same fields.">,
    Method<"colliderect", "(self, other: Rect | Vector4 | Sequence[Real]) -> bool", colliderect, "pygame-ce's name, for pygame's sprite module: collide_rect's test, other also any sequence of 4 numbers (a pygame Rect).">>::In<RectBinding>;
// clang-format on

MethodDefs<Rows::methods.size()> method_defs;
auto getsets = getset_table<Rows>();

// ---- the type and the module ----

// The class as data. Its doc is a text signature only, so the class has no docstring.
PyTypeObject rect_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0).tp_name = type_name,
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
    static constinit std::atomic<const char *> made{nullptr};
    return velmora::describe(made, Rows::described);
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
