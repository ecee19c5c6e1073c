// The movement record of the simulated server and its callbacks.
#include "pmove.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "host.h"

namespace host {

namespace {

PlayerMove* g_current = nullptr;

// The engine's hull record starts with these fields; the movement asks a
// brush hull for its contents from firstclipnode.
struct HullRecord {
  void* clipnodes;
  void* planes;
  int firstclipnode;
  int lastclipnode;
};

struct ModelRecord {
  int kind = 0;  // PM_GetModelType: 0 brush, 3 studio
  Vec3 mins, maxs;
  int ladder = -1;  // index in the ladder list, -1 for other models
};

}  // namespace

struct PlayerMove::Impl {
  ModelRecord worldModel;
  std::vector<std::unique_ptr<ModelRecord>> ladderModels;
  std::vector<HullRecord> ladderHulls;
  std::vector<Box> ladders;            // absolute bounds
  std::map<int, std::string> textures;  // box id -> texture
  std::vector<int> otherPlayers;        // entity indexes of addPlayer
  std::map<int, int> physentOfOwner;    // box owner -> physent index
  std::string infoValue;
  pmtrace_t lineTrace{};
  std::mt19937 random{4242};
};

// The C callbacks the record hands to the movement code.
struct PmCallbacks {
  static PlayerMove& h() { return *g_current; }
  static playermove_t& pm() { return *g_current->pm_; }

  static pmtrace_t emptyTrace(const float* end) {
    pmtrace_t t{};
    t.fraction = 1.0f;
    t.endpos = vec3_t::from(end);
    t.ent = -1;
    return t;
  }

  static bool isOtherPlayer(int owner) {
    for (int e : h().impl().otherPlayers)
      if (e == owner) return true;
    return false;
  }

  // Boxes a player trace sees: not his own, not the ignored entity's.
  static bool allowed(const Box& b, int ignorePe, bool worldOnly) {
    if (b.owner == h().player_) return false;
    if (worldOnly && b.owner != 0) return false;
    if (ignorePe >= 0 && ignorePe < pm().numphysent && b.owner == pm().physents[ignorePe].info) {
      return false;
    }
    return true;
  }

  static int physentOf(int owner) {
    auto& m = h().impl().physentOfOwner;
    auto it = m.find(owner);
    return it == m.end() ? -1 : it->second;
  }

  // The first blocking solid the hull overlaps at pos, or null.
  static const Box* blockerAt(Vec3 pos, const Hull& hull, const BoxFilter& filter) {
    return h().sv_.world().blockerAt(pos, hull, filter);
  }

  static pmtrace_t traceWith(const float* start, const float* end, const Hull& hull,
                             const BoxFilter& filter) {
    ++h().traces_;
    Trace t = h().sv_.world().trace(Vec3(start), Vec3(end), hull, filter);
    pmtrace_t r{};
    r.allsolid = t.allsolid;
    r.startsolid = t.startsolid;
    r.inopen = t.inopen;
    r.inwater = t.inwater;
    r.fraction = t.fraction;
    r.endpos = toVec3(t.endpos);
    r.plane.normal = toVec3(t.normal);
    r.plane.dist = t.planeDist;
    r.ent = t.hit() ? physentOf(t.hitOwner) : -1;
    if (t.startsolid && r.ent < 0) r.ent = physentOf(t.startOwner);
    return r;
  }

  static pmtrace_t playerTrace(float* start, float* end, int traceFlags, int ignorePe) {
    bool worldOnly = (traceFlags & PM_WORLD_ONLY) != 0;
    return traceWith(start, end, moveHull(pm().usehull),
                     [=](const Box& b) { return allowed(b, ignorePe, worldOnly); });
  }

  static pmtrace_t playerTraceEx(float* start, float* end, int traceFlags,
                                 int (*ignore)(physent_t*)) {
    bool worldOnly = (traceFlags & PM_WORLD_ONLY) != 0;
    return traceWith(start, end, moveHull(pm().usehull), [=](const Box& b) {
      if (!allowed(b, -1, worldOnly)) return false;
      int pe = physentOf(b.owner);
      return !(ignore && pe >= 0 && ignore(&pm().physents[pe]));
    });
  }

