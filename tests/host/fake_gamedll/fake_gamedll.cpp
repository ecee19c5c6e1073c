// A game library for the simulated server: the entry points the engine
// calls, a handful of entity classes, and on request what a real game sends
// (world-event log lines, user messages, the physics key "hl" at spawn).
// Everything that reaches it is recorded for the test (see fake_game_api.h).
#include <cstdio>
#include <cstring>
#include <map>
#include <type_traits>
#include <string>
#include <vector>

#include "dll_slots.h"
#include "fake_game_api.h"

namespace {

enginefuncs_t g_eng;
globalvars_t* g_globals = nullptr;
DLL_FUNCTIONS g_dll;
NEW_DLL_FUNCTIONS g_newDll;
std::vector<std::string> g_records;
std::map<std::string, int> g_counts;

struct Msgs {
  int curWeapon, damage, screenFade, statusText, weaponList, sayText, textMsg, deathMsg, teamInfo,
      resetHUD, hudText, screenShake;
} g_msg;

// Calls made every frame are counted, not listed.
bool perFrame(const char* name) {
  static const char* const names[] = {"pfnStartFrame", "pfnPlayerPreThink", "pfnPlayerPostThink",
                                      "pfnPM_Move", "pfnAddToFullPack", "pfnUpdateClientData",
                                      "pfnCmdStart", "pfnCmdEnd", "pfnSetupVisibility"};
  for (const char* n : names)
    if (!strcmp(n, name)) return true;
  return false;
}

void record(const char* name, const std::string& args = "") {
  ++g_counts[name];
  if (!perFrame(name)) g_records.push_back(args.empty() ? name : std::string(name) + " " + args);
}

int idx(const edict_t* e) { return e ? g_eng.pfnIndexOfEdict(e) : -1; }
const char* str(string_t s) { return s ? g_eng.pfnSzFromIndex(s) : ""; }
std::string cls(const edict_t* e) { return e ? str(e->v.classname) : "null"; }

// Private data of the game's entities.
struct GameEntity {
  char classname[64];
  int spawned;
};

void link(entvars_t* pev, const char* name) {
  edict_t* e = pev->pContainingEntity;
  if (!e) return;
  auto* ge = static_cast<GameEntity*>(g_eng.pfnPvAllocEntPrivateData(e, sizeof(GameEntity)));
  if (ge) snprintf(ge->classname, sizeof ge->classname, "%s", name);
  record("link", name);
}

// --- messages --------------------------------------------------------------

void begin(int dest, int type, edict_t* to) { g_eng.pfnMessageBegin(dest, type, nullptr, to); }
int oneOrAll(edict_t* to) { return to ? MSG_ONE : MSG_ALL; }

void sendCurWeapon(edict_t* to, int active, int id, int clip) {
  begin(MSG_ONE, g_msg.curWeapon, to);
  g_eng.pfnWriteByte(active);
  g_eng.pfnWriteByte(id);
  g_eng.pfnWriteByte(clip);
  g_eng.pfnMessageEnd();
}

void sendDamage(edict_t* to, int armor, int damage, int bits, const float* o) {
  begin(MSG_ONE, g_msg.damage, to);
  g_eng.pfnWriteByte(armor);
  g_eng.pfnWriteByte(damage);
  g_eng.pfnWriteLong(bits);
  g_eng.pfnWriteCoord(o ? o[0] : 0);
  g_eng.pfnWriteCoord(o ? o[1] : 0);
  g_eng.pfnWriteCoord(o ? o[2] : 0);
  g_eng.pfnMessageEnd();
}

void sendScreenFade(edict_t* to, int duration, int hold, int flags, int r, int g, int b, int a) {
  begin(MSG_ONE, g_msg.screenFade, to);
  g_eng.pfnWriteShort(duration);
  g_eng.pfnWriteShort(hold);
  g_eng.pfnWriteShort(flags);
  g_eng.pfnWriteByte(r);
  g_eng.pfnWriteByte(g);
  g_eng.pfnWriteByte(b);
  g_eng.pfnWriteByte(a);
  g_eng.pfnMessageEnd();
}

void sendStatusText(edict_t* to, int line, const char* text) {
  begin(MSG_ONE, g_msg.statusText, to);
  g_eng.pfnWriteByte(line);
  g_eng.pfnWriteString(text);
  g_eng.pfnMessageEnd();
}

void sendWeaponList(edict_t* to, const char* name, int a1, int m1, int a2, int m2, int slot,
                    int pos, int id, int flags) {
  begin(to ? MSG_ONE : MSG_INIT, g_msg.weaponList, to);
  g_eng.pfnWriteString(name);
  g_eng.pfnWriteByte(a1);
  g_eng.pfnWriteByte(m1);
  g_eng.pfnWriteByte(a2);
  g_eng.pfnWriteByte(m2);
  g_eng.pfnWriteByte(slot);
  g_eng.pfnWriteByte(pos);
  g_eng.pfnWriteByte(id);
  g_eng.pfnWriteByte(flags);
  g_eng.pfnMessageEnd();
}

void sendSayText(edict_t* to, int sender, const char* text) {
  begin(oneOrAll(to), g_msg.sayText, to);
  g_eng.pfnWriteByte(sender);
  g_eng.pfnWriteString(text);
  g_eng.pfnMessageEnd();
}

void sendTextMsg(edict_t* to, int dest, const char* text) {
  begin(oneOrAll(to), g_msg.textMsg, to);
  g_eng.pfnWriteByte(dest);
  g_eng.pfnWriteString(text);
  g_eng.pfnMessageEnd();
}

void sendDeathMsg(int killer, int victim, int headshot, const char* weapon) {
  begin(MSG_ALL, g_msg.deathMsg, nullptr);
  g_eng.pfnWriteByte(killer);
  g_eng.pfnWriteByte(victim);
  g_eng.pfnWriteByte(headshot);
  g_eng.pfnWriteString(weapon);
  g_eng.pfnMessageEnd();
}

void sendResetHUD(edict_t* to) {
  begin(MSG_ONE, g_msg.resetHUD, to);
  g_eng.pfnMessageEnd();
}

void logWorldEvent(const char* event) {
  char fmt[] = "World triggered \"%s\"\n";
  g_eng.pfnAlertMessage(at_logged, fmt, event);
}

void logLine(const char* line) {
  char fmt[] = "%s";
  g_eng.pfnAlertMessage(at_logged, fmt, line);
}

// --- players ---------------------------------------------------------------

void spawnPlayer(edict_t* e) {
  if (!e) return;
  entvars_t& v = e->v;
  v.classname = g_eng.pfnAllocString("player");
  v.flags = (v.flags & (FL_FAKECLIENT | FL_PROXY)) | FL_CLIENT;
  v.deadflag = DEAD_NO;
  v.takedamage = DAMAGE_AIM;
  v.solid = SOLID_SLIDEBOX;
  v.movetype = MOVETYPE_WALK;
  v.gravity = 1;
  v.friction = 1;
  v.maxspeed = 250;
  v.fov = 90;
  v.view_ofs = vec3_t(0, 0, 17);
  v.velocity = vec3_t(0, 0, 0);
  float mins[3] = {-16, -16, -36}, maxs[3] = {16, 16, 36};
  g_eng.pfnSetSize(e, mins, maxs);
  v.health = 100;
  v.max_health = 100;
  // The game hands the movement its physics settings after the health.
  g_eng.pfnSetPhysicsKeyValue(e, "hl", "1");
  sendResetHUD(e);
  record("spawnPlayer", std::to_string(idx(e)));
}

void setTeam(edict_t* e, int team) {
  if (!e) return;
  e->v.team = team;
  const char* name = team == 1 ? "TERRORIST" : team == 2 ? "CT" : "UNASSIGNED";
  char key[] = "model";
  char model[16];
  snprintf(model, sizeof model, "%s", team == 1 ? "terror" : team == 2 ? "urban" : "");
  g_eng.pfnSetClientKeyValue(idx(e), g_eng.pfnGetInfoKeyBuffer(e), key, model);
  begin(MSG_ALL, g_msg.teamInfo, nullptr);
  g_eng.pfnWriteByte(idx(e));
  g_eng.pfnWriteString(name);
  g_eng.pfnMessageEnd();
}

void damagePlayer(edict_t* e, float amount, const float* from) {
  if (!e) return;
  e->v.dmg_take = amount;
  e->v.health -= amount;
  sendDamage(e, 0, static_cast<int>(amount), 0, from);
}

void killPlayer(edict_t* victim, edict_t* killer, const char* weapon, int headshot) {
  if (!victim) return;
  victim->v.health = 0;
  victim->v.deadflag = DEAD_DEAD;
  victim->v.takedamage = DAMAGE_NO;
  sendDeathMsg(killer ? idx(killer) : 0, idx(victim), headshot, weapon ? weapon : "world");
}

void traceLine(const float* a, const float* b, int noMonsters, edict_t* skip, TraceResult* out) {
  g_eng.pfnTraceLine(a, b, noMonsters, skip, out);
}

edict_t* createEntity(const char* classname, const float* origin) {
  edict_t* e = g_eng.pfnCreateNamedEntity(g_eng.pfnAllocString(classname));
  if (!e) return nullptr;
  if (origin) g_eng.pfnSetOrigin(e, origin);
  g_dll.pfnSpawn(e);
  return e;
}

enginefuncs_t* engine() { return &g_eng; }

int recordCount() { return static_cast<int>(g_records.size()); }
const char* recordAt(int i) {
  return i >= 0 && i < recordCount() ? g_records[static_cast<size_t>(i)].c_str() : "";
}
int callCount(const char* name) {
  auto it = g_counts.find(name ? name : "");
  return it == g_counts.end() ? 0 : it->second;
}
void clearRecords() {
  g_records.clear();
  g_counts.clear();
}

// --- game-library entry points ----------------------------------------------

void GameInit() {
  record("pfnGameInit");
  g_msg.curWeapon = g_eng.pfnRegUserMsg("CurWeapon", 3);
  g_msg.damage = g_eng.pfnRegUserMsg("Damage", 12);
  g_msg.screenFade = g_eng.pfnRegUserMsg("ScreenFade", 10);
  g_msg.statusText = g_eng.pfnRegUserMsg("StatusText", -1);
  g_msg.weaponList = g_eng.pfnRegUserMsg("WeaponList", -1);
  g_msg.sayText = g_eng.pfnRegUserMsg("SayText", -1);
  g_msg.textMsg = g_eng.pfnRegUserMsg("TextMsg", -1);
  g_msg.deathMsg = g_eng.pfnRegUserMsg("DeathMsg", -1);
  g_msg.teamInfo = g_eng.pfnRegUserMsg("TeamInfo", -1);
  g_msg.resetHUD = g_eng.pfnRegUserMsg("ResetHUD", 0);
  g_msg.hudText = g_eng.pfnRegUserMsg("HudText", -1);
  g_msg.screenShake = g_eng.pfnRegUserMsg("ScreenShake", 6);
}

int Spawn(edict_t* e) {
  record("pfnSpawn", std::to_string(idx(e)) + " " + cls(e));
  if (!e) return 0;
  std::string c = cls(e);
  entvars_t& v = e->v;
  if (c == "func_wall" || c == "func_door" || c == "func_breakable") {
    v.solid = SOLID_BSP;
    v.movetype = MOVETYPE_PUSH;
    if (v.model) g_eng.pfnSetModel(e, str(v.model));
    if (c == "func_breakable") v.takedamage = DAMAGE_YES;
  } else if (c == "beam") {
    v.flags |= FL_CUSTOMENTITY;
    v.solid = SOLID_NOT;
  } else if (c == "weapon_ak47") {
    char model[] = "models/w_ak47.mdl";
    g_eng.pfnPrecacheModel(model);
    g_eng.pfnSetModel(e, model);
    v.solid = SOLID_TRIGGER;
    v.movetype = MOVETYPE_TOSS;
    float mins[3] = {-16, -16, 0}, maxs[3] = {16, 16, 16};
    g_eng.pfnSetSize(e, mins, maxs);
  } else if (c == "worldspawn") {
    char sound[] = "common/null.wav";
    g_eng.pfnPrecacheSound(sound);
  }
  if (auto* ge = static_cast<GameEntity*>(e->pvPrivateData)) ge->spawned = 1;
  return 0;
}

void Think(edict_t* e) { record("pfnThink", std::to_string(idx(e)) + " " + cls(e)); }
void Use(edict_t* a, edict_t* b) { record("pfnUse", std::to_string(idx(a)) + " " + std::to_string(idx(b))); }
void Touch(edict_t* a, edict_t* b) {
  record("pfnTouch", std::to_string(idx(a)) + " " + std::to_string(idx(b)));
}
void Blocked(edict_t* a, edict_t* b) {
  record("pfnBlocked", std::to_string(idx(a)) + " " + std::to_string(idx(b)));
}

void KeyValue(edict_t* e, KeyValueData* kvd) {
  if (!kvd) return;
  record("pfnKeyValue", std::string(kvd->szClassName ? kvd->szClassName : "") + " " +
                            (kvd->szKeyName ? kvd->szKeyName : "") + " " +
                            (kvd->szValue ? kvd->szValue : ""));
  if (!e || !kvd->szKeyName || !kvd->szValue) return;
  std::string key = kvd->szKeyName;
  if (key == "targetname") {
    e->v.targetname = g_eng.pfnAllocString(kvd->szValue);
  } else if (key == "target") {
    e->v.target = g_eng.pfnAllocString(kvd->szValue);
  } else if (key == "model") {
    e->v.model = g_eng.pfnAllocString(kvd->szValue);
  } else if (key == "origin") {
    float o[3] = {0, 0, 0};
    if (sscanf(kvd->szValue, "%f %f %f", &o[0], &o[1], &o[2]) == 3) g_eng.pfnSetOrigin(e, o);
  } else {
    return;
  }
  kvd->fHandled = 1;
}

// A name of "reject_me" is refused, so that tests can see a refusal.
qboolean ClientConnect(edict_t* e, const char* name, const char* address, char reason[128]) {
  record("pfnClientConnect", std::to_string(idx(e)) + " " + (name ? name : "") + " " +
                                 (address ? address : ""));
  if (name && !strcmp(name, "reject_me")) {
    snprintf(reason, 128, "%s", "You are banned");
    return 0;
  }
  return 1;
}

void ClientDisconnect(edict_t* e) { record("pfnClientDisconnect", std::to_string(idx(e))); }
void ClientKill(edict_t* e) { record("pfnClientKill", std::to_string(idx(e))); }
void ClientPutInServer(edict_t* e) {
  record("pfnClientPutInServer", std::to_string(idx(e)));
  spawnPlayer(e);
}

void ClientCommand(edict_t* e) {
  std::string words;
  int n = g_eng.pfnCmd_Argc();
  for (int i = 0; i < n; ++i) {
    if (i) words += ' ';
    words += g_eng.pfnCmd_Argv(i);
  }
  record("pfnClientCommand", std::to_string(idx(e)) + " " + words);
}

void ClientUserInfoChanged(edict_t* e, char*) { record("pfnClientUserInfoChanged", std::to_string(idx(e))); }
void ServerActivate(edict_t*, int count, int maxClients) {
  record("pfnServerActivate", std::to_string(count) + " " + std::to_string(maxClients));
}
void ServerDeactivate() { record("pfnServerDeactivate"); }
void PlayerPreThink(edict_t*) { record("pfnPlayerPreThink"); }
void PlayerPostThink(edict_t*) { record("pfnPlayerPostThink"); }
void StartFrame() { record("pfnStartFrame"); }
const char* GetGameDescription() {
  record("pfnGetGameDescription");
  return "Counter-Strike";
}

// The game's own movement, kept trivial: the velocity moves the player
// through the engine's player trace.
void PM_Move(playermove_t* pm, qboolean) {
  record("pfnPM_Move");
  if (!pm) return;
  vec3_t end = pm->origin + pm->velocity * pm->frametime;
  if (pm->PM_PlayerTrace) {
    pmtrace_t tr = pm->PM_PlayerTrace(pm->origin, end, PM_NORMAL, -1);
    pm->origin = tr.endpos;
  } else {
    pm->origin = end;
  }
}
void PM_Init(playermove_t*) { record("pfnPM_Init"); }
char PM_FindTextureType(char*) { return CHAR_TEX_CONCRETE; }

int GetHullBounds(int hull, float* mins, float* maxs) {
  const float box[3][2][3] = {{{-16, -16, -36}, {16, 16, 36}},
                              {{-16, -16, -18}, {16, 16, 18}},
                              {{0, 0, 0}, {0, 0, 0}}};
  if (hull < 0 || hull > 2) return 0;
  for (int i = 0; i < 3; ++i) {
    mins[i] = box[hull][0][i];
    maxs[i] = box[hull][1][i];
  }
  return 1;
}

// The engine hands the player hull's box as two pointers to three floats.
void CreateBaseline(int player, int eindex, entity_state_t*, edict_t*, int, vec_t* mins, vec_t* maxs) {
  char text[160];
  snprintf(text, sizeof text, "%d %d %g %g %g %g %g %g", player, eindex, mins ? mins[0] : 0.0, mins ? mins[1] : 0.0,
           mins ? mins[2] : 0.0, maxs ? maxs[0] : 0.0, maxs ? maxs[1] : 0.0, maxs ? maxs[2] : 0.0);
  record("pfnCreateBaseline", text);
}

void OnFreeEntPrivateData(edict_t* e) { record("pfnOnFreeEntPrivateData", std::to_string(idx(e))); }
void GameShutdown() { record("pfnGameShutdown"); }

// Slots without behaviour record their call and return zero.
template <auto Slot, typename Sig = decltype(Slot)>
struct Stub;
template <auto Slot, typename T, typename R, typename... P>
struct Stub<Slot, R (*T::*)(P...)> {
  static inline const char* name = "";
  static R call(P...) {
    record(name);
    if constexpr (!std::is_void_v<R>) return R{};
  }
};

const FakeGameApi g_api = {
    FAKE_GAME_API_VERSION, recordCount,  recordAt,       callCount,      clearRecords,
    logWorldEvent,         logLine,      sendCurWeapon,  sendDamage,     sendScreenFade,
    sendStatusText,        sendWeaponList, sendSayText,  sendTextMsg,    sendDeathMsg,
    sendResetHUD,          setTeam,      spawnPlayer,    damagePlayer,   killPlayer,
    traceLine,             createEntity, engine,
};

struct TablesInit {
  TablesInit() {
#define FAKE_STUB(n)                            \
  Stub<&DLL_FUNCTIONS::n>::name = #n;           \
  g_dll.n = &Stub<&DLL_FUNCTIONS::n>::call;
    FAKE_DLL_SLOTS(FAKE_STUB)
#undef FAKE_STUB
#define FAKE_NEW_STUB(n)                          \
  Stub<&NEW_DLL_FUNCTIONS::n>::name = #n;         \
  g_newDll.n = &Stub<&NEW_DLL_FUNCTIONS::n>::call;
    FAKE_NEW_DLL_SLOTS(FAKE_NEW_STUB)
#undef FAKE_NEW_STUB
    g_dll.pfnGameInit = GameInit;
    g_dll.pfnSpawn = Spawn;
    g_dll.pfnThink = Think;
    g_dll.pfnUse = Use;
    g_dll.pfnTouch = Touch;
    g_dll.pfnBlocked = Blocked;
    g_dll.pfnKeyValue = KeyValue;
    g_dll.pfnClientConnect = ClientConnect;
    g_dll.pfnClientDisconnect = ClientDisconnect;
    g_dll.pfnClientKill = ClientKill;
    g_dll.pfnClientPutInServer = ClientPutInServer;
    g_dll.pfnClientCommand = ClientCommand;
    g_dll.pfnClientUserInfoChanged = ClientUserInfoChanged;
    g_dll.pfnServerActivate = ServerActivate;
    g_dll.pfnServerDeactivate = ServerDeactivate;
    g_dll.pfnPlayerPreThink = PlayerPreThink;
    g_dll.pfnPlayerPostThink = PlayerPostThink;
    g_dll.pfnStartFrame = StartFrame;
    g_dll.pfnGetGameDescription = GetGameDescription;
    g_dll.pfnPM_Move = PM_Move;
    g_dll.pfnPM_Init = PM_Init;
    g_dll.pfnPM_FindTextureType = PM_FindTextureType;
    g_dll.pfnGetHullBounds = GetHullBounds;
    g_dll.pfnCreateBaseline = CreateBaseline;
    g_newDll.pfnOnFreeEntPrivateData = OnFreeEntPrivateData;
    g_newDll.pfnGameShutdown = GameShutdown;
  }
} g_tablesInit;
}  // namespace

