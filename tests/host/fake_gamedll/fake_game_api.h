// Control table of the fake game library, exported as FakeGame_Api(). The
// host (and through it a test) uses it to make the game send what a real
// game sends, and to read which of the game's entry points were reached.
#pragma once

#include "hl/hl.h"

constexpr int FAKE_GAME_API_VERSION = 1;

struct FakeGameApi {
  int version;
  // Calls that reached the game library, each "name arg arg ...", for example
  // "pfnClientCommand 1 say hello" or "pfnSpawn 40 func_wall".
  int (*recordCount)();
  const char* (*record)(int i);
  int (*callCount)(const char* name);
  void (*clearRecords)();

  // Log line "World triggered \"<event>\"\n" at at_logged.
  void (*logWorldEvent)(const char* event);
  // Any line at at_logged, as given.
  void (*logLine)(const char* line);

  // User messages with their published layouts, to one player (MSG_ONE).
  void (*sendCurWeapon)(edict_t* to, int active, int weaponId, int clip);
  void (*sendDamage)(edict_t* to, int armor, int damage, int bits, const float* origin);
  void (*sendScreenFade)(edict_t* to, int duration, int holdTime, int flags, int r, int g, int b,
                         int a);
  void (*sendStatusText)(edict_t* to, int line, const char* text);
  // to null: MSG_INIT, as the game sends its weapon list at connect.
  void (*sendWeaponList)(edict_t* to, const char* name, int ammo1, int max1, int ammo2, int max2,
                         int slot, int position, int weaponId, int flags);
  // to null: MSG_ALL.
  void (*sendSayText)(edict_t* to, int sender, const char* text);
  void (*sendTextMsg)(edict_t* to, int dest, const char* text);
  void (*sendDeathMsg)(int killer, int victim, int headshot, const char* weapon);
  void (*sendResetHUD)(edict_t* to);

  // Puts a player in a team as the game does: entvars team (1 terrorist,
  // 2 counter-terrorist, 0 none), the info key "model" and a "TeamInfo"
  // message to all ("TERRORIST", "CT", "UNASSIGNED").
  void (*setTeam)(edict_t* player, int team);
  // Spawns a player again (health 100, then the physics key "hl" "1").
  void (*spawnPlayer)(edict_t* player);
  // Damage as the game deals it: dmg_take, health, a "Damage" message.
  void (*damagePlayer)(edict_t* player, float amount, const float* from);
  // Death: health 0, deadflag DEAD_DEAD, a "DeathMsg" to all.
  void (*killPlayer)(edict_t* victim, edict_t* killer, const char* weapon, int headshot);
  // A trace made by the game through its engine table (so that plugins'
  // pfnTraceLine hooks see it); returns what the game received.
  void (*traceLine)(const float* start, const float* end, int noMonsters, edict_t* skip,
                    TraceResult* out);
  // An entity created by the game itself (pfnCreateNamedEntity, pfnSpawn).
  edict_t* (*createEntity)(const char* classname, const float* origin);
  // Any engine call made by the game: its engine table.
  enginefuncs_t* (*engine)();
  // The arguments of the last Server_GetBlendingInterface call, as the game
  // received them: the version, and the four pointers in their order
  // (ppinterface, pstudio, rotationmatrix, bonetransform).
  void (*lastBlending)(int* version, void* pointers[4]);
};

typedef const FakeGameApi* (*FAKE_GAME_API_FN)();
