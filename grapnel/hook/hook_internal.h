// Grappling hook: records and operations shared by the hook's source files.
#pragma once

#include <string.h>

#include "../frame/frame.h"
#include "hook.h"

// Per-player records, indexed by engine entity index.
constexpr int kHookMaxPlayers = 1024;
constexpr int kHookPasswordSize = 24;  // 23 characters and the terminator
constexpr int kHookBannerSize = 1024;

constexpr int kHookIdle = 0;
constexpr int kHookFlying = 1;
constexpr int kHookAttached = 2;

constexpr int kHookCommandClient = 0;
constexpr int kHookCommandUseDown = 1;
constexpr int kHookCommandUseUp = 2;

struct HookSettings {
  float pullSpeedScale;
  float forceSpeed;
  int swingAcceleration;
  int reelSpeed;
  int minLength;
  bool useKey;
  float nextRead;
};

struct HookPlayerState {
  int state;
  float lastRelease;
  float holdUntil;
  float nextHitSound;
  vec3_t anchor;
  edict_t* attachedTo;
  edict_t* hookEntity;
  edict_t* beamEntity;
  vec3_t attachedOrigin;
  float ropeLength;
  unsigned char swingActive;
  float savedGravity;
  float nextSwingTick;
  char password[kHookPasswordSize];
  unsigned char useKeyDown;
};

extern HookSettings HookConfig;
extern HookPlayerState HookPlayers[kHookMaxPlayers];

// Strings the hook stores in entity variables, allocated from the engine's
// string pool once per map (the pool is emptied at a map change).
struct HookStrings {
  string_t infoTarget;
  string_t hookClass;
  string_t beamClass;
  string_t hookModel;
  string_t beamSprite;
};
extern HookStrings HookPool;
void Hook_AllocStrings();

// Console variable names read at use.
namespace hookcvar {
inline constexpr const char* kOn = "GP_hook_on";
inline constexpr const char* kDeploySpeed = "GP_hook_deployspeed";
inline constexpr const char* kSpeed = "GP_hook_speed";
inline constexpr const char* kGround = "GP_hook_ground";
inline constexpr const char* kShowSpy = "GP_hook_showspy";
inline constexpr const char* kSound = "GP_hook_sound";
inline constexpr const char* kHold = "GP_hook_hold";
inline constexpr const char* kSky = "GP_hook_sky";
inline constexpr const char* kPlayers = "GP_hook_players";
inline constexpr const char* kOnlyWalls = "GP_hook_onlywalls";
inline constexpr const char* kColor = "GP_hook_color";
inline constexpr const char* kGravity = "GP_hook_gravity";
inline constexpr const char* kInstant = "GP_hook_instant";
inline constexpr const char* kSwing = "GP_hook_swing";
inline constexpr const char* kSwingAcceleration = "GP_hook_swing_acceleration";
inline constexpr const char* kSwingReelSpeed = "GP_hook_swing_reelspeed";
inline constexpr const char* kSwingMinLength = "GP_hook_swing_minlength";
inline constexpr const char* kWait = "GP_hook_wait";
inline constexpr const char* kForceSpeed = "GP_hook_forcespeed";
inline constexpr const char* kWidth = "GP_hook_width";
inline constexpr const char* kNoise = "GP_hook_noise";
inline constexpr const char* kWeapon = "GP_hook_weapon";
inline constexpr const char* kUseKey = "GP_hook_usekey";
inline constexpr const char* kPassword = "GP_hook_password";
}  // namespace hookcvar

// The hook's console variable records, in registration order. The plugin
// owns them, but they are not necessarily what the engine reads and sets:
// under Metamod the engine holds a copy of each, and a server command
// changes only that copy.
enum HookCvarIndex {
  kCvarOn, kCvarDeploySpeed, kCvarSpeed, kCvarGround, kCvarShowSpy, kCvarSound, kCvarHold,
  kCvarSky, kCvarPlayers, kCvarOnlyWalls, kCvarColor, kCvarGravity, kCvarInstant, kCvarSwing,
  kCvarSwingAcceleration, kCvarSwingReelSpeed, kCvarSwingMinLength, kCvarWait, kCvarForceSpeed,
  kCvarWidth, kCvarNoise, kCvarWeapon, kCvarUseKey, kCvarPassword, kHookCvarCount
};
extern cvar_t HookCvars[kHookCvarCount];
extern bool HookCvarsRegistered;