C_DLLEXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* eng, globalvars_t* globals) {
  memcpy(&g_eng, eng, sizeof g_eng);
  g_globals = globals;
  record("GiveFnptrsToDll");
}

C_DLLEXPORT int GetEntityAPI(DLL_FUNCTIONS* table, int version) {
  record("GetEntityAPI", std::to_string(version));
  if (!table || version != INTERFACE_VERSION) return 0;
  memcpy(table, &g_dll, sizeof g_dll);
  return 1;
}

C_DLLEXPORT int GetEntityAPI2(DLL_FUNCTIONS* table, int* version) {
  record("GetEntityAPI2", version ? std::to_string(*version) : "null");
  if (!table || !version) return 0;
  if (*version != INTERFACE_VERSION) {
    *version = INTERFACE_VERSION;
    return 0;
  }
  memcpy(table, &g_dll, sizeof g_dll);
  return 1;
}

C_DLLEXPORT int GetNewDLLFunctions(NEW_DLL_FUNCTIONS* table, int* version) {
  record("GetNewDLLFunctions", version ? std::to_string(*version) : "null");
  if (!table || !version) return 0;
  if (*version != NEW_DLL_FUNCTIONS_VERSION) {
    *version = NEW_DLL_FUNCTIONS_VERSION;
    return 0;
  }
  memcpy(table, &g_newDll, sizeof g_newDll);
  return 1;
}

