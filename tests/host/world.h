// The world of the simulated server: convex solids (axis-aligned boxes, and
// boxes cut by further planes: ramps, wedges, angled walls; stairs are rows
// of boxes), content volumes (water, slime, lava, sky, ladder), point
// contents and swept-box traces. It knows nothing of edicts or of the engine
// records, so the engine slots, the player-movement harness and the entity
// movement all trace against the same world.
//
// Conventions follow the engine: a box is traced as a point against each
// solid grown by the box (every plane pushed out by the box's extent along
// its normal, with bevel planes at the edges, as the engine's hulls are
// built); a trace that hits stops DIST_EPSILON short of the surface along its
// normal, `fraction` is the share of the way travelled, the plane normal
// points out of the surface that was hit; a trace that starts inside a solid
// reports `startsolid`, and `allsolid` when it never gets out.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace host {

struct Vec3 {
  float x = 0, y = 0, z = 0;
  constexpr Vec3() = default;
  constexpr Vec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  explicit Vec3(const float* p) : x(p[0]), y(p[1]), z(p[2]) {}
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  Vec3 operator+(Vec3 o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(Vec3 o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(float f) const { return {x * f, y * f, z * f}; }
  Vec3 operator-() const { return {-x, -y, -z}; }
  Vec3 cross(Vec3 o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
  bool operator==(const Vec3&) const = default;
  float dot(Vec3 o) const { return x * o.x + y * o.y + z * o.z; }
  float length() const { return std::sqrt(dot(*this)); }
  void store(float* p) const { p[0] = x; p[1] = y; p[2] = z; }
};

// Contents values, as the engine numbers them (CONTENTS_*).
namespace contents {
inline constexpr int kEmpty = -1;
inline constexpr int kSolid = -2;
inline constexpr int kWater = -3;
inline constexpr int kSlime = -4;
inline constexpr int kLava = -5;
inline constexpr int kSky = -6;
inline constexpr int kLadder = -16;
inline bool liquid(int c) { return c == kWater || c == kSlime || c == kLava; }
}  // namespace contents

// Distance a hitting trace stops short of the surface (engine DIST_EPSILON).
inline constexpr float kDistEpsilon = 0.03125f;
// A point this close to a sky box counts as sky: a trace stopped by the sky
// ends in the sky, as the engine's point contents of such an end point say.
inline constexpr float kSkyTolerance = 0.1f;

// Extents of a moving box relative to its origin.
struct Hull {
  Vec3 mins, maxs;
};
// Engine hull numbers (the hullNumber of pfnTraceHull / pfnTraceModel).
inline constexpr Hull kPointHull{{0, 0, 0}, {0, 0, 0}};                  // 0
inline constexpr Hull kHumanHull{{-16, -16, -36}, {16, 16, 36}};         // 1
inline constexpr Hull kLargeHull{{-32, -32, -32}, {32, 32, 32}};         // 2
inline constexpr Hull kHeadHull{{-16, -16, -18}, {16, 16, 18}};          // 3
// Hull for an engine hull number 0..3 (point hull for anything else).
Hull engineHull(int hullNumber);
// Hull for a movement hull index (playermove_t.usehull): 0 standing,
// 1 ducked, 2 point, 3 large.
Hull moveHull(int usehull);

// A plane of a solid: its points p satisfy normal . p == dist; the solid lies
// behind it (normal . p <= dist). The normal has unit length.
struct Plane {
  Vec3 normal;
  float dist = 0;
};

// Horizontal directions in which a ramp or a staircase rises.
enum class Uphill { kPlusX, kMinusX, kPlusY, kMinusY };

// An axis-aligned region.
struct Bounds {
  Vec3 mins, maxs;
};

// One convex solid (or volume) of the world: the box mins..maxs, cut by
// further planes where it is not a plain box.
struct Box {
  int id = 0;          // handle returned by World::add*
  Vec3 mins, maxs;     // absolute bounds
  std::vector<Plane> planes;  // faces beyond the box's six, and bevels
  int contents = contents::kSolid;  // kSolid and kSky block traces
  int owner = 0;       // entity index it belongs to; 0 = the world itself
  bool entity = false; // the box the engine keeps in step with an entity
  std::string texture; // texture name reported by pfnTraceTexture
  bool blocks() const { return contents == contents::kSolid || contents == contents::kSky; }
};

struct Trace {
  bool allsolid = false;
  bool startsolid = false;
  bool inopen = false;
  bool inwater = false;
  float fraction = 1.0f;
  Vec3 endpos;
  Vec3 normal;            // plane normal of the hit surface (0,0,0 when none)
  float planeDist = 0;    // dot(normal, point on the plane)
  int boxId = -1;         // box that stopped the trace, -1 when none
  int hitOwner = -1;      // owner entity of that box (0 world), -1 when none
  int hitContents = contents::kEmpty;  // contents of that box
  int startOwner = -1;    // owner of the first solid the start lies in, -1 when none
  bool hit() const { return boxId >= 0; }
};

// Decides whether a box takes part in a trace; null means "all boxes".
using BoxFilter = std::function<bool(const Box&)>;

class World {
 public:
  // A solid (or sky) box; owner is the entity it belongs to (0 = world).
  int addSolid(Vec3 mins, Vec3 maxs, int owner = 0);
  int addSky(Vec3 mins, Vec3 maxs);
  // A non-solid content volume: kWater, kSlime, kLava, kLadder (or kSky).
  int addVolume(Vec3 mins, Vec3 maxs, int contentsValue);
  // A closed room: six solid walls of the given thickness around the hollow
  // space mins..maxs. Returns the id of the floor; the walls follow in the
  // order floor, ceiling, -x, +x, -y, +y (ids floor .. floor+5). With
  // skyCeiling the ceiling is a sky box.
  int addRoom(Vec3 mins, Vec3 maxs, float wall = 16, bool skyCeiling = false);
  // A convex solid: the box mins..maxs with what lies in front of any of the
  // cut planes taken away. Its bounds shrink to what is left; -1 when
  // nothing is left.
  int addConvex(Vec3 mins, Vec3 maxs, const std::vector<Plane>& cuts, int owner = 0);
  // A ramp filling the box: its slope rises from the bottom of the downhill
  // face to the top of the uphill face, at atan(height / length).
  int addRamp(Vec3 mins, Vec3 maxs, Uphill uphill);
  // Stairs of the given number of steps, each rise high and run deep, width
  // wide; the first riser stands at `foot` (the middle of its bottom edge).
  // Each step is a box down to foot.z. Returns the first step's id; the
  // others follow.
  int addStairs(Vec3 foot, Uphill uphill, int steps, float rise, float run, float width);
  // A vertical wall of the given thickness along the line from a to b (their
  // x and y), from z = bottom to z = top, at any angle.
  int addAngledWall(Vec3 a, Vec3 b, float thickness, float bottom, float top);
  // Resizes a plain box; a cut solid is shifted by the change of its lower
  // corner and keeps its shape.
  void moveBox(int id, Vec3 mins, Vec3 maxs);
  void setTexture(int id, const std::string& name);
  void removeBox(int id);
  // Removes every box owned by the given entity.
  void removeOwned(int owner);
  // Adds, moves or removes the one box that stands for an entity
  // (used by the engine for SOLID_BBOX / SOLID_BSP entities).
  void setEntityBox(int owner, Vec3 mins, Vec3 maxs, int contentsValue = contents::kSolid);
  void clearEntityBox(int owner);
  void clear();

  const Box* find(int id) const;
  const std::vector<Box>& boxes() const { return boxes_; }

  // Contents at a point: the solid or sky box containing it, else the
  // volume containing it (the last added wins), else kEmpty.
  int pointContents(Vec3 p, const BoxFilter& filter = nullptr) const;
  // Sweeps hull from start to end through the boxes the filter accepts.
  Trace trace(Vec3 start, Vec3 end, const Hull& hull = kPointHull,
              const BoxFilter& filter = nullptr) const;
  // The first blocking solid the filter accepts that the hull at pos
  // overlaps (touching is not overlapping), or null.
  const Box* blockerAt(Vec3 pos, const Hull& hull, const BoxFilter& filter = nullptr) const;

 private:
  int add(Vec3 mins, Vec3 maxs, int contentsValue, int owner);
  // Whether the point's contents are a liquid.
  bool wet(Vec3 p, const BoxFilter& filter) const;
  // Brings the lookup data below in step with the boxes after a change.
  void refresh();
  std::vector<Box> boxes_;
  // The boxes' bounds side by side, for the passes that skip most boxes.
  std::vector<Bounds> bounds_;
  int liquids_ = 0;  // liquid volumes among the boxes
  int nextId_ = 1;
};

}  // namespace host
