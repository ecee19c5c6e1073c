// Engine slots: traces and point contents against the world and the
// solid entities, and the vector maths (angle vectors, angles of a vector).
#include <cmath>
#include <cstring>

#include "engine_impl.h"

namespace host {

namespace {

constexpr float kPi = 3.14159265358979323846f;

}  // namespace

BoxFilter entityFilter(int noMonsters, edict_t* skip, int only) {
  int skipIndex = entIndex(skip);
  int skipOwner = skip && skip->v.owner ? entIndex(skip->v.owner) : -1;
  return [=](const Box& b) {
    if (only >= 0) return b.owner == only && b.entity;
    if (!b.entity) return only < 0;
    if (b.owner == skipIndex || b.owner == skipOwner) return false;
    edict_t* e = entAt(b.owner);
    if (!e) return false;
    if (skipIndex > 0 && e->v.owner && entIndex(e->v.owner) == skipIndex) return false;
    if (noMonsters == 1 && e->v.solid != SOLID_BSP) return false;
    return true;
  };
}

namespace {

// Hit groups of a player box by height: head, chest, stomach, legs.
int hitGroupFor(edict_t* hit, const vec3_t& pos) {
  int i = entIndex(hit);
  if (!isPlayerIndex(i)) return 0;
  float dz = pos.z - hit->v.origin.z;
  if (dz >= 20) return 1;
  if (dz >= 0) return 2;
  if (dz >= -18) return 3;
  return 6;
}

void fill(const Trace& t, TraceResult* out) {
  memset(static_cast<void*>(out), 0, sizeof(*out));
  out->fAllSolid = t.allsolid;
  out->fStartSolid = t.startsolid;
  out->fInOpen = t.inopen;
  out->fInWater = t.inwater;
  out->flFraction = t.fraction;
  out->vecEndPos = toVec3(t.endpos);
  out->vecPlaneNormal = toVec3(t.normal);
  out->flPlaneDist = t.planeDist;
  // A trace that hits nothing still names the world (edict 0), as the engine does.
  out->pHit = t.hit() ? entAt(t.hitOwner) : entAt(0);
  out->iHitgroup = t.hit() ? hitGroupFor(out->pHit, out->vecEndPos) : 0;
  globalvars_t* g = sv().globals();
  g->trace_allsolid = static_cast<float>(out->fAllSolid);
  g->trace_startsolid = static_cast<float>(out->fStartSolid);
  g->trace_fraction = out->flFraction;
  g->trace_endpos = out->vecEndPos;
  g->trace_plane_normal = out->vecPlaneNormal;
  g->trace_plane_dist = out->flPlaneDist;
  g->trace_ent = out->pHit;
  g->trace_inopen = static_cast<float>(out->fInOpen);
  g->trace_inwater = static_cast<float>(out->fInWater);
  g->trace_hitgroup = out->iHitgroup;
}

void traceHullImpl(const float* v1, const float* v2, int noMonsters, const Hull& hull,
                   edict_t* skip, TraceResult* ptr, int only = -1) {
  if (!v1 || !v2 || !ptr) return;
  sv().syncEntityBoxes();
  Trace t = sv().world().trace(Vec3(v1), Vec3(v2), hull, entityFilter(noMonsters, skip, only));
  fill(t, ptr);
}

void traceLine(const float* v1, const float* v2, int noMonsters, edict_t* skip, TraceResult* ptr) {
  traceHullImpl(v1, v2, noMonsters, kPointHull, skip, ptr);
}

void traceHull(const float* v1, const float* v2, int noMonsters, int hull, edict_t* skip,
               TraceResult* ptr) {
  traceHullImpl(v1, v2, noMonsters, engineHull(hull), skip, ptr);
}

void traceModel(const float* v1, const float* v2, int hull, edict_t* pent, TraceResult* ptr) {
  traceHullImpl(v1, v2, 0, engineHull(hull), nullptr, ptr, std::max(0, entIndex(pent)));
}

Hull hullOf(edict_t* e) {
  if (!e) return kPointHull;
  return Hull{toVec(e->v.mins), toVec(e->v.maxs)};
}

int traceMonsterHull(edict_t* e, const float* v1, const float* v2, int noMonsters, edict_t* skip,
                     TraceResult* ptr) {
  traceHullImpl(v1, v2, noMonsters, hullOf(e), skip, ptr);
  return ptr && (ptr->fAllSolid || ptr->fStartSolid || ptr->flFraction < 1.0f) ? 1 : 0;
}

void traceSphere(const float* v1, const float* v2, int noMonsters, float, edict_t* skip,
                 TraceResult* ptr) {
  traceHullImpl(v1, v2, noMonsters, kPointHull, skip, ptr);
}

// Follows the entity's ballistic path (its velocity and gravity) for up to
// ten seconds and reports where it first hits something.
void traceToss(edict_t* e, edict_t* ignore, TraceResult* ptr) {
  if (!e || !ptr) return;
  Server& s = sv();
  vec3_t origin = e->v.origin, vel = e->v.velocity;
  float g = s.cvarFloat("sv_gravity") * (e->v.gravity != 0 ? e->v.gravity : 1.0f);
  const float dt = 0.05f;
  for (int i = 0; i < 200; ++i) {
    vel.z -= g * dt;
    vec3_t next = origin + vel * dt;
    traceHullImpl(origin, next, 0, hullOf(e), ignore ? ignore : e, ptr);
    if (ptr->flFraction < 1.0f || ptr->fAllSolid) return;
    origin = next;
  }
}

const char* traceTexture(edict_t*, const float* v1, const float* v2) {
  if (!v1 || !v2) return nullptr;
  sv().syncEntityBoxes();
  Trace t = sv().world().trace(Vec3(v1), Vec3(v2), kPointHull, nullptr);
  if (!t.hit()) return nullptr;
  const Box* b = sv().world().find(t.boxId);
  return b && !b->texture.empty() ? im().keep(b->texture) : nullptr;
}

int pointContents(const float* p) {
  if (!p) return CONTENTS_EMPTY;
  sv().syncEntityBoxes();
  // Solid entities do not change the contents, only world boxes do.
  return sv().world().pointContents(Vec3(p), [](const Box& b) { return !b.entity; });
}

void angleVectors(const float* angles, float* forward, float* right, float* up) {
  if (!angles) return;
  float p = angles[0] * kPi / 180, y = angles[1] * kPi / 180, r = angles[2] * kPi / 180;
  float sp = sinf(p), cp = cosf(p), sy = sinf(y), cy = cosf(y), sr = sinf(r), cr = cosf(r);
  if (forward) {
    forward[0] = cp * cy;
    forward[1] = cp * sy;
    forward[2] = -sp;
  }
  if (right) {
    right[0] = -sr * sp * cy + cr * sy;
    right[1] = -sr * sp * sy - cr * cy;
    right[2] = -sr * cp;
  }
  if (up) {
    up[0] = cr * sp * cy + sr * sy;
    up[1] = cr * sp * sy - sr * cy;
    up[2] = cr * cp;
  }
}

void makeVectors(const float* angles) {
  globalvars_t* g = sv().globals();
  angleVectors(angles, g->v_forward, g->v_right, g->v_up);
}

// Angles of a direction: pitch positive upward (the model convention of the
// game, the opposite of a view angle), yaw 0..360, roll 0.
void vecToAngles(const float* in, float* out) {
  if (!in || !out) return;
  float yaw, pitch;
  if (in[0] == 0 && in[1] == 0) {
    yaw = 0;
    pitch = in[2] > 0 ? 90 : 270;
  } else {
    yaw = atan2f(in[1], in[0]) * 180 / kPi;
    if (yaw < 0) yaw += 360;
    pitch = atan2f(in[2], sqrtf(in[0] * in[0] + in[1] * in[1])) * 180 / kPi;
    if (pitch < 0) pitch += 360;
  }
  out[0] = pitch;
  out[1] = yaw;
  out[2] = 0;
}

float vecToYaw(const float* v) {
  if (!v || (v[0] == 0 && v[1] == 0)) return 0;
  float yaw = atan2f(v[1], v[0]) * 180 / kPi;
  return yaw < 0 ? yaw + 360 : yaw;
}

void getAimVector(edict_t* e, float, float* out) {
  if (!e || !out) return;
  angleVectors(e->v.v_angle, out, nullptr, nullptr);
}

}  // namespace

void installTraceSlots(enginefuncs_t& t) {
  t.pfnTraceLine = traceLine;
  t.pfnTraceHull = traceHull;
  t.pfnTraceModel = traceModel;
  t.pfnTraceMonsterHull = traceMonsterHull;
  t.pfnTraceSphere = traceSphere;
  t.pfnTraceToss = traceToss;
  t.pfnTraceTexture = traceTexture;
  t.pfnPointContents = pointContents;
  t.pfnMakeVectors = makeVectors;
  t.pfnAngleVectors = angleVectors;
  t.pfnVecToAngles = vecToAngles;
  t.pfnVecToYaw = vecToYaw;
  t.pfnGetAimVector = getAimVector;
}

}  // namespace host
