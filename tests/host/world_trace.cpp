// Traces, point contents and overlap tests against the world's convex
// solids. A box is traced as a point against each solid grown by the box:
// every plane moves out by the box's extent along its normal.
#include <algorithm>
#include <cmath>
#include <limits>

#include "world.h"

namespace host {

namespace {

// The six planes of the solid's bounds, in the order forEachPlane gives them.
Plane boundPlane(const Box& b, int i) {
  const int axis = i / 2;
  Plane p;
  p.normal[axis] = i % 2 == 0 ? 1.0f : -1.0f;
  p.dist = i % 2 == 0 ? b.maxs[axis] : -b.mins[axis];
  return p;
}

// Calls f with each plane of the solid, the six of its bounds first, until f
// answers false; returns whether it went through all of them.
template <class F>
bool forEachPlane(const Box& b, F&& f) {
  for (int i = 0; i < 6; ++i)
    if (!f(boundPlane(b, i))) return false;
  for (const Plane& p : b.planes)
    if (!f(p)) return false;
  return true;
}

// The plane pushed out by the hull: the hull's corner deepest behind the
// plane just touches it when the hull's origin is on the grown plane.
float grownDist(const Plane& p, const Hull& hull) {
  float offset = 0;
  for (int i = 0; i < 3; ++i)
    offset += p.normal[i] * (p.normal[i] > 0 ? hull.mins[i] : hull.maxs[i]);
  return p.dist - offset;
}

// Whether the point lies strictly behind every plane grown by the hull:
// the hull placed there overlaps the solid (touching it does not).
bool overlapsGrown(const Box& b, Vec3 p, const Hull& hull) {
  return forEachPlane(b, [&](const Plane& pl) { return pl.normal.dot(p) < grownDist(pl, hull); });
}

// Whether two regions are apart (touching is not apart).
bool apart(const Bounds& a, const Bounds& b) {
  return a.maxs.x < b.mins.x || a.mins.x > b.maxs.x || a.maxs.y < b.mins.y ||
         a.mins.y > b.maxs.y || a.maxs.z < b.mins.z || a.mins.z > b.maxs.z;
}

// The region a point reaches with some slack.
Bounds around(Vec3 p, float slack) {
  return {{p.x - slack, p.y - slack, p.z - slack}, {p.x + slack, p.y + slack, p.z + slack}};
}

// The region the hull sweeps from start to end, one unit larger all round:
// a solid whose bounds lie outside it cannot meet the hull.
Bounds swept(Vec3 start, Vec3 end, const Hull& hull) {
  Bounds r;
  for (int i = 0; i < 3; ++i) {
    r.mins[i] = std::min(start[i], end[i]) + hull.mins[i] - 1.0f;
    r.maxs[i] = std::max(start[i], end[i]) + hull.maxs[i] + 1.0f;
  }
  return r;
}

// Whether the point within `slack` lies in the solid or on its surface,
// once its bounds hold it: the point contents' test.
bool planesHoldPoint(const Box& b, Vec3 p, float slack) {
  for (const Plane& pl : b.planes)
    if (pl.normal.dot(p) - pl.dist > slack) return false;
  return true;
}

// How the segment start..end meets one grown solid.
struct Clip {
  bool startIn = true;  // start strictly behind every plane
  bool miss = false;    // wholly in front of some plane
  float enter = -1;     // last crossing into the solid, as a fraction
  float leave = std::numeric_limits<float>::infinity();  // first crossing out
  Plane hit;            // the grown plane crossed at `enter`
  float hitStart = 0, hitEnd = 0;  // distances of start and end from it
};

Clip clipSegment(const Box& b, Vec3 start, Vec3 end, const Hull& hull) {
  Clip c;
  forEachPlane(b, [&](const Plane& pl) {
    const float dist = grownDist(pl, hull);
    const float s = pl.normal.dot(start) - dist;
    const float e = pl.normal.dot(end) - dist;
    if (s >= 0) c.startIn = false;
    if (s >= 0 && e >= 0) {
      c.miss = true;
      return false;
    }
    if (s >= 0) {
      const float f = s / (s - e);
      if (f > c.enter) {
        c.enter = f;
        c.hit = {pl.normal, dist};
        c.hitStart = s;
        c.hitEnd = e;
      }
    } else if (e >= 0) {
      c.leave = std::min(c.leave, s / (s - e));
    }
    return true;
  });
  return c;
}

}  // namespace

bool World::wet(Vec3 p, const BoxFilter& filter) const {
  // Most points are nowhere near a liquid: only then ask for the contents.
  if (liquids_ == 0) return false;
  const Bounds at = around(p, 0);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Box& b = boxes_[i];
    if (contents::liquid(b.contents) && !apart(bounds_[i], at) && planesHoldPoint(b, p, 0))
      return contents::liquid(pointContents(p, filter));
  }
  return false;
}

int World::pointContents(Vec3 p, const BoxFilter& filter) const {
  bool sky = false;
  int volume = contents::kEmpty;
  const Bounds at = around(p, 0), nearSky = around(p, kSkyTolerance);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Box& b = boxes_[i];
    const bool isSky = b.contents == contents::kSky;
    if (apart(bounds_[i], isSky ? nearSky : at)) continue;
    if (!planesHoldPoint(b, p, isSky ? kSkyTolerance : 0) || (filter && !filter(b))) continue;
    if (b.contents == contents::kSolid) return contents::kSolid;
    if (isSky) sky = true;
    else volume = b.contents;
  }
  return sky ? contents::kSky : volume;
}

const Box* World::blockerAt(Vec3 pos, const Hull& hull, const BoxFilter& filter) const {
  const Bounds reach = swept(pos, pos, hull);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Box& b = boxes_[i];
    if (apart(bounds_[i], reach) || !b.blocks() || !overlapsGrown(b, pos, hull)) continue;
    if (!filter || filter(b)) return &b;
  }
  return nullptr;
}

Trace World::trace(Vec3 start, Vec3 end, const Hull& hull, const BoxFilter& filter) const {
  Trace tr;
  float best = std::numeric_limits<float>::infinity();
  const Bounds reach = swept(start, end, hull);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Box& b = boxes_[i];
    if (apart(bounds_[i], reach) || !b.blocks() || (filter && !filter(b))) continue;
    const Clip c = clipSegment(b, start, end, hull);
    if (c.startIn) {
      if (!tr.startsolid) tr.startOwner = b.owner;
      tr.startsolid = true;
      if (c.leave >= 1.0f) tr.allsolid = true;
      continue;
    }
    if (c.miss || c.enter < 0 || c.enter >= c.leave || c.enter >= best) continue;
    best = c.enter;
    tr.normal = c.hit.normal;
    tr.planeDist = c.hit.dist;
    tr.boxId = b.id;
    tr.hitOwner = b.owner;
    tr.hitContents = b.contents;
    tr.fraction = std::max(0.0f, (c.hitStart - kDistEpsilon) / (c.hitStart - c.hitEnd));
  }
  if (tr.allsolid) {
    tr.fraction = 0;
    tr.endpos = start;
  } else {
    tr.endpos = tr.boxId >= 0 ? start + (end - start) * tr.fraction : end;
    if (tr.boxId < 0) tr.fraction = 1.0f;
  }
  tr.inopen = !tr.allsolid;
  tr.inwater = wet(start, filter) || wet(tr.endpos, filter);
  return tr;
}

}  // namespace host
