// State shared by the plugin's parts: the engine table copy, the host's
// pointers, the settings, the per-player records and small entity helpers.
// Every engine call of the plugin goes through `engine`, never through the
// plugin's own hook tables.
#pragma once

#include "metamod/metamod.h"

extern enginefuncs_t engine;
extern globalvars_t* gpGlobals;
extern bool isCounterStrike;
extern plugin_info_t pluginInfo;
extern mutil_funcs_t* metaUtil;
extern meta_globals_t* metaGlobals;
extern gamedll_funcs_t* gameDll;
extern edict_t* hostPlayer;
extern bool precacheAllowed;

enum { MAX_PLAYER_RECORDS = 33 };

struct PlayerTweakState {
  char address[64];
  int lastWeaponId;
  int lastClip;
  float nextSmokeCheck;
  float smokeHealthTaken;
};
extern PlayerTweakState playerTweaks[MAX_PLAYER_RECORDS];
extern int weaponSlot[32];

// Handles of the settings; the smoke ones stay null outside Counter-Strike.
struct RixSettings {
  cvar_t* version;
  cvar_t* showaddress;
  cvar_t* tracer;
  cvar_t* starthealth;
  cvar_t* statustext;
  cvar_t* noheadshot;
  cvar_t* damageimpact;
  cvar_t* longjump;
  cvar_t* bunnyjump;
  cvar_t* jumpability;
  cvar_t* flashtime;
  cvar_t* smokeradius;
  cvar_t* smokegasp;
};
extern RixSettings settings;

// Live value of a setting; 0 when it is not registered.
inline float Setting(const cvar_t* c) { return c ? c->value : 0.0f; }

inline void SetResult(META_RES r) {
  if (metaGlobals) metaGlobals->mres = r;
}

// Text of an engine string.
const char* Str(string_t s);
// Engine-pooled copy of a text, for entity variables and precaches.
string_t AllocStr(const char* text);
// Entity index of an edict, 0 for none.
int EntIndex(const edict_t* e);
// The tweak record of a player edict; null unless its index is 1..32.
PlayerTweakState* PlayerRecord(const edict_t* e);
bool IsValidClient(const edict_t* e);
bool IsLivingPlayer(const edict_t* e);
// Writes a line to the server log (at_logged).
void LogServer(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Truncates toward zero into the int range (positions are far inside it).
int TruncInt(float f);
