// Pull and swing: the per-frame step of every player and the physics of an
// attached hook. The player's velocity is the only output; the engine's own
// player physics moves him with it.
#include "hook_internal.h"

namespace {

void UseKeyLatch(edict_t* player, HookPlayerState* rec) {
  bool held = (player->v.button & IN_USE) != 0;
  if (held && !rec->useKeyDown) {
    rec->useKeyDown = 1;
    Hook_Command(player, kHookCommandUseDown);
  } else if (!held && rec->useKeyDown) {
    rec->useKeyDown = 0;
    Hook_Command(player, kHookCommandUseUp);
  }
}

// Straight toward the anchor at the pull speed.
void Pull(edict_t* player, const vec3_t& anchor) {
  vec3_t velocity = player->v.velocity;
  float s = velocity.length();
  float z0 = velocity.z;
  vec3_t d = anchor - player->v.origin;
  vec3_t w = d * (0.2f * s + 400.0f) + velocity * 0.2f;
  float len = w.length();
  vec3_t dir = len > 0.0f ? w / len : vec3_t(0.0f, 0.0f, 1.0f);
  float speed = HookConfig.forceSpeed != 0.0f ? HookConfig.forceSpeed
                                              : HookConfig.pullSpeedScale * Hook_MaxSpeed(player);
  velocity = dir * speed;
  if (velocity.z < 0.0f && Hook_CvarFast(kCvarGround) == 0.0f) velocity.z = z0;
  player->v.velocity = velocity;
}

inline int Key(int buttons, int bit) { return (buttons & bit) ? 1 : 0; }

// One rope step every 0.1 s: steering, reeling, gravity along the arc and
// the rope holding the player at its length.
void Swing(edict_t* player, HookPlayerState* rec, const vec3_t& anchor) {
  float now = Hook_Now();
  // A millisecond of slack: server time is a float summed frame by frame, and
  // without it a step due at a frame's time would slip to the next frame.
  if (rec->nextSwingTick > now + 0.001f) return;
  rec->nextSwingTick = now + 0.1f;

  vec3_t p0 = player->v.origin;
  EngineTable.pfnMakeVectors(player->v.v_angle);
  vec3_t aimEnd = p0 + GameGlobals->v_forward * 10240.0f;
  TraceResult tr;
  memset(&tr, 0, sizeof(tr));
  EngineTable.pfnTraceLine(p0, aimEnd, dont_ignore_monsters, player, &tr);
  vec3_t e = tr.vecEndPos;

  vec3_t v = player->v.velocity;
  int buttons = player->v.button;
  int f = Key(buttons, IN_FORWARD) - Key(buttons, IN_BACK);
  int r = Key(buttons, IN_MOVERIGHT) - Key(buttons, IN_MOVELEFT);
  int u = Key(buttons, IN_JUMP) - Key(buttons, IN_DUCK);

  if (f != 0 || r != 0) {
    float dx = e.x - p0.x, dy = e.y - p0.y;
    float ax = f * dx + r * dy, ay = f * dy - r * dx;
    float l = sqrtf(ax * ax + ay * ay);
    if (l > 0.0f) {
      float acc = static_cast<float>(HookConfig.swingAcceleration);
      v.x += Hook_Round(acc * ax * 0.1f / l);
      v.y += Hook_Round(acc * ay * 0.1f / l);
    }
  }
  if (u != 0) {
    // In float: the reel speed may be any int, and -1 times the lowest overflows.
    float reel = static_cast<float>(u) * static_cast<float>(HookConfig.reelSpeed) * 0.1f;
    rec->ropeLength -= Hook_Round(reel);
  }
  if (rec->ropeLength < static_cast<float>(HookConfig.minLength))
    rec->ropeLength = static_cast<float>(HookConfig.minLength);

  vec3_t rope = anchor - p0;
  float d = rope.length();
  if (d == 0.0f) return;

  vec3_t t(rope.x * rope.z / d, rope.y * rope.z / d, -(rope.x * rope.x + rope.y * rope.y) / d);
  float tl = t.length();
  float vr = v.dot(rope) / d;
  float stretch = (d - rec->ropeLength) * 4.0f;
  if (tl > 10.0f) {
    float g = -Hook_SvGravity() * t.z / tl;
    float k = g * 0.1f / tl;
    v.x += Hook_Round(t.x * k);
    v.y += Hook_Round(t.y * k);
    v.z += Hook_Round(t.z * k);
  }
  v += rope * ((stretch - vr) / d);
  player->v.velocity = v;
}

}  // namespace

int Hook_PreThink(edict_t* player) {
  if (!player || Hook_String(player->v.netname)[0] == '\0' || !Hook_ClassIs(player, "player")) return 0;
  HookPlayerState* rec = Hook_RecordOf(player);
  if (!rec) return 0;
  if (HookConfig.useKey) UseKeyLatch(player, rec);
  if (rec->state == kHookAttached) {
    if (Hook_Alive(player) && rec->holdUntil > Hook_Now() && Hook_IsValidAnchor(rec->attachedTo))
      Hook_Pull(player, rec);
    else
      Hook_Release(player);
  }
  return 0;
}

void Hook_Pull(edict_t* player, HookPlayerState* rec) {
  vec3_t anchor = rec->attachedTo->v.origin - rec->attachedOrigin + rec->anchor;
  if (Hook_IsValid(rec->hookEntity)) rec->hookEntity->v.origin = anchor;
  if (Hook_CvarFast(kCvarSwing) == 0.0f)
    Pull(player, anchor);
  else
    Swing(player, rec, anchor);
}
