// Traces, point contents and overlap tests against the world's convex
// solids. A box is traced as a point against each solid grown by the box:
// every plane moves out by the box's extent along its normal.
#include <algorithm>
#include <cmath>
#include <limits>

#include "world.h"

namespace host {

namespace {

// Calls f with each plane of the solid: the six of its bounds, then the rest.
template <class F>
void forEachPlane(const Box& b, F&& f) {
  f(Plane{{1, 0, 0}, b.maxs.x});
  f(Plane{{-1, 0, 0}, -b.mins.x});
  f(Plane{{0, 1, 0}, b.maxs.y});
  f(Plane{{0, -1, 0}, -b.mins.y});
  f(Plane{{0, 0, 1}, b.maxs.z});
  f(Plane{{0, 0, -1}, -b.mins.z});
  for (const Plane& p : b.planes) f(p);
}

// The plane pushed out by the hull: the hull's corner deepest behind the
// plane just touches it when the hull's origin is on the grown plane.
float grownDist(const Plane& p, const Hull& hull) {
  float offset = 0;
  for (int i = 0; i < 3; ++i)
    offset += p.normal[i] * (p.normal[i] > 0 ? hull.mins[i] : hull.maxs[i]);
  return p.dist - offset;
}

// Whether the point lies inside every plane grown by the hull, each by
// `slack` more (negative: strictly inside by that much).
bool insideGrown(const Box& b, Vec3 p, const Hull& hull, float slack, bool strict) {
  bool in = true;
  forEachPlane(b, [&](const Plane& pl) {
    const float d = pl.normal.dot(p) - grownDist(pl, hull) - slack;
    if (strict ? d >= 0 : d > 0) in = false;
  });
  return in;
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
    } else if (s >= 0) {
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
  });
  return c;
}

bool liquid(int c) {
  return c == contents::kWater || c == contents::kSlime || c == contents::kLava;
}

}  // namespace

int World::pointContents(Vec3 p, const BoxFilter& filter) const {
  bool sky = false;
  int volume = contents::kEmpty;
  for (const Box& b : boxes_) {
    if (filter && !filter(b)) continue;
    if (b.contents == contents::kSolid) {
      if (insideGrown(b, p, kPointHull, 0, false)) return contents::kSolid;
    } else if (b.contents == contents::kSky) {
      if (insideGrown(b, p, kPointHull, kSkyTolerance, false)) sky = true;
    } else if (insideGrown(b, p, kPointHull, 0, false)) {
      volume = b.contents;
    }
  }
  return sky ? contents::kSky : volume;
}

const Box* World::blockerAt(Vec3 pos, const Hull& hull, const BoxFilter& filter) const {
  for (const Box& b : boxes_) {
    if (!b.blocks() || (filter && !filter(b))) continue;
    if (insideGrown(b, pos, hull, 0, true)) return &b;
  }
  return nullptr;
}

Trace World::trace(Vec3 start, Vec3 end, const Hull& hull, const BoxFilter& filter) const {
  Trace tr;
  float best = std::numeric_limits<float>::infinity();
  for (const Box& b : boxes_) {
    if (!b.blocks() || (filter && !filter(b))) continue;
    const Clip c = clipSegment(b, start, end, hull);
    if (c.startIn) {
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
  tr.inwater = liquid(pointContents(start, filter)) || liquid(pointContents(tr.endpos, filter));
  return tr;
}

}  // namespace host
