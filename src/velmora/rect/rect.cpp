// velmora.rect.rect: Rect, an axis-aligned rectangle in raylib's Rectangle layout.
//
// Precision is part of each operation's contract: far edges (right, bottom) are 32-bit
// float sums; centres are one double rounding; the typed collision methods compare Python
// objects with Python's own operators. Rect can be subclassed, so its C-level entries
// consult Python overrides when native code calls them with a zero skip-dispatch flag.
#include "dispatch.hpp"
#include "frame.hpp"
#include "lifecycle.hpp"
#include "readers.hpp"
#include "record.hpp"
#include "rows.hpp"

#include <array>
#include <cmath>
#include <tuple>

namespace velmora {
namespace {

constexpr char type_name[] = "velmora.rect.rect.Rect";
using fail = Fail<type_name>;

extern PyTypeObject rect_type;
RectMethodTable table{};
FreeList<RectObject, 1000> freelist;  // exact Rects only, never a subclass's instances

// Imported at initialisation and kept for the life of the process.
PyTypeObject *vector2_type = nullptr;
Vector2MethodTable *vector2_table = nullptr;
PyTypeObject *vector4_type = nullptr;
Vector4MethodTable *vector4_table = nullptr;

RectObject *cast(PyObject *o) { return reinterpret_cast<RectObject *>(o); }
PyObject *obj(void *o) { return reinterpret_cast<PyObject *>(o); }
Rectangle &raw(PyObject *o) { return cast(o)->_raw; }

float right_of(const Rectangle &r) { return r.x + r.width; }
float bottom_of(const Rectangle &r) { return r.y + r.height; }

// ---- the record: index order x, y, width, height ----

struct Traits {
    using Scalar = float;
    static constexpr int N = 4;
    static constexpr const char *owner = type_name;
    static constexpr const char *index_error = "Rect index out of range";
    static float &field(PyObject *self, Py_ssize_t i) {
        static constexpr float Rectangle::*fields[N] = {&Rectangle::x, &Rectangle::y, &Rectangle::width,
                                                         &Rectangle::height};
        return raw(self).*fields[i];
    }
};
using Protocol = RecordProtocol<Traits>;

std::array<double, 4> widened(const Rectangle &r) { return {r.x, r.y, r.width, r.height}; }

// ---- reading vector arguments ----
//
// An exact Vector2 or Vector4 is read from its record. Both classes are final and their
// component attributes cannot be replaced, so this gives exactly what reading x, y (z, w) as
// attributes and converting them gives, in the same order, without making a float for each;
// anything else that is a vector of the class (and every foreign object) is read by attribute.

template <class T> bool exact_vector2(PyObject *o, const std::array<T *, 2> &out) {
    if (Py_TYPE(o) != vector2_type) {
        return false;
    }
    const ::Vector2 &d = reinterpret_cast<Vector2Object *>(o)->data;
    *out[0] = static_cast<T>(static_cast<double>(d.x));
    *out[1] = static_cast<T>(static_cast<double>(d.y));
    return true;
}
template <class T> bool exact_vector4(PyObject *o, const std::array<T *, 4> &out) {
    if (Py_TYPE(o) != vector4_type) {
        return false;
    }
    const vector4_t &d = reinterpret_cast<Vector4Object *>(o)->data;
    *out[0] = static_cast<T>(d.x);
    *out[1] = static_cast<T>(d.y);
    *out[2] = static_cast<T>(d.z);
    *out[3] = static_cast<T>(d.w);
    return true;
}

// The components of an argument known to be a Vector2 (N = 2) or Vector4 (N = 4).
template <class T, size_t N> bool read_vector(PyObject *o, const std::array<T *, N> &out) {
    if constexpr (N == 2) {
        if (exact_vector2(o, out)) {
            return true;
        }
    } else {
        if (exact_vector4(o, out)) {
            return true;
        }
    }
    return read_components(o, true, out);
}

// A point or a size, as `center =` takes it: a Vector2's x and y, or items 0 and 1 of any
// indexable object (its length is not tested), each converted as soon as it is read.
template <class T> bool read_point(PyObject *o, T &x, T &y) {
    const std::array out{&x, &y};
    if (exact_vector2(o, out)) {
        return true;
    }
    return read_components(o, is_instance(o, vector2_type), out);
}

// A Vector2, or a list or tuple of exactly two numbers; anything else is ValueError(message).
template <class T> bool read_vector2_or_pair(PyObject *o, const std::array<T *, 2> &out, const char *message) {
    return exact_vector2(o, out) || read_vector_or_sequence(o, vector2_type, out, message);
}

// ---- creation and destruction ----

// A zero rectangle of `type`: exact Rects from the free list, others by the class's
// creation path.
PyObject *create(PyTypeObject *type) {
    PyObject *self = type == &rect_type ? obj(freelist.take(type)) : allocate_instance(type);
    if (self != nullptr) {
        cast(self)->vtab = &table;
        raw(self) = Rectangle{0, 0, 0, 0};
    }
    return self;
}

PyObject *tp_new(PyTypeObject *type, PyObject *, PyObject *) { return create(type); }

void dealloc(PyObject *self) {
    // An exact Rect has no finaliser to run; only a subclass's instances may.
    if (Py_TYPE(self) == &rect_type) {
        if (!freelist.keep(self)) {
            rect_type.tp_free(self);
        }
        return;
    }
    if (finalize_from_dealloc(self, dealloc)) {  // false: resurrected
        Py_TYPE(self)->tp_free(self);
    }
}

RectObject *rect_new(Rectangle record) {
    PyObject *self = create(&rect_type);
    if (self == nullptr) {
        return fail::object("new");
    }
    raw(self) = record;
    return cast(self);
}

// ---- __init__ ----

int init_one(Rectangle &r, PyObject *a) {
    if (is_instance(a, vector2_type)) {
        r.x = r.y = 0;
        return read_vector(a, std::array{&r.width, &r.height}) ? 0 : -1;
    }
    if (is_instance(a, &rect_type)) {
        r = raw(a);
        return 0;
    }
    const std::array all{&r.x, &r.y, &r.width, &r.height};
    if (is_instance(a, vector4_type)) {
        return read_vector(a, all) ? 0 : -1;
    }
    if (is_list_or_tuple(a)) {
        return sized_sequence(a, 4, "list/tuple for rect must have 4 elements") && read_components(a, false, all) ? 0 : -1;
    }
    PyErr_SetString(PyExc_ValueError, "Rect takes Vector2, Rect, Vector4, or list/tuple of length 4");
    return -1;
}

int init_two(PyObject *self, PyObject *position, PyObject *size) {
    Rectangle r = raw(self);
    const std::array extent{&r.width, &r.height};
    if (is_instance(position, vector2_type)) {
        // Any size with numeric x and y attributes serves here.
        if (!read_vector(position, std::array{&r.x, &r.y}) ||
            !read_vector(size, extent)) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    if (!sized_sequence(position, 2, "First argument must be a Vector2 or list/tuple of length 2") ||
        !read_components(position, false, std::array{&r.x, &r.y}) ||
        !(exact_vector2(size, extent) || read_components(size, false, extent))) {
        return -1;
    }
    raw(self) = r;
    // The size is read a second time, now to validate it: the values just stored stay
    // when it turns out to be neither a Vector2 nor a list or tuple of two (a mapping, say),
    // and a size whose items change between the reads is stored as read the second time.
    if (!read_vector2_or_pair(size, extent, "Second argument must be a Vector2 or list/tuple of length 2")) {
        return -1;
    }
    raw(self) = r;
    return 0;
}

int init_args(PyObject *self, PyObject *const *a, Py_ssize_t n) {
    switch (n) {
    case 0:
        raw(self) = Rectangle{0, 0, 0, 0};
        return 0;
    case 1: {
        Rectangle r = raw(self);
        if (init_one(r, a[0]) < 0) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    case 2:
        return init_two(self, a[0], a[1]);
    case 4: {
        Rectangle r;
        if (!to_scalar(a[0], r.x) || !to_scalar(a[1], r.y) || !to_scalar(a[2], r.width) || !to_scalar(a[3], r.height)) {
            return -1;
        }
        raw(self) = r;
        return 0;
    }
    default:
        PyErr_Format(PyExc_TypeError, "Rect expected 0, 1, 2, or 4 arguments, got %d", static_cast<int>(n));
        return -1;
    }
}

int tp_init(PyObject *self, PyObject *args, PyObject *kwds) {
    if (no_keywords(kwds) && init_args(self, PySequence_Fast_ITEMS(args), PyTuple_GET_SIZE(args)) == 0) {
        return 0;
    }
    return fail::status("__init__");
}

// Calling Rect itself: what __new__ followed by __init__ does, without an argument tuple.
// Subclasses do not inherit it and take the ordinary path.
PyObject *vectorcall(PyObject *type, PyObject *const *args, size_t nargsf, PyObject *kwnames) {
    const Py_ssize_t n = PyVectorcall_NARGS(nargsf);
    if (kwnames == nullptr && n == 4) {
        // The common call, four numbers: converted before an instance is taken.
        Rectangle r;
        if (!to_scalar(args[0], r.x) || !to_scalar(args[1], r.y) || !to_scalar(args[2], r.width) ||
            !to_scalar(args[3], r.height)) {
            return fail::object("__init__");
        }
        PyObject *self = obj(rect_new(r));
        return self ? self : fail::object("__init__");
    }
    if (kwnames == nullptr && n == 1 && Py_TYPE(args[0]) == &rect_type) {
        PyObject *self = obj(rect_new(raw(args[0])));  // a copy
        return self ? self : fail::object("__init__");
    }
    ref self = ref::steal(create(reinterpret_cast<PyTypeObject *>(type)));
    if (!self) {
        return nullptr;
    }
    if (no_keyword_names(kwnames) && init_args(self.get(), args, n) == 0) {
        return self.release();
    }
    return fail::object("__init__");
}

// ---- properties ----

int set_failed(const char *name) {
    char member[32];
    PyOS_snprintf(member, sizeof member, "%s.__set__", name);
    return fail::status(member);
}

// A plain field: get widens, set converts.
template <float Rectangle::*Field> struct Plain {
    static PyObject *get(PyObject *self, void *) { return PyFloat_FromDouble(raw(self).*Field); }
    static int set(PyObject *self, PyObject *value, void *closure) {
        if (value == nullptr) {
            refuse_property_delete();
        } else if (to_scalar(value, raw(self).*Field)) {
            return 0;
        }
        return set_failed(static_cast<const char *>(closure));
    }
};

// Where a point of the rectangle lies along one axis, as the getters compute it: at the near
// edge (x), the centre (x + width × 0.5 in double: width × 0.5 is exact, so the sum rounds
// once), or the far edge (x + width, a 32-bit sum).
enum class At { near, centre, far };
template <At at> double coordinate(float near, float extent) {
    if constexpr (at == At::near) {
        return near;
    } else if constexpr (at == At::centre) {
        return static_cast<double>(near) + static_cast<double>(extent) * 0.5;
    } else {
        return static_cast<float>(near + extent);
    }
}
// The near edge that puts that point on `value`: value − offset in double, rounded once to
// float (the offset, extent or extent × 0.5, is exact in double).
template <At at> float near_edge(double value, float extent) {
    if constexpr (at == At::near) {
        return static_cast<float>(value);
    } else if constexpr (at == At::centre) {
        return static_cast<float>(value - static_cast<double>(extent) * 0.5);
    } else {
        return static_cast<float>(value - static_cast<double>(extent));
    }
}

// Edges and centres move the rectangle: position = value - offset, with Python's own
// subtraction so any object that subtracts a float is accepted.
template <float Rectangle::*Pos, float Rectangle::*Extent, bool Centre> struct Moving {
    static PyObject *get(PyObject *self, void *) {
        const Rectangle &r = raw(self);
        return PyFloat_FromDouble(Centre ? coordinate<At::centre>(r.*Pos, r.*Extent) : coordinate<At::far>(r.*Pos, r.*Extent));
    }
    static int set(PyObject *self, PyObject *value, void *closure) {
        if (value == nullptr) {
            refuse_property_delete();
            return set_failed(static_cast<const char *>(closure));
        }
        const double extent = static_cast<double>(raw(self).*Extent);
        ref offset = ref::steal(PyFloat_FromDouble(Centre ? extent * 0.5 : extent));
        ref position = offset ? ref::steal(PyNumber_Subtract(value, offset.get())) : ref();
        float stored;
        if (!position || !to_scalar(position.get(), stored)) {
            return set_failed(static_cast<const char *>(closure));
        }
        raw(self).*Pos = stored;
        return 0;
    }
};

// A point of the rectangle as a Vector2 (center, topleft, midbottom…). Setting it moves the
// rectangle so that the point lands on the value (a Vector2 or any indexable pair), the size
// unchanged; both coordinates are stored together once both are known.
template <Name name, At horizontal, At vertical> struct Anchor {
    static constexpr auto get_name = join(text(name.text), text(".__get__"));
    static PyObject *get(PyObject *self, void *) {
        const Rectangle &r = raw(self);
        PyObject *point = obj(vector2_table->new_(coordinate<horizontal>(r.x, r.width), coordinate<vertical>(r.y, r.height)));
        return point ? point : fail::object(get_name.data());
    }
    static int set(PyObject *self, PyObject *value, void *) {
        double px, py;
        if (value == nullptr) {
            refuse_property_delete();
            return set_failed(name.c_str());
        }
        if (!read_point(value, px, py)) {
            return set_failed(name.c_str());
        }
        Rectangle &r = raw(self);
        const float x = near_edge<horizontal>(px, r.width);
        const float y = near_edge<vertical>(py, r.height);
        r.x = x;
        r.y = y;
        return 0;
    }
};
using Center = Anchor<"center", At::centre, At::centre>;
template <Name name, At horizontal, At vertical, Name doc>
using AnchorRow = GetSet<name, Anchor<name, horizontal, vertical>::get, Anchor<name, horizontal, vertical>::set, doc>;

template <float Rectangle::*Field> constexpr PyGetSetDef plain(const char *name, const char *doc) {
    return {name, Plain<Field>::get, Plain<Field>::set, doc, const_cast<char *>(name)};
}
template <float Rectangle::*Pos, float Rectangle::*Extent, bool Centre>
constexpr PyGetSetDef moving(const char *name, const char *doc) {
    using M = Moving<Pos, Extent, Centre>;
    return {name, M::get, M::set, doc, const_cast<char *>(name)};
}

constexpr PyGetSetDef own_getsets[] = {
    plain<&Rectangle::x>("x", "The left edge."),
    plain<&Rectangle::y>("y", "The top edge."),
    plain<&Rectangle::width>("w", "The width (alias of width)."),
    plain<&Rectangle::height>("h", "The height (alias of height)."),
    plain<&Rectangle::width>("width", "The width; never normalised."),
    plain<&Rectangle::height>("height", "The height; never normalised."),
    plain<&Rectangle::x>("left", "The left edge (alias of x)."),
    plain<&Rectangle::y>("top", "The top edge (alias of y)."),
    moving<&Rectangle::x, &Rectangle::width, false>("right", "x + width in 32-bit float; setting it moves the rectangle."),
    moving<&Rectangle::y, &Rectangle::height, false>("bottom", "y + height in 32-bit float; setting it moves the rectangle."),
    moving<&Rectangle::x, &Rectangle::width, true>("centerx", "x + width / 2 in double; setting it moves the rectangle."),
    moving<&Rectangle::y, &Rectangle::height, true>("centery", "y + height / 2 in double; setting it moves the rectangle."),
    {"center", Center::get, Center::set, "The centre as a Vector2; set from a Vector2 or any indexable pair.", nullptr},
};

// ---- collision tests ----

// The inclusive point test and strict overlap test in double, against 32-bit far edges.
bool point_inside(const Rectangle &r, double px, double py) {
    return px >= r.x && px <= static_cast<double>(right_of(r)) && py >= r.y && py <= static_cast<double>(bottom_of(r));
}
bool overlaps(const Rectangle &r, double ox, double oy, double ow, double oh) {
    return ox + ow > r.x && static_cast<double>(right_of(r)) > ox && oy + oh > r.y && static_cast<double>(bottom_of(r)) > oy;
}

// The typed tests' chained comparisons with Python objects, axis by axis:
//     x OP first(axis)   and then   second(axis) OP right,   likewise with y and bottom,
// stopping at the first false one. Each of the rectangle's values is made at the moment its
// comparison needs it: the argument's comparisons and additions run Python code that may
// change the rectangle in between. 1, 0, or -1 with an exception set.
template <class First, class Second> int chained(PyObject *self, int op, First first, Second second) {
    for (int axis = 0; axis < 2; ++axis) {
        ref low = ref::steal(PyFloat_FromDouble(axis == 0 ? raw(self).x : raw(self).y));
        ref a = low ? first(axis) : ref();
        if (!a) {
            return -1;
        }
        int t = PyObject_RichCompareBool(low.get(), a.get(), op);
        if (t <= 0) {
            return t;
        }
        ref b = second(axis, a);
        ref high = b ? ref::steal(PyFloat_FromDouble(axis == 0 ? right_of(raw(self)) : bottom_of(raw(self)))) : ref();
        if (!high) {
            return -1;
        }
        t = PyObject_RichCompareBool(b.get(), high.get(), op);
        if (t <= 0) {
            return t;
        }
    }
    return 1;
}

// x <= px <= right, then y <= py <= bottom.
int point_python(PyObject *self, PyObject *p, bool vector) {
    return chained(
        self, Py_LE, [&](int axis) { return component(p, vector, axis); },
        [](int, const ref &px) { return ref::borrow(px.get()); });
}

// x < ox + ow, ox < right, y < oy + oh, oy < bottom.
int rect_python(PyObject *self, PyObject *o, bool vector) {
    return chained(
        self, Py_LT,
        [&](int axis) {
            ref near = component(o, vector, axis);
            ref extent = near ? component(o, vector, axis + 2) : ref();
            return extent ? ref::steal(PyNumber_Add(near.get(), extent.get())) : ref();
        },
        // ox is read a second time, as the comparison `ox < right` reads it afresh: the item
        // may have changed since.
        [&](int axis, const ref &) { return component(o, vector, axis); });
}

// The own code of each collision method: 1 or 0, or -1 with an exception set.
VELMORA_HOT int own_collide_point(PyObject *self, PyObject *p) {
    double px, py;
    if (!read_vector2_or_pair(p, std::array{&px, &py}, "Point must be a Vector2, tuple, or list of length 2")) {
        return -1;
    }
    return point_inside(raw(self), px, py);
}

// A rectangle as collide_rect reads it: a Rect's fields, a Vector4's components, or the items
// of a list or tuple of exactly four; anything else is ValueError(message). Callers test for an
// exact Rect, the common argument, themselves and read it in place.
template <class T> bool read_rect(PyObject *o, const std::array<T *, 4> &out, const char *message) {
    if (is_instance(o, &rect_type)) {
        const Rectangle &r = raw(o);
        *out[0] = r.x, *out[1] = r.y, *out[2] = r.width, *out[3] = r.height;
        return true;
    }
    return exact_vector4(o, out) || read_vector_or_sequence(o, vector4_type, out, message);
}

constexpr char collision_rect_message[] = "rect for collision must be a Rect, Vector4, tuple, or list of length 4";

VELMORA_HOT int own_collide_rect(PyObject *self, PyObject *o) {
    if (Py_TYPE(o) == &rect_type) {
        const Rectangle &r = raw(o);
        return overlaps(raw(self), r.x, r.y, r.width, r.height);
    }
    double v[4];
    if (!read_rect(o, std::array{&v[0], &v[1], &v[2], &v[3]}, collision_rect_message)) {
        return -1;
    }
    return overlaps(raw(self), v[0], v[1], v[2], v[3]);
}

// Native callers may pass anything here: nothing is read as a rectangle unless it is one.
int own_collide_rect_rect(PyObject *self, PyObject *o) {
    if (!is_instance(o, &rect_type)) {
        arg_type_error("other", type_name, o);
        return -1;
    }
    const Rectangle &r = raw(self), &s = raw(o);
    return s.x + s.width > r.x && right_of(r) > s.x && s.y + s.height > r.y && bottom_of(r) > s.y;
}

// For an exact Vector2 or Vector4, Python's comparisons and additions of the floats its
// attributes give are the tests in double above, read from its record.
int own_point_vector2(PyObject *self, PyObject *p) {
    double px, py;
    return exact_vector2(p, std::array{&px, &py}) ? point_inside(raw(self), px, py) : point_python(self, p, true);
}
int own_point_sequence(PyObject *self, PyObject *p) { return point_python(self, p, false); }
int own_rect_vector4(PyObject *self, PyObject *o) {
    double v[4];
    return exact_vector4(o, std::array{&v[0], &v[1], &v[2], &v[3]}) ? overlaps(raw(self), v[0], v[1], v[2], v[3])
                                                                   : rect_python(self, o, true);
}
int own_rect_sequence(PyObject *self, PyObject *o) { return rect_python(self, o, false); }

// ---- the overridable entries, each described once ----
//
// A row names the Python method, the table slot it fills and its own code; the table, the
// Python methods and the override dispatch are all generated from the rows below.

template <class Slot> struct SlotOf;
template <class R, class... A> struct SlotOf<R (*RectMethodTable::*)(RectObject *, A...)> {
    using Result = R;
};

// What a collision method accepts at the Python entry: anything (the dispatching tests), an
// instance of a class, or an object of exactly one type. None passes every typed test; the
// own code then raises for it.
struct Accepts {
    enum { anything, instance, exact } how;
    PyTypeObject **type;
};

template <Name name, Name arg, auto Slot, Accepts accepts, int (*Own)(PyObject *, PyObject *), Name doc>
struct Collision {
    static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
        PyObject *a;
        const char *param = arg.c_str();
        if (!bind_args_array(name.c_str(), args, nargs, kw, &param, 1, &a)) {
            return fail::object(name.c_str());
        }
        if constexpr (accepts.how != Accepts::anything) {
            PyTypeObject *want = *accepts.type;
            if (a != Py_None && (accepts.how == Accepts::exact ? Py_TYPE(a) != want : !is_instance(a, want))) {
                arg_type_error(arg.c_str(), want->tp_name, a);
                return fail::object(name.c_str());
            }
        }
        const int result = Own(self, a);
        if (result < 0) {
            return fail::object(name.c_str());
        }
        return Py_NewRef(result ? Py_True : Py_False);
    }

    // The table slot: the override's truth value, or the own code's; 0 with an exception set
    // on failure.
    template <class Arg> static int entry(RectObject *self, Arg *a, int skip) {
        PyObject *argument = reinterpret_cast<PyObject *>(a);
        Dispatched d = dispatch(obj(self), skip, name.c_str(), call, argument);
        const int result = d.ran ? (d.result ? PyObject_IsTrue(d.result.get()) : -1) : Own(obj(self), argument);
        if (result < 0) {
            fail::object(name.c_str());
            return 0;
        }
        return result;
    }
    static void fill(RectMethodTable &t) { t.*Slot = entry; }
    static constexpr char signature_text[] = {'(', '$', 's', 'e', 'l', 'f', ',', ' '};
    static constexpr auto signature_array = [] {
        std::array<char, sizeof signature_text + sizeof arg.text + 1> s{};
        size_t o = 0;
        for (char c : signature_text) {
            s[o++] = c;
        }
        for (size_t i = 0; i + 1 < sizeof arg.text; ++i) {
            s[o++] = arg.text[i];
        }
        s[o++] = ')';
        return s;
    }();
    static constexpr const char *signature = signature_array.data();
    static constexpr MethodRow row{name.c_str(), call, signature, doc.c_str()};
};

// An entry without arguments whose result is an object: `Own` makes it, an override's
// result must pass `Check` (nullptr: anything goes).
template <Name name, auto Slot, auto Own, bool (*Check)(PyObject *), Name doc> struct Getter {
    using Result = typename SlotOf<decltype(Slot)>::Result;
    static Result entry(RectObject *self, int skip) {
        Dispatched d = dispatch(obj(self), skip, name.c_str(), Method::call);
        if (d.ran) {
            if constexpr (Check != nullptr) {
                if (d.result && !Check(d.result.get())) {
                    d.result = ref();
                }
            }
            return d.result ? d.result.template release_as<std::remove_pointer_t<Result>>() : fail::object(name.c_str());
        }
        Result result = Own(self);
        return result ? result : fail::object(name.c_str());
    }
    using Method = typename Adapters<type_name>::template NoArgs<name, entry>;
    static void fill(RectMethodTable &t) { t.*Slot = entry; }
    static constexpr MethodRow row{name.c_str(), Method::call, Method::signature, doc.c_str()};
};

PyObject *own_width(RectObject *self) { return PyFloat_FromDouble(self->_raw.width); }
PyObject *own_height(RectObject *self) { return PyFloat_FromDouble(self->_raw.height); }
Vector4Object *own_vector4(RectObject *self) {
    const Rectangle &r = self->_raw;
    return vector4_table->new_(r.x, r.y, r.width, r.height);
}
PyObject *own_tuple(RectObject *self) { return float_tuple(widened(self->_raw)); }

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

PyTypeObject *tuple_type = &PyTuple_Type, *list_type = &PyList_Type, *rect_type_ptr = &rect_type;
constexpr Accepts any{Accepts::anything, nullptr}, a_vector2{Accepts::instance, &vector2_type},
    a_vector4{Accepts::instance, &vector4_type}, a_rect{Accepts::instance, &rect_type_ptr},
    exact_tuple{Accepts::exact, &tuple_type}, exact_list{Accepts::exact, &list_type};
using T = RectMethodTable;

// Every overridable entry, in the order of the table's slots 1 to 13: the table, the
// Python methods and their dispatch come from this one list.
template <class... Row> struct Entries {
    static constexpr std::array rows = {Row::row...};
    static void fill(RectMethodTable &t) { (Row::fill(t), ...); }
};
// clang-format off
using RectEntries = Entries<
    Getter<"get_width", &T::get_width, own_width, nullptr, "The width, as a float.">,
    Getter<"get_height", &T::get_height, own_height, nullptr, "The height, as a float.">,
    Collision<"collide_point", "point", &T::collide_point, any, own_collide_point, "Whether point (a Vector2, list or tuple of 2) is inside or on an edge; in double.">,
    Collision<"collide_point_vector2", "point", &T::collide_point_vector2, a_vector2, own_point_vector2, "Whether the Vector2 point is inside or on an edge, by Python's <=.">,
    Collision<"collide_point_tuple", "point", &T::collide_point_tuple, exact_tuple, own_point_sequence, "Whether the tuple point is inside or on an edge, by Python's <=.">,
    Collision<"collide_point_list", "point", &T::collide_point_list, exact_list, own_point_sequence, "Whether the list point is inside or on an edge, by Python's <=.">,
    Collision<"collide_rect", "other", &T::collide_rect, any, own_collide_rect, "Whether other (a Rect, Vector4, list or tuple of 4) overlaps, in double; touching is no overlap.">,
    Collision<"collide_rect_vector4", "other", &T::collide_rect_vector4, a_vector4, own_rect_vector4, "Whether the Vector4 (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Collision<"collide_rect_rect", "other", &T::collide_rect_rect, a_rect, own_collide_rect_rect, "Whether the Rect other overlaps, in 32-bit float; touching is no overlap.">,
    Collision<"collide_rect_tuple", "other", &T::collide_rect_tuple, exact_tuple, own_rect_sequence, "Whether the tuple (x, y, w, h) overlaps, by Python's + and <; touching is no overlap.">,
    Collision<"collide_rect_list", "other", &T::collide_rect_list, exact_list, own_rect_sequence, "Whether the list [x, y, w, h] overlaps, by Python's + and <; touching is no overlap.">,
    Getter<"get_vector4", &T::get_vector4, own_vector4, vector4_or_none, "The rectangle as a Vector4(x, y, width, height).">,
    Getter<"get_tuple", &T::get_tuple, own_tuple, tuple_or_none, "The rectangle as a tuple (x, y, width, height) of floats.">>;
// clang-format on

// ---- the game toolkit: Python members only ----
//
// Rectangle arguments are read as collide_rect reads them, each value rounded to float as a
// field; points, offsets and sizes as `center =` reads them. A method computes its whole
// result before it stores anything, so a failed call changes nothing.

constexpr char rect_argument_message[] = "Argument must be a Rect, Vector4, tuple, or list of length 4";

// The binding policy of Rect's rows: an entry parameter Rectangle is a rectangle argument,
// ::Vector2 a point (rounded to float, as raylib takes it), float a number, PyObject * any
// object; the receiver is the Rect (PyObject *) or its record; a Rectangle result is a new Rect.
struct RectMembers {
    using fail = velmora::fail;

    template <class T> static bool convert(PyObject *o, const char *, T &out) {
        if constexpr (std::is_same_v<T, Rectangle>) {
            if (Py_TYPE(o) == &rect_type) {
                out = raw(o);
                return true;
            }
            return read_rect(o, std::array{&out.x, &out.y, &out.width, &out.height}, rect_argument_message);
        } else if constexpr (std::is_same_v<T, ::Vector2>) {
            return read_point(o, out.x, out.y);
        } else if constexpr (std::is_same_v<T, float>) {
            return to_scalar(o, out);
        } else {
            static_assert(std::is_same_v<T, PyObject *>);
            out = o;
            return true;
        }
    }
    template <class T> static T receiver(PyObject *self) {
        if constexpr (std::is_same_v<T, Rectangle>) {
            return raw(self);
        } else {
            return self;
        }
    }
    static PyObject *result_of(const Rectangle &r) { return obj(rect_new(r)); }
    static PyObject *result_of(bool b) { return Py_NewRef(b ? Py_True : Py_False); }
    static PyObject *result_of(PyObject *o) { return o; }
};

// raylib's GetCollisionRec: the overlap, or a zero rectangle where there is none. Its
// comparisons and 32-bit sums exactly as raylib's own code makes them, NaN included (a NaN
// on other's side empties the result; on this side, other's value is taken).
Rectangle clip(const Rectangle &r, Rectangle o) {
    const float left = r.x > o.x ? r.x : o.x;
    const float r1 = r.x + r.width, r2 = o.x + o.width;
    const float right = r1 < r2 ? r1 : r2;
    const float top = r.y > o.y ? r.y : o.y;
    const float b1 = r.y + r.height, b2 = o.y + o.height;
    const float bottom = b1 < b2 ? b1 : b2;
    if (left < right && top < bottom) {
        return Rectangle{left, top, right - left, bottom - top};
    }
    return Rectangle{0, 0, 0, 0};
}

// pygame-ce's FRect.union, edges as 32-bit sums: the nearer of the two near edges and the
// farther of the far ones (each by one comparison, this rectangle's value first, so a NaN
// there gives way to other's), nothing normalised.
Rectangle union_of(const Rectangle &r, Rectangle o) {
    const float x = r.x < o.x ? r.x : o.x;
    const float y = r.y < o.y ? r.y : o.y;
    const float r1 = r.x + r.width, r2 = o.x + o.width;
    const float b1 = r.y + r.height, b2 = o.y + o.height;
    return Rectangle{x, y, (r1 > r2 ? r1 : r2) - x, (b1 > b2 ? b1 : b2) - y};
}
void union_ip(PyObject *self, Rectangle o) { raw(self) = union_of(raw(self), o); }

// Edges included: other's near edges at or past this one's, its far edges at or before. A
// zero-size rectangle on an edge lies inside; NaN anywhere makes it false.
bool contains(const Rectangle &r, Rectangle o) {
    return o.x >= r.x && o.y >= r.y && right_of(o) <= right_of(r) && bottom_of(o) <= bottom_of(r);
}

// pygame-ce's FRect.clamp, per axis: centred on bounds where the rectangle is at least as
// large, else moved just inside past whichever edge it crosses; computed in double.
float clamp_axis(float position, float extent, float low, float bounds_extent) {
    if (extent >= bounds_extent) {
        return static_cast<float>(static_cast<double>(low) + (static_cast<double>(bounds_extent) - extent) * 0.5);
    }
    if (position < low) {
        return low;
    }
    const float high = low + bounds_extent;
    if (position + extent > high) {
        return near_edge<At::far>(high, extent);
    }
    return position;
}
Rectangle clamp(const Rectangle &r, Rectangle bounds) {
    return Rectangle{clamp_axis(r.x, r.width, bounds.x, bounds.width), clamp_axis(r.y, r.height, bounds.y, bounds.height),
                     r.width, r.height};
}
void clamp_ip(PyObject *self, Rectangle bounds) { raw(self) = clamp(raw(self), bounds); }

// raylib's CheckCollisionCircleRec, as raylib 6.0's library computes it: a NaN fails the
// first two tests, so a NaN anywhere is no collision.
bool collide_circle(const Rectangle &r, ::Vector2 center, float radius) {
    const float half_w = r.width * 0.5f, half_h = r.height * 0.5f;
    const float dx = std::fabs(center.x - (r.x + half_w));
    if (!(dx <= half_w + radius)) {
        return false;
    }
    const float dy = std::fabs(center.y - (r.y + half_h));
    if (!(dy <= half_h + radius)) {
        return false;
    }
    if (dx <= half_w || dy <= half_h) {
        return true;
    }
    const float corner = (dx - half_w) * (dx - half_w) + (dy - half_h) * (dy - half_h);
    return corner <= radius * radius;
}

// The items of any iterable that overlap by collide_rect's own rule: the first one's index
// (or -1), or all their indices. Items are read one at a time, each held while it is read (its
// conversion may run code that changes the container); a list is measured again at every item.
// An exact Rect runs no code while it is read, so in a list or tuple it is tested in place.
template <bool all> class Hits {
public:
    bool start() { return !all || (found_ = ref::steal(PyList_New(0))); }
    // 1 when the search is over, 0 to go on, -1 on error.
    int add(Py_ssize_t index, int hit) {
        if (hit <= 0) {
            return hit;
        }
        if constexpr (!all) {
            first_ = index;
            return 1;
        }
        ref number = ref::steal(PyLong_FromSsize_t(index));
        return number && PyList_Append(found_.get(), number.get()) == 0 ? 0 : -1;
    }
    PyObject *result() { return all ? found_.release() : PyLong_FromSsize_t(first_); }

private:
    ref found_;
    Py_ssize_t first_ = -1;
};

template <bool all> PyObject *collide_list(PyObject *self, PyObject *rects) {
    Hits<all> hits;
    if (!hits.start()) {
        return nullptr;
    }
    const bool list = PyList_CheckExact(rects);
    if (list || PyTuple_CheckExact(rects)) {
        for (Py_ssize_t i = 0; i < Py_SIZE(rects); ++i) {
            PyObject *item = list ? PyList_GET_ITEM(rects, i) : PyTuple_GET_ITEM(rects, i);
            const int hit = Py_TYPE(item) == &rect_type ? own_collide_rect(self, item)
                                                        : own_collide_rect(self, ref::borrow(item).get());
            const int done = hits.add(i, hit);
            if (done < 0) {
                return nullptr;
            }
            if (done > 0) {
                break;
            }
        }
        return hits.result();
    }
    ref iterator = ref::steal(PyObject_GetIter(rects));
    if (!iterator) {
        return nullptr;
    }
    for (Py_ssize_t index = 0;; ++index) {
        ref item = ref::steal(PyIter_Next(iterator.get()));
        if (!item) {
            return PyErr_Occurred() ? nullptr : hits.result();
        }
        const int done = hits.add(index, own_collide_rect(self, item.get()));
        if (done < 0) {
            return nullptr;
        }
        if (done > 0) {
            return hits.result();
        }
    }
}

Rectangle copy(const Rectangle &r) { return r; }

// pygame's sprite module (collide_rect, spritecollide, groupcollide…) calls
// sprite.rect.colliderect(other.rect), where other's rect may be pygame's own: collide_rect's
// test, taking besides any other sequence of four numbers (pygame's Rect and FRect are),
// measured and then read by index like a list.
PyObject *colliderect(PyObject *self, PyObject *other) {
    if (is_list_or_tuple(other) || is_instance(other, &rect_type) || is_instance(other, vector4_type) ||
        !PySequence_Check(other)) {
        const int hit = own_collide_rect(self, other);
        return hit < 0 ? nullptr : Py_NewRef(hit ? Py_True : Py_False);
    }
    const Py_ssize_t n = PySequence_Size(other);
    double v[4];
    if (n >= 0 && n != 4) {
        PyErr_SetString(PyExc_ValueError, collision_rect_message);
    }
    if (n != 4 || !read_components(other, false, std::array{&v[0], &v[1], &v[2], &v[3]})) {
        return nullptr;
    }
    return Py_NewRef(overlaps(raw(self), v[0], v[1], v[2], v[3]) ? Py_True : Py_False);
}

// move and inflate: two numbers, or one point-like pair.
bool read_offset(const char *name, PyObject *const *args, Py_ssize_t nargs, PyObject *kw, double &dx, double &dy) {
    PyObject *a[2];
    if (!bind_positional(name, args, nargs, kw, 1, 2, a)) {
        return false;
    }
    return a[1] == nullptr ? read_point(a[0], dx, dy) : to_double(a[0], dx) && to_double(a[1], dy);
}

// Each field moved or grown in double and rounded once.
Rectangle moved(const Rectangle &r, double dx, double dy) {
    return Rectangle{static_cast<float>(r.x + dx), static_cast<float>(r.y + dy), r.width, r.height};
}
Rectangle inflated(const Rectangle &r, double dw, double dh) {
    return Rectangle{static_cast<float>(r.x - dw * 0.5), static_cast<float>(r.y - dh * 0.5),
                     static_cast<float>(r.width + dw), static_cast<float>(r.height + dh)};
}

// move and inflate (a new Rect), move_ip and inflate_ip (this one changed, None returned).
template <bool in_place> struct Offset {
    template <Name name, auto Change> struct Adapter {
        static constexpr const char *signature = "($self, /, *args)";
        static PyObject *call(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *kw) {
            double dx, dy;
            if (!read_offset(name.c_str(), args, nargs, kw, dx, dy)) {
                return fail::object(name.c_str());
            }
            if constexpr (in_place) {
                raw(self) = Change(raw(self), dx, dy);
                Py_RETURN_NONE;
            }
            PyObject *made = obj(rect_new(Change(raw(self), dx, dy)));
            return made ? made : fail::object(name.c_str());
        }
    };
};

PyObject *get_size(PyObject *self, void *) {
    PyObject *size = obj(vector2_table->new_(raw(self).width, raw(self).height));
    return size ? size : fail::object("size.__get__");
}
int set_size(PyObject *self, PyObject *value, void *) {
    float w, h;
    if (value == nullptr) {
        refuse_property_delete();
    } else if (read_point(value, w, h)) {
        raw(self).width = w;
        raw(self).height = h;
        return 0;
    }
    return set_failed("size");
}

// clang-format off
using Toolkit = Members<
    AnchorRow<"topleft", At::near, At::near, "(x, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"topright", At::far, At::near, "(right, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"bottomleft", At::near, At::far, "(x, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"bottomright", At::far, At::far, "(right, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"midtop", At::centre, At::near, "(centerx, y) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"midbottom", At::centre, At::far, "(centerx, bottom) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"midleft", At::near, At::centre, "(x, centery) as a Vector2; setting it moves the rectangle, size unchanged.">,
    AnchorRow<"midright", At::far, At::centre, "(right, centery) as a Vector2; setting it moves the rectangle, size unchanged.">,
    GetSet<"size", get_size, set_size, "(width, height) as a Vector2; set both from a Vector2 or any indexable pair.">,
    Special<"move", Offset<false>::Adapter, moved, nullptr, "move(dx, dy) or move(offset): a new Rect moved by the offset, each field in double rounded once.">,
    Special<"move_ip", Offset<true>::Adapter, moved, nullptr, "move_ip(dx, dy) or move_ip(offset): moves this rectangle, as move does; returns None.">,
    Special<"inflate", Offset<false>::Adapter, inflated, nullptr, "inflate(dw, dh) or inflate(delta): a new Rect grown about its centre: x - dw/2, y - dh/2, width + dw, height + dh.">,
    Special<"inflate_ip", Offset<true>::Adapter, inflated, nullptr, "inflate_ip(dw, dh) or inflate_ip(delta): grows this rectangle, as inflate does; returns None.">,
    Method<"clip", "(self, other: RectLike) -> Rect", clip, nullptr, "The overlap with other, raylib's GetCollisionRec bit for bit; a zero Rect where they do not overlap.">,
    Method<"union", "(self, other: RectLike) -> Rect", union_of, nullptr, "The smallest Rect covering both; edges as 32-bit sums, nothing normalised (as pygame-ce's FRect).">,
    Method<"union_ip", "(self, other: RectLike) -> None", union_ip, nullptr, "Makes this rectangle the union with other; returns None.">,
    Method<"contains", "(self, other: RectLike) -> bool", contains, nullptr, "Whether other lies inside, edges included (a zero-size rectangle on an edge too); NaN is never inside.">,
    Method<"clamp", "(self, bounds: RectLike) -> Rect", clamp, nullptr, "A new Rect moved inside bounds, centred on an axis where it is at least as large (as pygame-ce's FRect).">,
    Method<"clamp_ip", "(self, bounds: RectLike) -> None", clamp_ip, nullptr, "Moves this rectangle inside bounds, as clamp does; returns None.">,
    Method<"collide_circle", "(self, center: Point, radius: Real) -> bool", collide_circle, nullptr, "Whether the circle touches or overlaps, raylib's CheckCollisionCircleRec(center, radius, self) bit for bit.">,
    Method<"collide_list", "(self, rects: Iterable[RectLike]) -> int", collide_list<false>, nullptr, "The index of the first item of rects that overlaps by collide_rect's rule, or -1.">,
    Method<"collide_list_all", "(self, rects: Iterable[RectLike]) -> list[int]", collide_list<true>, nullptr, "The indices of every item of rects that overlaps by collide_rect's rule.">,
    Method<"copy", "(self) -> Rect", copy, nullptr, "A new Rect with the same fields.">,
    Method<"colliderect", "(self, other: Rect | Vector4 | Sequence[Real]) -> bool", colliderect, nullptr, "pygame-ce's name, for pygame's sprite module: collide_rect's test, other also any sequence of 4 numbers (a pygame Rect).">>::In<RectMembers>;
// clang-format on

constexpr auto method_rows = concat(RectEntries::rows, Toolkit::methods);

// The properties: the fields, edges and centre, then the toolkit's points and size.
auto getsets = [] {
    std::array<PyGetSetDef, std::size(own_getsets) + Toolkit::getsets.size() + 1> g{};
    std::copy(std::begin(own_getsets), std::end(own_getsets), g.begin());
    std::copy(Toolkit::getsets.begin(), Toolkit::getsets.end(), g.begin() + std::size(own_getsets));
    return g;
}();
MethodDefs<method_rows.size()> method_defs;

// ---- conversions and protocols ----

PyObject *repr(PyObject *self) {
    static constexpr const char *pieces[] = {"Rect(position=(", ", ", "), size=(", ", ", "))"};
    PyObject *text = record_repr(pieces, widened(raw(self)));
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

// The class as data. Its doc is a text signature only, so the class has no docstring.
PyTypeObject rect_type = {
    .ob_base = PyVarObject_HEAD_INIT(nullptr, 0)
    .tp_name = type_name,
    .tp_basicsize = sizeof(RectObject),
    .tp_dealloc = dealloc,
    .tp_repr = repr,
    .tp_as_sequence = &Protocol::sequence_slots,
    .tp_as_mapping = &Protocol::mapping_slots,
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
    if (intern_component_names() < 0 || Protocol::prepare() < 0) {
        return -1;
    }
    method_defs.fill(method_rows);
    table.new_ = rect_new;
    RectEntries::fill(table);
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

constexpr char pickling_refused[] =
    "Pickling of struct members such as self._raw must be explicitly requested with @auto_pickle(True)";

ModuleFrame make_frame() {
    ModuleFrame f = class_frame<type_name, pickling_refused>("rect", "velmora.rect.rect", &rect_type, "Rect", &table, prepare, import_vectors);
    f.freelist = freelist.info();
    return f;
}
ModuleFrame frame = make_frame();

}  // namespace
}  // namespace velmora

VELMORA_MODULE(rect, velmora::frame)