  static int testPosition(float* pos, pmtrace_t* ptrace) {
    BoxFilter filter = [](const Box& b) { return allowed(b, -1, false); };
    const Box* b = blockerAt(Vec3(pos), moveHull(pm().usehull), filter);
    pmtrace_t t = emptyTrace(pos);
    int ent = -1;
    if (b) {
      ent = physentOf(b->owner);
      if (ent < 0) ent = 0;
      t.startsolid = t.allsolid = 1;
      t.fraction = 0;
      t.ent = ent;
    }
    if (ptrace) *ptrace = t;
    return ent;
  }

  static int testPositionEx(float* pos, pmtrace_t* ptrace, int (*ignore)(physent_t*)) {
    BoxFilter filter = [=](const Box& b) {
      if (!allowed(b, -1, false)) return false;
      int pe = physentOf(b.owner);
      return !(ignore && pe >= 0 && ignore(&pm().physents[pe]));
    };
    const Box* b = blockerAt(Vec3(pos), moveHull(pm().usehull), filter);
    pmtrace_t t = emptyTrace(pos);
    int ent = -1;
    if (b) {
      ent = std::max(0, physentOf(b->owner));
      t.startsolid = t.allsolid = 1;
      t.fraction = 0;
      t.ent = ent;
    }
    if (ptrace) *ptrace = t;
    return ent;
  }

  // Contents as the engine's movement sees them: the world and brush
  // entities, not players; currents read as water with the current as true
  // contents; ladders are move entities, not contents.
  static int contentsAt(const float* p, int* truecontents) {
    int c = h().sv_.world().pointContents(Vec3(p), [](const Box& b) {
      if (b.contents == contents::kLadder) return false;
      return b.owner != h().player_ && !isOtherPlayer(b.owner);
    });
    if (truecontents) *truecontents = c;
    if (c <= -9 && c >= -14) c = CONTENTS_WATER;
    return c;
  }

  static int pointContents(float* p, int* truecontents) { return contentsAt(p, truecontents); }
  static int truePointContents(float* p) {
    int t = 0;
    contentsAt(p, &t);
    return t;
  }

  static pmtrace_t* traceLine(float* start, float* end, int flags, int usehull, int ignorePe) {
    (void)flags;
    h().impl().lineTrace = traceWith(start, end, moveHull(usehull),
                                     [=](const Box& b) { return allowed(b, ignorePe, false); });
    return &h().impl().lineTrace;
  }

  static pmtrace_t* traceLineEx(float* start, float* end, int flags, int usehull,
                                int (*ignore)(physent_t*)) {
    (void)flags;
    h().impl().lineTrace = traceWith(start, end, moveHull(usehull), [=](const Box& b) {
      if (!allowed(b, -1, false)) return false;
      int pe = physentOf(b.owner);
      return !(ignore && pe >= 0 && ignore(&pm().physents[pe]));
    });
    return &h().impl().lineTrace;
  }

  static const char* infoValueForKey(const char* s, const char* key) {
    std::string& out = h().impl().infoValue;
    out.clear();
    if (!s || !key) return out.c_str();
    std::string buf(s), k(key);
    size_t i = 0;
    while (i < buf.size()) {
      if (buf[i] == '\\') ++i;
      size_t ke = buf.find('\\', i);
      if (ke == std::string::npos) break;
      std::string name = buf.substr(i, ke - i);
      size_t ve = buf.find('\\', ke + 1);
      std::string value = buf.substr(ke + 1, ve == std::string::npos ? std::string::npos : ve - ke - 1);
      if (name == k) {
        out = value;
        break;
      }
      if (ve == std::string::npos) break;
      i = ve;
    }
    return out.c_str();
  }

  static void particle(float*, int, float, int, int) {}
  static void conNPrintf(int, char*, ...) {}