// The game's server-side hitbox blending: its interface record, handed to
// the engine that asks with version 1.
namespace {
struct Blending {
  int version;
  void* setupBones;
} g_blending = {SERVER_BLENDING_INTERFACE_VERSION, nullptr};
}  // namespace

C_DLLEXPORT int Server_GetBlendingInterface(int version, void** ppinterface, void* studio, void* rotation,
                                            void* bones) {
  record("Server_GetBlendingInterface", std::to_string(version) + (studio && rotation && bones ? "" : " null"));
  if (version != SERVER_BLENDING_INTERFACE_VERSION || !ppinterface) return 0;
  *ppinterface = &g_blending;
  return 1;
}

C_DLLEXPORT const FakeGameApi* FakeGame_Api() { return &g_api; }

// Entity classes: one link export per class, as the engine expects.
#define FAKE_CLASS(name) \
  C_DLLEXPORT void name(entvars_t* pev) { link(pev, #name); }
FAKE_CLASS(worldspawn)
FAKE_CLASS(player)
FAKE_CLASS(info_target)
FAKE_CLASS(info_player_start)
FAKE_CLASS(info_player_deathmatch)
FAKE_CLASS(beam)
FAKE_CLASS(func_wall)
FAKE_CLASS(func_door)
FAKE_CLASS(func_breakable)
FAKE_CLASS(func_ladder)
FAKE_CLASS(weapon_ak47)
FAKE_CLASS(env_sprite)
FAKE_CLASS(light)
FAKE_CLASS(trigger_multiple)
FAKE_CLASS(grenade)
#undef FAKE_CLASS
