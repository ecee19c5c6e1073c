// Hook projectile and attachment: firing, touching, thinking and release.
#include "hook_internal.h"

HookStrings HookPool;

namespace {

const char kHookModel[] = "models/crossbow_bolt.mdl";
const char kBeamSprite[] = "sprites/laserbeam.spr";
const char kSoundHit[] = "weapons/xbow_hit1.wav";
const char kSoundFire[] = "weapons/xbow_fire1.wav";
const char kSoundHitBody[] = "weapons/xbow_hitbod1.wav";
const char kSoundHitBody2[] = "weapons/xbow_hitbod2.wav";

constexpr int kBeamPointToPlayer = 0;
constexpr int kBeamBetweenEntities = 1;

// The engine keeps the pointers handed to the precache calls, so they name
// text with static lifetime.
char* Persistent(const char* text) { return const_cast<char*>(text); }

void EmitStatic(edict_t* from, const char* sample) {
  EngineTable.pfnEmitSound(from, CHAN_STATIC, sample, 1.0f, ATTN_NORM, 0, PITCH_NORM);
}

void TraceFrom(const vec3_t& start, const vec3_t& end, edict_t* skip, TraceResult* tr) {
  memset(tr, 0, sizeof(*tr));
  EngineTable.pfnTraceLine(start, end, dont_ignore_monsters, skip, tr);
}

vec3_t Forward() { return GameGlobals->v_forward; }

void Attach(HookPlayerState* rec, edict_t* touched, edict_t* hook) {
  hook->v.velocity = vec3_t(0.0f, 0.0f, 0.0f);
  hook->v.solid = SOLID_NOT;
  hook->v.movetype = MOVETYPE_NOCLIP;
  rec->attachedTo = touched;
  rec->attachedOrigin = touched->v.origin;
  rec->holdUntil = Hook_Now() + Hook_Cvar(hookcvar::kHold);
  rec->anchor = hook->v.origin;
  rec->state = kHookAttached;
}

void SwingSetUp(HookPlayerState* rec, edict_t* owner, edict_t* touched) {
  vec3_t anchorPoint = touched->v.origin - rec->attachedOrigin + rec->anchor;
  rec->ropeLength = (owner->v.origin - anchorPoint).length();
  // A second set-up before the release must not save the swing gravity itself.
  if (!rec->swingActive) rec->savedGravity = owner->v.gravity;
  rec->swingActive = 1;
  rec->nextSwingTick = Hook_Now() + 0.1f;
  owner->v.gravity = 0.0001f;
}

void Sparks(const vec3_t& at) {
  EngineTable.pfnMessageBegin(MSG_PVS, SVC_TEMPENTITY, at, nullptr);
  EngineTable.pfnWriteByte(TE_SPARKS);
  EngineTable.pfnWriteCoord(at.x);
  EngineTable.pfnWriteCoord(at.y);
  EngineTable.pfnWriteCoord(at.z);
  EngineTable.pfnMessageEnd();
}

void SetUpBeam(edict_t* player, edict_t* hook, int mode, const vec3_t& point, int color) {
  HookPlayerState* rec = Hook_RecordOf(player);
  if (Hook_IsValid(rec->beamEntity)) Hook_MarkForDeletion(rec->beamEntity);
  rec->beamEntity = nullptr;

  edict_t* beam = Beam_Create(kBeamSprite, Hook_Trunc(Hook_Cvar(hookcvar::kWidth)));
  if (!beam) return;
  bool weapon = Hook_Cvar(hookcvar::kWeapon) != 0.0f;
  int playerIndex = EngineTable.pfnIndexOfEdict(player);
  if (mode == kBeamPointToPlayer) {
    Beam_PointEntInit(beam, point, playerIndex);
    if (weapon) beam->v.skin = (beam->v.skin & 0xFFF) | 0x1000;
  } else {
    Beam_EntsInit(beam, playerIndex, EngineTable.pfnIndexOfEdict(hook));
    if (weapon) beam->v.sequence = (beam->v.sequence & 0xFFF) | 0x1000;
  }
  beam->v.spawnflags |= SF_BEAM_TEMPORARY;
  beam->v.animtime = 2.0f;
  beam->v.renderamt = 128.0f;
  beam->v.frame = 1.0f;
  beam->v.owner = player;
  switch (color) {
    case 1: beam->v.rendercolor = vec3_t(0.0f, 0.0f, 255.0f); break;
    case 2: beam->v.rendercolor = vec3_t(255.0f, 0.0f, 0.0f); break;
    case 3: beam->v.rendercolor = vec3_t(255.0f, 255.0f, 0.0f); break;
    case 4: beam->v.rendercolor = vec3_t(0.0f, 255.0f, 0.0f); break;
    default: beam->v.rendercolor = vec3_t(255.0f, 255.0f, 255.0f); break;
  }
  beam->v.body = Hook_Trunc(Hook_Cvar(hookcvar::kNoise));
  rec->beamEntity = beam;
}

// Undoes a refused instant hook.
void FailInstant(HookPlayerState* rec, edict_t* hook) {
  EngineTable.pfnRemoveEntity(hook);
  rec->lastRelease = Hook_Now();
}

}  // namespace

