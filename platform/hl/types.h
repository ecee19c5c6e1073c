// Primitive types of the engine and game-library interface, the vector type
// and forward declarations of every record the function tables name.
#pragma once

#include <math.h>

typedef float vec_t;
typedef int string_t;  // offset from globalvars_t::pStringBase
typedef int func_t;
typedef int qboolean;
typedef unsigned char byte;
typedef unsigned short word;
typedef int int32;
typedef unsigned int uint32;
typedef short int16;
typedef unsigned short uint16;
typedef unsigned long CRC32_t;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// Three floats, laid out exactly like the engine's vector (12 bytes, align 4).
// Converts to float pointers so it can be handed to the table slots that take
// `const float *` / `float *`.
struct vec3_t {
    vec_t x, y, z;

    vec3_t() = default;
    constexpr vec3_t(vec_t ax, vec_t ay, vec_t az) : x(ax), y(ay), z(az) {}

    // Reads three floats from a raw vector (for example an engine-filled array).
    static constexpr vec3_t from(const float* v) { return vec3_t(v[0], v[1], v[2]); }

    constexpr vec_t& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    constexpr const vec_t& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    operator float*() { return &x; }
    operator const float*() const { return &x; }
    float* data() { return &x; }
    const float* data() const { return &x; }

    constexpr vec3_t operator+(const vec3_t& o) const { return vec3_t(x + o.x, y + o.y, z + o.z); }
    constexpr vec3_t operator-(const vec3_t& o) const { return vec3_t(x - o.x, y - o.y, z - o.z); }
    constexpr vec3_t operator-() const { return vec3_t(-x, -y, -z); }
    constexpr vec3_t operator*(vec_t s) const { return vec3_t(x * s, y * s, z * s); }
    constexpr vec3_t operator/(vec_t s) const { return vec3_t(x / s, y / s, z / s); }
    friend constexpr vec3_t operator*(vec_t s, const vec3_t& v) { return v * s; }
    constexpr vec3_t& operator+=(const vec3_t& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    constexpr vec3_t& operator-=(const vec3_t& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    constexpr vec3_t& operator*=(vec_t s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    constexpr vec3_t& operator/=(vec_t s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    constexpr bool operator==(const vec3_t& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const vec3_t& o) const { return !(*this == o); }

    constexpr vec_t dot(const vec3_t& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr vec3_t cross(const vec3_t& o) const {
        return vec3_t(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    constexpr vec_t lengthSquared() const { return dot(*this); }
    constexpr vec_t length2DSquared() const { return x * x + y * y; }
    vec_t length() const { return sqrtf(lengthSquared()); }
    vec_t length2D() const { return sqrtf(length2DSquared()); }
    // Unit vector in the same direction; the zero vector stays zero.
    vec3_t normalized() const {
        vec_t len = length();
        return len > 0.0f ? *this / len : vec3_t(0.0f, 0.0f, 0.0f);
    }
    // The same vector with z = 0.
    constexpr vec3_t flattened() const { return vec3_t(x, y, 0.0f); }
    constexpr bool isZero() const { return x == 0.0f && y == 0.0f && z == 0.0f; }
};

constexpr vec_t DotProduct(const vec3_t& a, const vec3_t& b) {
    return a.dot(b);
}
constexpr vec3_t CrossProduct(const vec3_t& a, const vec3_t& b) {
    return a.cross(b);
}

struct color24 {
    byte r;
    byte g;
    byte b;
};

// Records the tables name. Those without a body here are opaque to plugins.
struct edict_s;
struct entvars_s;
struct link_s;
struct KeyValueData_s;
struct cvar_s;
struct clientdata_s;
struct entity_state_s;
struct weapon_data_s;
struct usercmd_s;
struct customization_s;
struct resource_s;
struct netadr_s;
struct hudtextparms_s;
struct playermove_s;
struct physent_s;
struct pmtrace_s;
struct movevars_s;
struct delta_s;
struct model_s;
struct hull_s;
struct sequenceEntry_s;
struct sentenceEntry_s;
struct saverestore_s;
struct typedescription_s;

typedef struct edict_s edict_t;
typedef struct entvars_s entvars_t;
typedef struct link_s link_t;
typedef struct KeyValueData_s KeyValueData;
typedef struct cvar_s cvar_t;
typedef struct clientdata_s clientdata_t;
typedef struct entity_state_s entity_state_t;
typedef struct weapon_data_s weapon_data_t;
typedef struct usercmd_s usercmd_t;
typedef struct customization_s customization_t;
typedef struct resource_s resource_t;
typedef struct netadr_s netadr_t;
typedef struct hudtextparms_s hudtextparms_t;
typedef struct playermove_s playermove_t;
typedef struct physent_s physent_t;
typedef struct pmtrace_s pmtrace_t;
typedef struct movevars_s movevars_t;
typedef struct saverestore_s SAVERESTOREDATA;
typedef struct typedescription_s TYPEDESCRIPTION;