  static std::string format(const char* fmt, va_list ap) {
    char buf[1024];
    vsnprintf(buf, sizeof(buf), fmt, ap);
    return buf;
  }
  static void conDPrintf(char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    h().debug_.push_back(format(fmt, ap));
    va_end(ap);
  }
  static void conPrintf(char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    h().console_.push_back(format(fmt, ap));
    va_end(ap);
  }
  static double floatTime() { return h().sysTime; }
  static void stuckTouch(int hitent, pmtrace_t*) { h().stuckTouches_.push_back(hitent); }
  static int hullPointContents(struct hull_s* hull, int num, float* p) {
    (void)hull;
    auto& ladders = h().impl().ladders;
    if (num < 0 || num >= static_cast<int>(ladders.size())) return CONTENTS_EMPTY;
    const Box& b = ladders[num];
    Hull hh = moveHull(pm().usehull);
    for (int i = 0; i < 3; ++i) {
      if (p[i] <= b.mins[i] - hh.maxs[i] || p[i] >= b.maxs[i] - hh.mins[i]) return CONTENTS_EMPTY;
    }
    return CONTENTS_SOLID;
  }
  static long randomLong(long lo, long hi) {
    PlayerMove& self = h();
    if (!self.forcedRandom.empty()) {
      long v = self.forcedRandom.front();
      self.forcedRandom.erase(self.forcedRandom.begin());
      return std::min(hi, std::max(lo, v));
    }
    if (hi <= lo) return lo;
    std::uniform_int_distribution<long> d(lo, hi);
    return d(self.impl().random);
  }
  static float randomFloat(float lo, float hi) {
    if (hi <= lo) return lo;
    std::uniform_real_distribution<float> d(lo, hi);
    return d(h().impl().random);
  }
  static ModelRecord* model(struct model_s* m) { return reinterpret_cast<ModelRecord*>(m); }
  static int getModelType(struct model_s* m) { return m ? model(m)->kind : 3; }
  static void getModelBounds(struct model_s* m, float* mins, float* maxs) {
    if (!m) return;
    model(m)->mins.store(mins);
    model(m)->maxs.store(maxs);
  }
  static void* hullForBsp(physent_t* pe, float* offset) {
    if (offset && pe) memcpy(offset, pe->origin.data(), 3 * sizeof(float));
    ModelRecord* m = pe && pe->model ? model(pe->model) : nullptr;
    if (!m || m->ladder < 0) return nullptr;
    return &h().impl().ladderHulls[m->ladder];
  }
  // Point trace against the ladder box alone.
  static float traceModel(physent_t* pe, float* start, float* end, trace_t* trace) {
    ModelRecord* m = pe && pe->model ? model(pe->model) : nullptr;
    trace_t t{};
    t.fraction = 1.0f;
    t.endpos = vec3_t::from(end);
    if (m && m->ladder >= 0) {
      World one;
      const Box& b = h().impl().ladders[m->ladder];
      one.addSolid(b.mins, b.maxs);
      Trace r = one.trace(Vec3(start), Vec3(end), kPointHull);
      t.allsolid = r.allsolid;
      t.startsolid = r.startsolid;
      t.fraction = r.fraction;
      t.endpos = toVec3(r.endpos);
      t.plane.normal = toVec3(r.normal);
      t.plane.dist = r.planeDist;
    }
    if (trace) *trace = t;
    return t.fraction;
  }
  static std::string filePath(const char* name) { return h().sv_.modPath() + "/" + name; }
  static int fileSize(char* name) {
    std::ifstream f(filePath(name), std::ios::binary | std::ios::ate);
    return f ? static_cast<int>(f.tellg()) : -1;
  }
  static byte* loadFile(char* path, int, int* length) {
    std::ifstream f(filePath(path), std::ios::binary);
    if (!f) return nullptr;
    std::stringstream ss;
    ss << f.rdbuf();
    std::string s = ss.str();
    byte* buf = static_cast<byte*>(malloc(s.size() + 1));
    memcpy(buf, s.data(), s.size());
    buf[s.size()] = 0;
    if (length) *length = static_cast<int>(s.size());
    return buf;
  }
  static void freeFile(void* buffer) { free(buffer); }
  static char* memfgets(byte* file, int size, int* pos, char* buffer, int bufferSize) {
    if (!file || !buffer || !pos || bufferSize < 2 || *pos >= size) return nullptr;
    int i = *pos;
    int last = size;
    if (last - i > bufferSize - 1) last = i + bufferSize - 1;
    bool stop = false;
    while (i < last && !stop) {
      if (file[i] == '\n') stop = true;
      ++i;
    }
    int n = i - *pos;
    memcpy(buffer, file + *pos, n);
    buffer[n] = 0;
    *pos = i;
    return buffer;
  }
  static void playSound(int channel, const char* sample, float volume, float attenuation,
                        int flags, int pitch) {
    PmSound s;
    s.channel = channel;
    s.sample = sample ? sample : "";
    s.volume = volume;
    s.attenuation = attenuation;
    s.flags = flags;
    s.pitch = pitch;
    s.move = h().moves_;
    h().sounds_.push_back(s);
  }
  static const char* traceTexture(int ground, float* vstart, float* vend) {
    (void)ground;
    Trace t = h().sv_.world().trace(Vec3(vstart), Vec3(vend), kPointHull, [](const Box& b) {
      return b.owner != h().player_ && !isOtherPlayer(b.owner);
    });
    if (!t.hit()) return nullptr;
    auto& tex = h().impl().textures;
    auto it = tex.find(t.boxId);
    if (it != tex.end()) return it->second.c_str();
    return h().defaultTexture_.empty() ? nullptr : h().defaultTexture_.c_str();
  }
  static void playbackEvent(int, int, unsigned short, float, float*, float*, float, float, int,
                            int, int, int) {}
};

PlayerMove::PlayerMove(Server& sv, int player)
    : sv_(sv), player_(player), pm_(new playermove_t()), impl_(new Impl()) {
  g_current = this;
  playermove_t& p = *pm_;
  memset(&p, 0, sizeof(p));

  movevars_.gravity = 800;
  movevars_.stopspeed = 100;
  movevars_.maxspeed = 320;
  movevars_.spectatormaxspeed = 500;
  movevars_.accelerate = 5;
  movevars_.airaccelerate = 10;
  movevars_.wateraccelerate = 10;
  movevars_.friction = 4;
  movevars_.edgefriction = 2;
  movevars_.waterfriction = 1;
  movevars_.entgravity = 1;
  movevars_.bounce = 1;
  movevars_.stepsize = 18;
  movevars_.maxvelocity = 2000;
  movevars_.footsteps = 1;

  p.player_index = player - 1;
  p.server = 1;
  p.multiplayer = 1;
  p.runfuncs = 1;
  p.movetype = MOVETYPE_WALK;
  p.friction = 1;
  p.maxspeed = 250;
  p.view_ofs = vec3_t(0, 0, 18);
  p.onground = -1;
  p.waterlevel = 0;
  p.watertype = CONTENTS_EMPTY;
  p.chtexturetype = 'C';
  cmd_.msec = 10;
  p.cmd = cmd_;
  p.movevars = &movevars_;
  for (int i = 0; i < 4; ++i) {
    Hull hh = moveHull(i);
    p.player_mins[i] = toVec3(hh.mins);
    p.player_maxs[i] = toVec3(hh.maxs);
  }

  p.PM_Info_ValueForKey = PmCallbacks::infoValueForKey;
  p.PM_Particle = PmCallbacks::particle;
  p.PM_TestPlayerPosition = PmCallbacks::testPosition;
  p.Con_NPrintf = PmCallbacks::conNPrintf;
  p.Con_DPrintf = PmCallbacks::conDPrintf;
  p.Con_Printf = PmCallbacks::conPrintf;
  p.Sys_FloatTime = PmCallbacks::floatTime;
  p.PM_StuckTouch = PmCallbacks::stuckTouch;
  p.PM_PointContents = PmCallbacks::pointContents;
  p.PM_TruePointContents = PmCallbacks::truePointContents;
  p.PM_HullPointContents = PmCallbacks::hullPointContents;
  p.PM_PlayerTrace = PmCallbacks::playerTrace;
  p.PM_TraceLine = PmCallbacks::traceLine;
  p.RandomLong = PmCallbacks::randomLong;
  p.RandomFloat = PmCallbacks::randomFloat;
  p.PM_GetModelType = PmCallbacks::getModelType;
  p.PM_GetModelBounds = PmCallbacks::getModelBounds;
  p.PM_HullForBsp = PmCallbacks::hullForBsp;
  p.PM_TraceModel = PmCallbacks::traceModel;
  p.COM_FileSize = PmCallbacks::fileSize;
  p.COM_LoadFile = PmCallbacks::loadFile;
  p.COM_FreeFile = PmCallbacks::freeFile;
  p.memfgets = PmCallbacks::memfgets;
  p.PM_PlaySound = PmCallbacks::playSound;
  p.PM_TraceTexture = PmCallbacks::traceTexture;
  p.PM_PlaybackEventFull = PmCallbacks::playbackEvent;
  p.PM_PlayerTraceEx = PmCallbacks::playerTraceEx;
  p.PM_TestPlayerPositionEx = PmCallbacks::testPositionEx;
  p.PM_TraceLineEx = PmCallbacks::traceLineEx;

  impl_->worldModel.kind = 0;

  mover = [this](playermove_t* ppm, int server) {
    sv_.callGame(&DLL_FUNCTIONS::pfnPM_Move, ppm, static_cast<qboolean>(server));
  };
  initialiser = [this](playermove_t* ppm) { sv_.callGame(&DLL_FUNCTIONS::pfnPM_Init, ppm); };
}

PlayerMove::~PlayerMove() {
  if (g_current == this) g_current = nullptr;
}

PlayerMove* PlayerMove::current() { return g_current; }

void PlayerMove::setOrigin(Vec3 o) { pm_->origin = toVec3(o); }
void PlayerMove::setVelocity(Vec3 v) { pm_->velocity = toVec3(v); }
void PlayerMove::setViewAngles(Vec3 a) {
  cmd_.viewangles = toVec3(a);
  pm_->angles = toVec3(a);
  pm_->oldangles = toVec3(a);
}
void PlayerMove::setButtons(int buttons) { cmd_.buttons = static_cast<unsigned short>(buttons); }
void PlayerMove::setMoves(float forward, float side, float up) {
  cmd_.forwardmove = forward;
  cmd_.sidemove = side;
  cmd_.upmove = up;
}
void PlayerMove::setMsec(int msec) { cmd_.msec = static_cast<byte>(msec); }

void PlayerMove::setPhysinfo(const std::string& infoBuffer) {
  snprintf(pm_->physinfo, sizeof(pm_->physinfo), "%s", infoBuffer.c_str());
}

void PlayerMove::setPhysicsKey(const std::string& key, const std::string& value) {
  // Rebuild the buffer with the key replaced or appended.
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string buf = pm_->physinfo;
  size_t i = 0;
  while (i < buf.size()) {
    if (buf[i] == '\\') ++i;
    size_t ke = buf.find('\\', i);
    if (ke == std::string::npos) break;
    size_t ve = buf.find('\\', ke + 1);
    pairs.emplace_back(buf.substr(i, ke - i),
                       buf.substr(ke + 1, ve == std::string::npos ? std::string::npos : ve - ke - 1));
    if (ve == std::string::npos) break;
    i = ve;
  }
  bool found = false;
  for (auto& p : pairs) {
    if (p.first == key) {
      p.second = value;
      found = true;
    }
  }
  if (!found) pairs.emplace_back(key, value);
  std::string out;
  for (auto& p : pairs) out += "\\" + p.first + "\\" + p.second;
  setPhysinfo(out);
}

Vec3 PlayerMove::origin() const { return toVec(pm_->origin); }
Vec3 PlayerMove::velocity() const { return toVec(pm_->velocity); }

int PlayerMove::addLadder(Vec3 mins, Vec3 maxs) {
  Box b;
  b.id = static_cast<int>(impl_->ladders.size());
  b.mins = mins;
  b.maxs = maxs;
  b.contents = contents::kLadder;
  impl_->ladders.push_back(b);
  auto m = std::make_unique<ModelRecord>();
  m->kind = 0;
  m->mins = mins;
  m->maxs = maxs;
  m->ladder = b.id;
  impl_->ladderModels.push_back(std::move(m));
  HullRecord hr{nullptr, nullptr, b.id, b.id};
  impl_->ladderHulls.push_back(hr);
  // The engine's world also knows the volume (point contents ignore it).
  sv_.world().addVolume(mins, maxs, contents::kLadder);
  rebuildPhysents();
  return b.id;
}

void PlayerMove::setTexture(int boxId, const std::string& name) { impl_->textures[boxId] = name; }

void PlayerMove::addPlayer(int entity, Vec3 origin) {
  sv_.world().setEntityBox(entity, origin + kHumanHull.mins, origin + kHumanHull.maxs);
  impl_->otherPlayers.push_back(entity);
  rebuildPhysents();
}

void PlayerMove::rebuildPhysents() {
  playermove_t& p = *pm_;
  impl_->physentOfOwner.clear();
  p.numphysent = 0;
  physent_t& world = p.physents[p.numphysent];
  memset(&world, 0, sizeof(world));
  snprintf(world.name, sizeof(world.name), "world");
  world.model = reinterpret_cast<struct model_s*>(&impl_->worldModel);
  world.solid = SOLID_BSP;
  world.info = 0;
  impl_->physentOfOwner[0] = p.numphysent++;
  for (const Box& b : sv_.world().boxes()) {
    if (b.owner == 0 || b.owner == player_ || impl_->physentOfOwner.count(b.owner)) continue;
    if (p.numphysent >= MAX_PHYSENTS) break;
    physent_t& pe = p.physents[p.numphysent];
    memset(&pe, 0, sizeof(pe));
    snprintf(pe.name, sizeof(pe.name), "ent%d", b.owner);
    pe.info = b.owner;
    pe.player = isOtherPlayerEntity(b.owner) ? b.owner : 0;
    pe.origin = toVec3((b.mins + b.maxs) * 0.5f);
    pe.mins = toVec3(b.mins - (b.mins + b.maxs) * 0.5f);
    pe.maxs = toVec3(b.maxs - (b.mins + b.maxs) * 0.5f);
    pe.solid = pe.player ? SOLID_SLIDEBOX : SOLID_BBOX;
    pe.movetype = pe.player ? MOVETYPE_WALK : MOVETYPE_NONE;
    impl_->physentOfOwner[b.owner] = p.numphysent++;
  }
  p.nummoveent = 0;
  for (size_t i = 0; i < impl_->ladders.size() && p.nummoveent < MAX_MOVEENTS; ++i) {
    physent_t& pe = p.moveents[p.nummoveent++];
    memset(&pe, 0, sizeof(pe));
    snprintf(pe.name, sizeof(pe.name), "func_ladder");
    pe.model = reinterpret_cast<struct model_s*>(impl_->ladderModels[i].get());
    pe.skin = CONTENTS_LADDER;
    pe.solid = SOLID_BSP;
    pe.movetype = MOVETYPE_PUSH;
    pe.origin = vec3_t(0, 0, 0);
  }
}

bool PlayerMove::isOtherPlayerEntity(int entity) const {
  for (int e : impl_->otherPlayers)
    if (e == entity) return true;
  return false;
}

void PlayerMove::init() {
  g_current = this;
  rebuildPhysents();
  initialiser(pm_.get());
}

void PlayerMove::move(int n) {
  g_current = this;
  for (int i = 0; i < n; ++i) {
    rebuildPhysents();
    ++moves_;
    pm_->cmd = cmd_;
    pm_->time += pm_->cmd.msec;
    pm_->frametime = pm_->cmd.msec * 0.001f;
    sysTime += pm_->cmd.msec * 0.001;
    pm_->oldangles = pm_->angles;
    mover(pm_.get(), serverSide);
  }
}

bool PlayerMove::moveUntil(const std::function<bool(const playermove_t&)>& pred, int maxMoves) {
  for (int i = 0; i < maxMoves; ++i) {
    move(1);
    if (pred(*pm_)) return true;
  }
  return false;
}

std::vector<PmSound> PlayerMove::soundsMatching(const std::string& part) const {
  std::vector<PmSound> out;
  for (const auto& s : sounds_)
    if (s.sample.find(part) != std::string::npos) out.push_back(s);
  return out;
}

void PlayerMove::clearRecords() {
  sounds_.clear();
  console_.clear();
  debug_.clear();
  stuckTouches_.clear();
  traces_ = 0;
}

}  // namespace host
