#include "world.h"

#include <algorithm>
#include <limits>

namespace host {

Hull engineHull(int hullNumber) {
  switch (hullNumber) {
    case 1: return kHumanHull;
    case 2: return kLargeHull;
    case 3: return kHeadHull;
    default: return kPointHull;
  }
}

Hull moveHull(int usehull) {
  switch (usehull) {
    case 0: return kHumanHull;
    case 1: return kHeadHull;
    case 3: return kLargeHull;
    default: return kPointHull;
  }
}

int World::add(Vec3 mins, Vec3 maxs, int contentsValue, int owner) {
  Box b;
  b.id = nextId_++;
  b.mins = mins;
  b.maxs = maxs;
  b.contents = contentsValue;
  b.owner = owner;
  boxes_.push_back(b);
  return b.id;
}

int World::addSolid(Vec3 mins, Vec3 maxs, int owner) {
  return add(mins, maxs, contents::kSolid, owner);
}
int World::addSky(Vec3 mins, Vec3 maxs) { return add(mins, maxs, contents::kSky, 0); }
int World::addVolume(Vec3 mins, Vec3 maxs, int contentsValue) {
  return add(mins, maxs, contentsValue, 0);
}

int World::addRoom(Vec3 mn, Vec3 mx, float w, bool skyCeiling) {
  int floor = addSolid({mn.x - w, mn.y - w, mn.z - w}, {mx.x + w, mx.y + w, mn.z});
  add({mn.x - w, mn.y - w, mx.z}, {mx.x + w, mx.y + w, mx.z + w},
      skyCeiling ? contents::kSky : contents::kSolid, 0);
  addSolid({mn.x - w, mn.y - w, mn.z}, {mn.x, mx.y + w, mx.z});
  addSolid({mx.x, mn.y - w, mn.z}, {mx.x + w, mx.y + w, mx.z});
  addSolid({mn.x, mn.y - w, mn.z}, {mx.x, mn.y, mx.z});
  addSolid({mn.x, mx.y, mn.z}, {mx.x, mx.y + w, mx.z});
  return floor;
}

void World::moveBox(int id, Vec3 mins, Vec3 maxs) {
  for (Box& b : boxes_)
    if (b.id == id) {
      b.mins = mins;
      b.maxs = maxs;
    }
}

void World::setTexture(int id, const std::string& name) {
  for (Box& b : boxes_)
    if (b.id == id) b.texture = name;
}

void World::removeBox(int id) {
  std::erase_if(boxes_, [id](const Box& b) { return b.id == id; });
}

void World::removeOwned(int owner) {
  std::erase_if(boxes_, [owner](const Box& b) { return b.owner == owner; });
}

void World::setEntityBox(int owner, Vec3 mins, Vec3 maxs, int contentsValue) {
  for (Box& b : boxes_)
    if (b.entity && b.owner == owner) {
      b.mins = mins;
      b.maxs = maxs;
      b.contents = contentsValue;
      return;
    }
  add(mins, maxs, contentsValue, owner);
  boxes_.back().entity = true;
}

void World::clearEntityBox(int owner) {
  std::erase_if(boxes_, [owner](const Box& b) { return b.entity && b.owner == owner; });
}

void World::clear() { boxes_.clear(); }

const Box* World::find(int id) const {
  for (const Box& b : boxes_)
    if (b.id == id) return &b;
  return nullptr;
}

static bool inside(Vec3 p, Vec3 mn, Vec3 mx, float tol) {
  for (int i = 0; i < 3; ++i)
    if (p[i] < mn[i] - tol || p[i] > mx[i] + tol) return false;
  return true;
}

int World::pointContents(Vec3 p, const BoxFilter& filter) const {
  bool sky = false;
  int volume = contents::kEmpty;
  for (const Box& b : boxes_) {
    if (filter && !filter(b)) continue;
    if (b.contents == contents::kSolid) {
      if (inside(p, b.mins, b.maxs, 0)) return contents::kSolid;
    } else if (b.contents == contents::kSky) {
      if (inside(p, b.mins, b.maxs, kSkyTolerance)) sky = true;
    } else if (inside(p, b.mins, b.maxs, 0)) {
      volume = b.contents;
    }
  }
  return sky ? contents::kSky : volume;
}

Trace World::trace(Vec3 start, Vec3 end, const Hull& hull, const BoxFilter& filter) const {
  Trace tr;
  const Vec3 d = end - start;
  float best = std::numeric_limits<float>::infinity();
  for (const Box& b : boxes_) {
    if (!b.blocks() || (filter && !filter(b))) continue;
    // Minkowski sum: the moving box becomes a point against a grown box.
    const Vec3 mn = b.mins - hull.maxs;
    const Vec3 mx = b.maxs - hull.mins;
    bool startIn = true;
    for (int i = 0; i < 3; ++i)
      if (start[i] <= mn[i] || start[i] >= mx[i]) startIn = false;
    float tEnter = -std::numeric_limits<float>::infinity();
    float tExit = std::numeric_limits<float>::infinity();
    int axis = -1;
    bool miss = false;
    for (int i = 0; i < 3 && !miss; ++i) {
      if (std::fabs(d[i]) < 1e-9f) {
        if (start[i] <= mn[i] || start[i] >= mx[i]) miss = true;
        continue;
      }
      float t1 = (mn[i] - start[i]) / d[i];
      float t2 = (mx[i] - start[i]) / d[i];
      if (t1 > t2) std::swap(t1, t2);
      if (t1 > tEnter) {
        tEnter = t1;
        axis = i;
      }
      tExit = std::min(tExit, t2);
    }
    if (startIn) {
      tr.startsolid = true;
      if (miss || tExit >= 1.0f) tr.allsolid = true;
      continue;
    }
    if (miss || axis < 0 || tEnter >= tExit || tExit <= 0 || tEnter > 1.0f || tEnter < 0) continue;
    if (tEnter < best) {
      best = tEnter;
      Vec3 n;
      n[axis] = d[axis] > 0 ? -1.0f : 1.0f;
      const float plane = d[axis] > 0 ? mn[axis] : mx[axis];
      tr.normal = n;
      tr.planeDist = n[axis] * plane;
      tr.boxId = b.id;
      tr.hitOwner = b.owner;
      tr.hitContents = b.contents;
      tr.fraction = std::max(0.0f, tEnter - kDistEpsilon / std::fabs(d[axis]));
    }
  }
  if (tr.allsolid) {
    tr.fraction = 0;
    tr.endpos = start;
  } else {
    tr.endpos = tr.boxId >= 0 ? start + d * tr.fraction : end;
    if (tr.boxId < 0) tr.fraction = 1.0f;
  }
  tr.inopen = !tr.allsolid;
  auto liquid = [](int c) {
    return c == contents::kWater || c == contents::kSlime || c == contents::kLava;
  };
  tr.inwater = liquid(pointContents(start, filter)) || liquid(pointContents(tr.endpos, filter));
  return tr;
}

}  // namespace host