void Hook_AllocStrings() {
  HookPool.infoTarget = EngineTable.pfnAllocString("info_target");
  HookPool.hookClass = EngineTable.pfnAllocString("GP_hook");
  HookPool.beamClass = EngineTable.pfnAllocString("beam");
  HookPool.hookModel = EngineTable.pfnAllocString(kHookModel);
  HookPool.beamSprite = EngineTable.pfnAllocString(kBeamSprite);
}

bool Hook_IsValid(const edict_t* e) {
  return e && EngineTable.pfnEntOffsetOfPEntity(e) != 0 && !e->free && !(e->v.flags & FL_KILLME);
}

bool Hook_IsValidAnchor(const edict_t* e) {
  return e && !e->free && !(e->v.flags & FL_KILLME) &&
         (EngineTable.pfnEntOffsetOfPEntity(e) != 0 || EngineTable.pfnIndexOfEdict(e) == 0);
}

int Hook_Precache(edict_t* entity) {
  if (!entity || !Hook_ClassIs(entity, "worldspawn")) return 0;
  // The engine's variable list may have changed since the last map.
  Hook_LinkCvars();
  HookConfig.nextRead = 0.0f;
  Hook_ReadSettings();
  Hook_AllocStrings();
  EngineTable.pfnPrecacheModel(Persistent(kBeamSprite));
  EngineTable.pfnPrecacheModel(Persistent(kHookModel));
  EngineTable.pfnPrecacheSound(Persistent(kSoundHit));
  EngineTable.pfnPrecacheSound(Persistent(kSoundFire));
  EngineTable.pfnPrecacheSound(Persistent(kSoundHitBody));
  EngineTable.pfnPrecacheSound(Persistent(kSoundHitBody2));
  return 0;
}

void Hook_Fire(edict_t* player) {
  HookPlayerState* rec = Hook_RecordOf(player);
  if (!rec || !GameGlobals) return;
  if (HookPool.infoTarget == 0) Hook_AllocStrings();
  bool instant = Hook_Trunc(Hook_Cvar(hookcvar::kInstant)) != 0;
  float now = Hook_Now();
  TraceResult tr;

  // Room in front of the eyes for the projectile to start.
  EngineTable.pfnMakeVectors(player->v.v_angle);
  vec3_t eye = player->v.origin + player->v.view_ofs;
  TraceFrom(eye, eye + Forward() * 48.0f, player, &tr);
  if (tr.flFraction != 1.0f && !instant) return;

  EngineTable.pfnMakeVectors(player->v.v_angle);
  TraceFrom(player->v.origin, player->v.origin + Forward() * 8192.0f, player, &tr);
  vec3_t aim = tr.vecEndPos;

  int color = Hook_Cvar(hookcvar::kShowSpy) != 0.0f ? player->v.team : Hook_TeamColor(player);
  if (Hook_Cvar(hookcvar::kColor) == 0.0f) color = 5;

  edict_t* hook = EngineTable.pfnCreateNamedEntity(HookPool.infoTarget);
  if (!hook) return;
  ChainSpawn(hook);
  hook->v.classname = HookPool.hookClass;
  hook->v.solid = SOLID_BBOX;
  hook->v.movetype = MOVETYPE_BOUNCE;
  EngineTable.pfnSetModel(hook, Hook_String(HookPool.hookModel));
  const vec3_t mins(-1.0f, -8.0f, -1.0f), maxs(1.0f, 8.0f, 1.0f);
  EngineTable.pfnSetSize(hook, mins, maxs);
  hook->v.angles = player->v.v_angle;
  hook->v.angles.x = -hook->v.angles.x;
  hook->v.euser1 = player;
  hook->v.team = player->v.team;
  hook->v.owner = player;
  hook->v.nextthink = now + 0.1f;

  int beamMode = kBeamBetweenEntities;
  vec3_t beamPoint(0.0f, 0.0f, 0.0f);
  if (!instant) {
    hook->v.origin = player->v.origin + Forward() * 48.0f;
    vec3_t dir = aim - hook->v.origin;
    float len = dir.length();
    dir = len > 0.0f ? dir / len : vec3_t(0.0f, 0.0f, 1.0f);
    hook->v.velocity = dir * Hook_Cvar(hookcvar::kDeploySpeed);
    hook->v.gravity = Hook_Cvar(hookcvar::kGravity);
    hook->v.friction = 0.5f;
    rec->state = kHookFlying;
    if (Hook_Cvar(hookcvar::kSound) != 0.0f) EmitStatic(hook, kSoundFire);
  } else {
    EngineTable.pfnMakeVectors(player->v.v_angle);
    TraceFrom(eye, eye + Forward() * 10240.0f, player, &tr);
    edict_t* hit = tr.pHit;
    if (!hit || tr.flFraction >= 1.0f || hit->free) {
      FailInstant(rec, hook);
      return;
    }
    if (EngineTable.pfnPointContents(tr.vecEndPos) == CONTENTS_SKY) {
      if (Hook_Cvar(hookcvar::kSky) == 0.0f) {
        FailInstant(rec, hook);
        return;
      }
      beamMode = kBeamPointToPlayer;
      beamPoint = tr.vecEndPos;
    } else if (Hook_ClassIs(hit, "player") && Hook_Cvar(hookcvar::kPlayers) == 0.0f) {
      FailInstant(rec, hook);
      return;
    }
    hook->v.origin = tr.vecEndPos;
    // Anything short of an attachment lets go at the player's next think.
    rec->holdUntil = now;
    Hook_Touch(hit, hook);
    rec->state = kHookAttached;
  }

  SetUpBeam(player, hook, beamMode, beamPoint, color);
  rec->hookEntity = hook;
}

