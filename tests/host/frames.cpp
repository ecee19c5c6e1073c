// Server frames: the clock, the game's frame calls, a simple movement of
// players and entities over the world, thinks and touches.
#include <cmath>

#include "engine_impl.h"

namespace host {

namespace {

bool solidEnt(const edict_t* e) { return e->v.solid != SOLID_NOT && e->v.solid != SOLID_TRIGGER; }

vec3_t clipVelocity(vec3_t v, vec3_t n, float overbounce) {
  float back = v.dot(n) * overbounce;
  vec3_t out = v - n * back;
  for (int i = 0; i < 3; ++i)
    if (out[i] > -0.1f && out[i] < 0.1f) out[i] = 0;
  return out;
}

// Both touch calls of an impact, as the engine makes them.
void impact(Server& s, edict_t* mover, edict_t* hit) {
  if (!hit || !solidEnt(mover)) return;
  if (mover->v.solid != SOLID_NOT) s.callGame(&DLL_FUNCTIONS::pfnTouch, mover, hit);
  if (hit->v.solid != SOLID_NOT && !(mover->free)) s.callGame(&DLL_FUNCTIONS::pfnTouch, hit, mover);
}

// Triggers whose box the mover now overlaps are touched by it.
void touchTriggers(Server& s, edict_t* mover) {
  Server::Impl& m = s.impl();
  vec3_t mn = mover->v.origin + mover->v.mins, mx = mover->v.origin + mover->v.maxs;
  for (int i = 1; i < m.highWater; ++i) {
    edict_t* t = &m.edicts[static_cast<size_t>(i)];
    if (t == mover || t->free || t->v.solid != SOLID_TRIGGER) continue;
    vec3_t tmn = t->v.origin + t->v.mins, tmx = t->v.origin + t->v.maxs;
    bool overlap = true;
    for (int k = 0; k < 3; ++k)
      if (mn[k] > tmx[k] || mx[k] < tmn[k]) overlap = false;
    if (overlap) s.callGame(&DLL_FUNCTIONS::pfnTouch, t, mover);
  }
}

// Moves e by its velocity (plus base velocity) for dt seconds, sliding or
// bouncing on what it hits; returns the last hit entity.
void slideMove(Server& s, edict_t* e, float dt, float overbounce, bool stopOnFloor) {
  vec3_t move = (e->v.velocity + e->v.basevelocity) * dt;
  float left = 1.0f;
  for (int bump = 0; bump < 4 && left > 0; ++bump) {
    TraceResult tr{};
    vec3_t end = e->v.origin + move * left;
    s.engineTable()->pfnTraceMonsterHull(e, e->v.origin, end, 0, e, &tr);
    if (tr.fAllSolid) {
      e->v.velocity = vec3_t(0, 0, 0);
      return;
    }
    e->v.origin = tr.vecEndPos;
    if (tr.flFraction >= 1.0f) break;
    left *= 1.0f - tr.flFraction;
    vec3_t n = tr.vecPlaneNormal;
    if (n.z > 0.7f) {
      e->v.flags |= FL_ONGROUND;
      e->v.groundentity = tr.pHit;
    }
    e->v.velocity = clipVelocity(e->v.velocity, n, overbounce);
    move = clipVelocity(move, n, 1.0f);
    if (stopOnFloor && n.z > 0.7f) {
      e->v.velocity = vec3_t(0, 0, 0);
      e->v.avelocity = vec3_t(0, 0, 0);
      left = 0;
    }
    impact(s, e, tr.pHit);
    if (e->free || (e->v.flags & FL_KILLME) || e->v.movetype == MOVETYPE_NONE) return;
  }
}

void checkGround(Server& s, edict_t* e) {
  if (e->v.velocity.z > 180) {
    e->v.flags &= ~FL_ONGROUND;
    return;
  }
  TraceResult tr{};
  vec3_t below = e->v.origin - vec3_t(0, 0, 2);
  s.engineTable()->pfnTraceMonsterHull(e, e->v.origin, below, 0, e, &tr);
  if (tr.flFraction < 1.0f && tr.vecPlaneNormal.z > 0.7f && !tr.fStartSolid) {
    e->v.flags |= FL_ONGROUND;
    e->v.groundentity = tr.pHit;
    if (e->v.velocity.z <= 0) e->v.origin = tr.vecEndPos;  // stand on it
  } else {
    e->v.flags &= ~FL_ONGROUND;
    e->v.groundentity = nullptr;
  }
}

float gravityOf(Server& s, const edict_t* e) {
  return s.cvarFloat("sv_gravity") * (e->v.gravity != 0 ? e->v.gravity : 1.0f);
}

void moveEntity(Server& s, edict_t* e, float dt) {
  switch (e->v.movetype) {
    case MOVETYPE_NOCLIP:
      e->v.origin += (e->v.velocity + e->v.basevelocity) * dt;
      e->v.angles += e->v.avelocity * dt;
      break;
    case MOVETYPE_PUSH:
      if (e->v.velocity.isZero() && e->v.avelocity.isZero()) return;
      e->v.origin += e->v.velocity * dt;
      e->v.angles += e->v.avelocity * dt;
      break;
    case MOVETYPE_FOLLOW:
      if (e->v.aiment) e->v.origin = e->v.aiment->v.origin;
      break;
    case MOVETYPE_FLY:
    case MOVETYPE_FLYMISSILE:
      if (e->v.velocity.isZero() && e->v.basevelocity.isZero()) return;
      slideMove(s, e, dt, 1.0f, false);
      break;
    case MOVETYPE_TOSS:
    case MOVETYPE_BOUNCE:
    case MOVETYPE_BOUNCEMISSILE:
      if ((e->v.flags & FL_ONGROUND) && e->v.velocity.isZero()) return;
      e->v.flags &= ~FL_ONGROUND;
      if (e->v.movetype != MOVETYPE_BOUNCEMISSILE) e->v.velocity.z -= gravityOf(s, e) * dt;
      slideMove(s, e, dt, e->v.movetype == MOVETYPE_TOSS ? 1.0f : 1.5f,
                e->v.movetype == MOVETYPE_TOSS);
      break;
    case MOVETYPE_WALK:
    case MOVETYPE_STEP:
      checkGround(s, e);
      if (!(e->v.flags & FL_ONGROUND)) e->v.velocity.z -= gravityOf(s, e) * dt;
      else if (e->v.velocity.z < 0) e->v.velocity.z = 0;
      slideMove(s, e, dt, 1.0f, false);
      break;
    default:
      return;
  }
  if (e->free) return;
  setAbsBox(e);
  touchTriggers(s, e);
}

}  // namespace

void Server::runFrame(float dt) {
  engine_.pfnServerExecute();
  globals_.frametime = dt;
  globals_.time += dt;
  callGame(&DLL_FUNCTIONS::pfnStartFrame);
  for (int p : players()) {
    edict_t* e = edict(p);
    impl_->currentPlayer = p - 1;
    callGame(&DLL_FUNCTIONS::pfnPlayerPreThink, e);
    if (!connected(p)) continue;
    if (playerMove) {
      playerMove(*this, p, dt);
    } else {
      e->v.oldorigin = e->v.origin;
      moveEntity(*this, e, dt);
    }
    callGame(&DLL_FUNCTIONS::pfnPlayerPostThink, e);
    e->v.oldbuttons = e->v.button;
  }
  impl_->currentPlayer = -1;
  const int maxClients = globals_.maxClients;
  for (int i = 1; i < impl_->highWater; ++i) {
    edict_t* e = &impl_->edicts[static_cast<size_t>(i)];
    if (e->free) continue;
    if (e->v.flags & FL_KILLME) {
      engine_.pfnRemoveEntity(e);
      continue;
    }
    if (i <= maxClients) continue;
    moveEntity(*this, e, dt);
    if (e->free) continue;
    float next = e->v.nextthink;
    if (next > 0 && next <= globals_.time) {
      // Like the engine: the think runs at its own time, with nextthink
      // cleared, so a think that does not set it again runs once.
      float now = globals_.time;
      e->v.nextthink = 0;
      globals_.time = std::max(next, now - dt);
      callGame(&DLL_FUNCTIONS::pfnThink, e);
      globals_.time = now;
    }
  }
}

void Server::runFor(float seconds, float dt) {
  int frames = static_cast<int>(std::lround(seconds / dt));
  for (int i = 0; i < frames; ++i) runFrame(dt);
}

}  // namespace host
