#include "world.h"

#include <algorithm>

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
  refresh();
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
      if (!b.planes.empty()) {
        const Vec3 shift = mins - b.mins;
        maxs = b.maxs + shift;
        for (Plane& p : b.planes) p.dist += p.normal.dot(shift);
      }
      b.mins = mins;
      b.maxs = maxs;
    }
  refresh();
}

void World::setTexture(int id, const std::string& name) {
  for (Box& b : boxes_)
    if (b.id == id) b.texture = name;
}

void World::removeBox(int id) {
  std::erase_if(boxes_, [id](const Box& b) { return b.id == id; });
  refresh();
}

void World::removeOwned(int owner) {
  std::erase_if(boxes_, [owner](const Box& b) { return b.owner == owner; });
  refresh();
}

void World::setEntityBox(int owner, Vec3 mins, Vec3 maxs, int contentsValue) {
  for (Box& b : boxes_)
    if (b.entity && b.owner == owner) {
      if (b.mins == mins && b.maxs == maxs && b.contents == contentsValue) return;
      b.mins = mins;
      b.maxs = maxs;
      b.contents = contentsValue;
      refresh();
      return;
    }
  add(mins, maxs, contentsValue, owner);
  boxes_.back().entity = true;
}

void World::clearEntityBox(int owner) {
  std::erase_if(boxes_, [owner](const Box& b) { return b.entity && b.owner == owner; });
  refresh();
}

void World::clear() {
  boxes_.clear();
  refresh();
}

void World::refresh() {
  bounds_.clear();
  liquids_ = 0;
  for (const Box& b : boxes_) {
    bounds_.push_back({b.mins, b.maxs});
    if (contents::liquid(b.contents)) ++liquids_;
  }
}

const Box* World::find(int id) const {
  for (const Box& b : boxes_)
    if (b.id == id) return &b;
  return nullptr;
}

}  // namespace host