// The engine's own records of the variables the per-frame code reads, taken
// with pfnCVarGetPointer after registering and again at each map start; null
// where the engine has none (the value is then asked for by name).
struct HookEngineCvars {
  const cvar_t* hook[kHookCvarCount];
  const cvar_t* gravity;   // sv_gravity
  const cvar_t* maxSpeed;  // sv_maxspeed
};
extern HookEngineCvars HookLive;
void Hook_LinkCvars();

// Small helpers over the engine table.
inline float Hook_Now() { return GameGlobals ? GameGlobals->time : 0.0f; }

inline float Hook_Cvar(const char* name) { return EngineTable.pfnCVarGetFloat(name); }

inline float Hook_LiveValue(const cvar_t* record, const char* name) {
  return record ? record->value : EngineTable.pfnCVarGetFloat(name);
}

// Current value of one of the hook's variables, as a server command set it.
inline float Hook_CvarFast(HookCvarIndex index) { return Hook_LiveValue(HookLive.hook[index], HookCvars[index].name); }

inline float Hook_SvGravity() { return Hook_LiveValue(HookLive.gravity, "sv_gravity"); }

// The player's speed limit: his maxspeed, or where the game leaves it at 0
// (the Half-Life game does) the engine's sv_maxspeed, which then limits him.
inline float Hook_MaxSpeed(const edict_t* player) {
  float maxSpeed = player->v.maxspeed;
  return maxSpeed != 0.0f ? maxSpeed : Hook_LiveValue(HookLive.maxSpeed, "sv_maxspeed");
}

// Integer part of a float (toward zero), kept inside the int range; NaN is 0.
inline int Hook_Trunc(float value) {
  if (!(value > -2147483520.0f)) return value != value ? 0 : -2147483647 - 1;
  if (!(value < 2147483520.0f)) return 2147483647;
  return static_cast<int>(value);
}

// Truncate toward zero, then add one when the dropped part is one half or
// more. From 2^23 on every float is a whole number already (and NaN or an
// infinity stays as it is), so no integer ever overflows.
inline float Hook_Round(float value) {
  if (!(fabsf(value) < 8388608.0f)) return value;
  float n = static_cast<float>(static_cast<int>(value));
  if (value - n >= 0.5f) n += 1.0f;
  return n;
}

// Text of a string_t, "" for the null string.
inline const char* Hook_String(string_t s) {
  if (!GameGlobals || !GameGlobals->pStringBase) return "";
  return GameGlobals->pStringBase + s;
}

inline bool Hook_ClassIs(const edict_t* e, const char* name) {
  return strcmp(Hook_String(e->v.classname), name) == 0;
}

inline bool Hook_Alive(const edict_t* e) { return e->v.deadflag == DEAD_NO && e->v.health > 0.0f; }

// Exists, has a non-zero engine offset, is not free and carries no kill flag.
bool Hook_IsValid(const edict_t* e);
// Like Hook_IsValid, but the world itself (offset 0) counts: walls belong to it.
bool Hook_IsValidAnchor(const edict_t* e);
inline void Hook_MarkForDeletion(edict_t* e) { e->v.flags |= FL_KILLME; }

// The player's record, or null when the entity index lies outside the table.
HookPlayerState* Hook_RecordOf(const edict_t* player);

// Settings, commands and login.
void Hook_ReadSettings();
void Hook_PrintToClient(edict_t* player, int destination, const char* text);

// Projectile and attachment.
void Hook_Fire(edict_t* player);
void Hook_Release(edict_t* player);

// Pull and swing.
void Hook_Pull(edict_t* player, HookPlayerState* rec);

// Beam, team colour, banner.
edict_t* Beam_Create(const char* sprite, int width);
void Beam_PointEntInit(edict_t* beam, const vec3_t& startPoint, int endIndex);
void Beam_EntsInit(edict_t* beam, int startIndex, int endIndex);
void Beam_Relink(edict_t* beam);
int Hook_TeamColor(edict_t* player);
void Hook_DeliverBanners();
void Hook_ResetBanner(int index);
void Hook_PrintBanner(edict_t* player);
