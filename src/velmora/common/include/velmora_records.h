/*
 * The value records velmora's classes hold, in raylib's layouts.
 *
 * This header needs nothing but the C standard headers, so a build can compile it
 * beside a real raylib.h: include raylib.h first and the declarations below are
 * skipped, while the layout assertions at the end then check raylib's own records.
 * Compiles as C11 and as C++20.
 */
#ifndef VELMORA_RECORDS_H
#define VELMORA_RECORDS_H

#include <stddef.h>

#ifdef __cplusplus
#define VELMORA_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define VELMORA_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* raylib guards its math records with RL_*_TYPE; the others come with RAYLIB_H. */
#ifndef RL_VECTOR2_TYPE
typedef struct Vector2 {
    float x;
    float y;
} Vector2;
#define RL_VECTOR2_TYPE
#endif

#ifndef RL_VECTOR3_TYPE
typedef struct Vector3 {
    float x;
    float y;
    float z;
} Vector3;
#define RL_VECTOR3_TYPE
#endif

#ifndef RL_RECTANGLE_TYPE
typedef struct Rectangle {
    float x;
    float y;
    float width;
    float height;
} Rectangle;
#define RL_RECTANGLE_TYPE
#endif

#ifndef RAYLIB_H
typedef struct Image {
    void *data;
    int width;
    int height;
    int mipmaps;
    int format;
} Image;

typedef struct GlyphInfo {
    int value;
    int offsetX;
    int offsetY;
    int advanceX;
    Image image;
} GlyphInfo;
#endif

/* Four doubles: velmora's own record, not raylib's. */
typedef struct vector4_t {
    double x;
    double y;
    double z;
    double w;
} vector4_t;

/* The layouts other native modules (and raylib) rely on. */
VELMORA_STATIC_ASSERT(sizeof(Vector2) == 8, "Vector2 size");
VELMORA_STATIC_ASSERT(offsetof(Vector2, x) == 0 && offsetof(Vector2, y) == 4, "Vector2 fields");
VELMORA_STATIC_ASSERT(sizeof(Vector3) == 12, "Vector3 size");
VELMORA_STATIC_ASSERT(offsetof(Vector3, x) == 0 && offsetof(Vector3, y) == 4 && offsetof(Vector3, z) == 8,
                      "Vector3 fields");
VELMORA_STATIC_ASSERT(sizeof(vector4_t) == 32, "vector4_t size");
VELMORA_STATIC_ASSERT(offsetof(vector4_t, x) == 0 && offsetof(vector4_t, y) == 8 && offsetof(vector4_t, z) == 16 &&
                          offsetof(vector4_t, w) == 24,
                      "vector4_t fields");
VELMORA_STATIC_ASSERT(sizeof(Rectangle) == 16, "Rectangle size");
VELMORA_STATIC_ASSERT(offsetof(Rectangle, x) == 0 && offsetof(Rectangle, y) == 4 && offsetof(Rectangle, width) == 8 &&
                          offsetof(Rectangle, height) == 12,
                      "Rectangle fields");
VELMORA_STATIC_ASSERT(sizeof(Image) == 24, "Image size");
VELMORA_STATIC_ASSERT(offsetof(Image, data) == 0 && offsetof(Image, width) == 8 && offsetof(Image, height) == 12 &&
                          offsetof(Image, mipmaps) == 16 && offsetof(Image, format) == 20,
                      "Image fields");
VELMORA_STATIC_ASSERT(sizeof(GlyphInfo) == 40, "GlyphInfo size");
VELMORA_STATIC_ASSERT(offsetof(GlyphInfo, value) == 0 && offsetof(GlyphInfo, offsetX) == 4 &&
                          offsetof(GlyphInfo, offsetY) == 8 && offsetof(GlyphInfo, advanceX) == 12 &&
                          offsetof(GlyphInfo, image) == 16,
                      "GlyphInfo fields");

#endif /* VELMORA_RECORDS_H */
