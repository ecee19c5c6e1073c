// The vector type: arithmetic, and its use where the interface takes floats.
#include <gtest/gtest.h>
#include <string.h>

#include "hl/hl.h"

namespace {

// Stands in for a table slot that reads a vector through a pointer.
float sumOf(const float* v) {
    return v[0] + v[1] + v[2];
}
void setTo(float* v, float x, float y, float z) {
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

}  // namespace

static_assert(vec3_t(1, 2, 3) + vec3_t(1, 1, 1) == vec3_t(2, 3, 4));
static_assert(vec3_t(1, 2, 3) - vec3_t(1, 1, 1) == vec3_t(0, 1, 2));
static_assert(vec3_t(1, 2, 3) * 2.0f == vec3_t(2, 4, 6));
static_assert(2.0f * vec3_t(1, 2, 3) == vec3_t(2, 4, 6));
static_assert(vec3_t(2, 4, 6) / 2.0f == vec3_t(1, 2, 3));
static_assert(-vec3_t(1, -2, 3) == vec3_t(-1, 2, -3));
static_assert(DotProduct(vec3_t(1, 2, 3), vec3_t(4, 5, 6)) == 32.0f);
static_assert(CrossProduct(vec3_t(1, 0, 0), vec3_t(0, 1, 0)) == vec3_t(0, 0, 1));
static_assert(vec3_t(3, 4, 12).lengthSquared() == 169.0f);
static_assert(vec3_t(3, 4, 12).length2DSquared() == 25.0f);
static_assert(vec3_t(3, 4, 12).flattened() == vec3_t(3, 4, 0));
static_assert(vec3_t(1, 2, 3)[0] == 1.0f && vec3_t(1, 2, 3)[2] == 3.0f);

TEST(Vector, Lengths) {
    EXPECT_FLOAT_EQ(vec3_t(3, 4, 12).length(), 13.0f);
    EXPECT_FLOAT_EQ(vec3_t(3, 4, 12).length2D(), 5.0f);
    vec3_t n = vec3_t(0, 0, -5).normalized();
    EXPECT_EQ(n, vec3_t(0, 0, -1));
    EXPECT_FLOAT_EQ(vec3_t(1, 1, 1).normalized().length(), 1.0f);
}

TEST(Vector, ZeroStaysZeroWhenNormalized) {
    vec3_t z = vec3_t(0, 0, 0).normalized();
    EXPECT_TRUE(z.isZero());
    EXPECT_FALSE(z.x != z.x);  // not NaN
}

TEST(Vector, CompoundAssignment) {
    vec3_t v(1, 2, 3);
    v += vec3_t(1, 1, 1);
    v *= 2.0f;
    v -= vec3_t(0, 2, 4);
    v /= 2.0f;
    EXPECT_EQ(v, vec3_t(2, 2, 2));
    v[1] = 7.0f;
    EXPECT_EQ(v.y, 7.0f);
}

TEST(Vector, PassesAsFloatPointer) {
    vec3_t v(1, 2, 3);
    EXPECT_FLOAT_EQ(sumOf(v), 6.0f);
    setTo(v, 4, 5, 6);
    EXPECT_EQ(v, vec3_t(4, 5, 6));
    EXPECT_EQ(v.data(), &v.x);
    float raw[3] = {7, 8, 9};
    EXPECT_EQ(vec3_t::from(raw), vec3_t(7, 8, 9));
}

TEST(Vector, LaysOutLikeThreeFloats) {
    float raw[3] = {1.5f, -2.5f, 3.5f};
    vec3_t v;
    memcpy(&v, raw, sizeof raw);
    EXPECT_EQ(v, vec3_t(1.5f, -2.5f, 3.5f));
    entvars_t ev;
    memset(&ev, 0, sizeof ev);
    ev.velocity = vec3_t(0, 0, 100);
    EXPECT_FLOAT_EQ(ev.velocity.length(), 100.0f);
}
