// Solids beyond plain boxes: a box cut by planes, and the shapes built from
// it (ramps, angled walls) or from boxes (stairs). A cut solid keeps every
// plane as a supporting plane of its corners and gets bevel planes at its
// edges, so that growing each plane by a traced box gives exactly the space
// that box cannot enter.
#include <algorithm>
#include <cmath>

#include "world.h"

namespace host {

namespace {

constexpr float kParallel = 0.9999f;

std::vector<Plane> boxPlanes(Vec3 mins, Vec3 maxs) {
  return {{{1, 0, 0}, maxs.x},  {{-1, 0, 0}, -mins.x}, {{0, 1, 0}, maxs.y},
          {{0, -1, 0}, -mins.y}, {{0, 0, 1}, maxs.z},  {{0, 0, -1}, -mins.z}};
}

bool isAxial(Vec3 n) {
  return std::fabs(n.x) > kParallel || std::fabs(n.y) > kParallel || std::fabs(n.z) > kParallel;
}

bool normalize(Vec3* v) {
  float len = v->length();
  if (len < 1e-6f) return false;
  *v = *v * (1.0f / len);
  return true;
}

// The corners of the solid the planes enclose: every meeting point of three
// planes that lies behind all of them.
std::vector<Vec3> cornersOf(const std::vector<Plane>& planes) {
  std::vector<Vec3> corners;
  const size_t n = planes.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      for (size_t k = j + 1; k < n; ++k) {
        const Plane &a = planes[i], &b = planes[j], &c = planes[k];
        const Vec3 bc = b.normal.cross(c.normal);
        const float det = a.normal.dot(bc);
        if (std::fabs(det) < 1e-6f) continue;
        const Vec3 p = (bc * a.dist + c.normal.cross(a.normal) * b.dist +
                        a.normal.cross(b.normal) * c.dist) * (1.0f / det);
        bool inside = true;
        for (const Plane& q : planes)
          if (q.normal.dot(p) > q.dist + 1e-3f) inside = false;
        if (inside) corners.push_back(p);
      }
  return corners;
}

float supportOf(Vec3 normal, const std::vector<Vec3>& corners) {
  float best = normal.dot(corners[0]);
  for (const Vec3& c : corners) best = std::max(best, normal.dot(c));
  return best;
}

// Adds the plane unless the box's own six or an earlier plane face the same way.
void addSupporting(std::vector<Plane>& out, Vec3 normal, const std::vector<Vec3>& corners) {
  if (!normalize(&normal) || isAxial(normal)) return;
  for (const Plane& p : out)
    if (p.normal.dot(normal) > kParallel) return;
  out.push_back({normal, supportOf(normal, corners)});
}

Vec3 axisVector(int axis) {
  Vec3 v;
  v[axis] = 1;
  return v;
}

Vec3 uphillVector(Uphill u) {
  switch (u) {
    case Uphill::kPlusX: return {1, 0, 0};
    case Uphill::kMinusX: return {-1, 0, 0};
    case Uphill::kPlusY: return {0, 1, 0};
    default: return {0, -1, 0};
  }
}

}  // namespace

int World::addConvex(Vec3 mins, Vec3 maxs, const std::vector<Plane>& cuts, int owner) {
  std::vector<Plane> all = boxPlanes(mins, maxs);
  for (Plane c : cuts) {
    const float len = c.normal.length();
    if (len < 1e-6f) continue;
    all.push_back({c.normal * (1.0f / len), c.dist / len});
  }
  const std::vector<Vec3> corners = cornersOf(all);
  if (corners.empty()) return -1;
  Vec3 lo = corners[0], hi = corners[0];
  for (const Vec3& c : corners)
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], c[i]);
      hi[i] = std::max(hi[i], c[i]);
    }
  std::vector<Plane> planes;
  for (size_t i = 6; i < all.size(); ++i) addSupporting(planes, all[i].normal, corners);
  // Bevels: planes through each edge that also hold an axis of the traced box.
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = i + 1; j < all.size(); ++j) {
      Vec3 edge = all[i].normal.cross(all[j].normal);
      if (!normalize(&edge)) continue;
      for (int axis = 0; axis < 3; ++axis) {
        const Vec3 n = edge.cross(axisVector(axis));
        addSupporting(planes, n, corners);
        addSupporting(planes, -n, corners);
      }
    }
  const int id = add(lo, hi, contents::kSolid, owner);
  boxes_.back().planes = std::move(planes);
  refresh();
  return id;
}

int World::addRamp(Vec3 mins, Vec3 maxs, Uphill uphill) {
  const Vec3 up = uphillVector(uphill);
  const int axis = up.x != 0 ? 0 : 1;
  const float length = maxs[axis] - mins[axis];
  const float height = maxs.z - mins.z;
  // The slope's normal leans against the uphill direction; the slope holds
  // the bottom edge of the downhill face.
  Vec3 normal = up * -height;
  normal.z = length;
  Vec3 foot = mins;
  if (up[axis] < 0) foot[axis] = maxs[axis];
  return addConvex(mins, maxs, {{normal, normal.dot(foot)}});
}

int World::addStairs(Vec3 foot, Uphill uphill, int steps, float rise, float run, float width) {
  const Vec3 up = uphillVector(uphill);
  const Vec3 side = Vec3(0, 0, 1).cross(up) * (width * 0.5f);
  int first = -1;
  for (int i = 0; i < steps; ++i) {
    const Vec3 a = foot + up * (run * static_cast<float>(i)) - side;
    Vec3 b = foot + up * (run * static_cast<float>(i + 1)) + side;
    b.z = foot.z + rise * static_cast<float>(i + 1);
    Vec3 mn, mx;
    for (int k = 0; k < 3; ++k) {
      mn[k] = std::min(a[k], b[k]);
      mx[k] = std::max(a[k], b[k]);
    }
    const int id = addSolid(mn, mx);
    if (first < 0) first = id;
  }
  return first;
}

int World::addAngledWall(Vec3 a, Vec3 b, float thickness, float bottom, float top) {
  a.z = b.z = 0;
  Vec3 along = b - a;
  if (!normalize(&along)) return -1;
  const Vec3 across(-along.y, along.x, 0);
  const float half = thickness * 0.5f;
  Vec3 mins(0, 0, bottom), maxs(0, 0, top);
  for (int i = 0; i < 2; ++i) {
    const Vec3 lo = a + across * (-half), hi = b + across * half;
    const Vec3 p[4] = {lo, hi, a + across * half, b + across * (-half)};
    mins[i] = std::min({p[0][i], p[1][i], p[2][i], p[3][i]});
    maxs[i] = std::max({p[0][i], p[1][i], p[2][i], p[3][i]});
  }
  return addConvex(mins, maxs,
                   {{across, across.dot(a) + half},
                    {-across, -across.dot(a) + half},
                    {along, along.dot(b)},
                    {-along, -along.dot(a)}});
}

}  // namespace host