int Hook_Touch(edict_t* touched, edict_t* other) {
  if (!touched || !other || !Hook_IsValid(other) || !Hook_ClassIs(other, "GP_hook")) return 0;
  edict_t* owner = other->v.euser1;
  if (!Hook_IsValid(owner)) return 0;
  HookPlayerState* rec = Hook_RecordOf(owner);
  if (!rec) return 0;

  if (strncmp(Hook_String(touched->v.classname), "trigger_", 8) == 0 || touched->v.solid <= SOLID_TRIGGER)
    return 0;

  float now = Hook_Now();
  if (Hook_ClassIs(touched, "player")) {
    if (touched == owner) return 0;
    if (now >= rec->nextHitSound) {
      rec->nextHitSound = now + 0.5f;
      EmitStatic(touched, kSoundHitBody);
    }
    if (Hook_Cvar(hookcvar::kPlayers) != 0.0f) {
      Attach(rec, touched, other);
      if (Hook_Cvar(hookcvar::kSwing) != 0.0f) SwingSetUp(rec, owner, touched);
    }
    return 0;
  }

  bool refused = false;
  if (Hook_Cvar(hookcvar::kSky) == 0.0f && EngineTable.pfnPointContents(other->v.origin) == CONTENTS_SKY)
    refused = true;
  else if (Hook_Cvar(hookcvar::kOnlyWalls) != 0.0f && !Hook_ClassIs(touched, "worldspawn") &&
           !Hook_ClassIs(touched, "func_wall"))
    refused = true;
  else if (other->v.flags & FL_ONGROUND)
    refused = true;

  if (refused) {
    if (Hook_Cvar(hookcvar::kInstant) == 0.0f) return 0;  // the projectile bounces on
    if (Hook_IsValid(rec->beamEntity)) Hook_MarkForDeletion(rec->beamEntity);
    rec->beamEntity = nullptr;
    rec->state = kHookIdle;
    Hook_MarkForDeletion(other);
    rec->hookEntity = nullptr;
    rec->lastRelease = now;
    rec->holdUntil = now;
    rec->useKeyDown = 0;
    return 0;
  }

  Attach(rec, touched, other);
  if (Hook_Cvar(hookcvar::kSound) != 0.0f) {
    EmitStatic(other, kSoundHit);
    Sparks(other->v.origin);
  }
  if (Hook_Cvar(hookcvar::kSwing) != 0.0f) SwingSetUp(rec, owner, touched);
  return 0;
}

int Hook_Think(edict_t* entity) {
  if (!entity || !Hook_ClassIs(entity, "GP_hook")) return 0;
  edict_t* owner = entity->v.euser1;
  bool ownerValid = Hook_IsValid(owner);
  if (ownerValid && entity->v.team == owner->v.team) return 0;
  entity->v.health = -1.0f;
  Hook_MarkForDeletion(entity);
  if (ownerValid) Hook_Release(owner);
  return 1;
}

void Hook_Release(edict_t* player) {
  HookPlayerState* rec = Hook_RecordOf(player);
  if (!rec) return;
  if (Hook_IsValid(rec->beamEntity)) Hook_MarkForDeletion(rec->beamEntity);
  rec->beamEntity = nullptr;
  rec->state = kHookIdle;
  if (Hook_IsValid(rec->hookEntity)) Hook_MarkForDeletion(rec->hookEntity);
  rec->hookEntity = nullptr;
  rec->lastRelease = Hook_Now();
  if (rec->swingActive) {
    player->v.gravity = rec->savedGravity;
    rec->swingActive = 0;
  }
  rec->useKeyDown = 0;
}

void Hook_ClientDisconnect(edict_t* player) {
  HookPlayerState* rec = Hook_RecordOf(player);
  if (rec && rec->state != kHookIdle) Hook_Release(player);
}

void Hook_RoundStart() {
  int maxClients = GameGlobals ? GameGlobals->maxClients : 0;
  if (maxClients >= kHookMaxPlayers) maxClients = kHookMaxPlayers - 1;
  for (int i = 1; i <= maxClients; ++i) {
    edict_t* e = EngineTable.pfnPEntityOfEntIndex(i);
    if (!Hook_IsValid(e) || Hook_String(e->v.netname)[0] == '\0' || !Hook_ClassIs(e, "player")) continue;
    if (HookPlayers[i].state != kHookIdle) Hook_Release(e);
  }
  EngineTable.pfnAlertMessage(at_console, const_cast<char*>("Round Start!\n"));
}
