// Entry points for Metamod, the information record, the settings and the
// tables of hooked game-library and engine calls.
#include <stddef.h>
#include <string.h>

#include "editor.h"
#include "mapents.h"
#include "movement/movement.h"
#include "rix.h"
#include "tweaks.h"
#include "watch.h"

enginefuncs_t engine;
globalvars_t* gpGlobals;
bool isCounterStrike;
mutil_funcs_t* metaUtil;
meta_globals_t* metaGlobals;
gamedll_funcs_t* gameDll;
edict_t* hostPlayer;
bool precacheAllowed;
PlayerTweakState playerTweaks[MAX_PLAYER_RECORDS];
int weaponSlot[32];
RixSettings settings;

plugin_info_t pluginInfo = {
    "5:9",          // interface version
    "RIX",          // name
    "1.05 ",        // version
    "Jun  4 2003",  // date
    "Nils Vogt",    // author
    "",             // url
    "RIX",          // log tag
    PT_ANYTIME,     // loadable
    PT_ANYTIME,     // unloadable
};

// ---- settings -------------------------------------------------------------

static cvar_t cvarVersion = {"rix_version", "1.05 ", FCVAR_SERVER, 0, nullptr};
static cvar_t cvarShowAddress = {"rix_showaddress", "0", 0, 0, nullptr};
static cvar_t cvarTracer = {"rix_tracer", "0", 0, 0, nullptr};
static cvar_t cvarStartHealth = {"rix_starthealth", "100", 0, 0, nullptr};
static cvar_t cvarStatusText = {"rix_statustext", "0", 0, 0, nullptr};
static cvar_t cvarNoHeadshot = {"rix_noheadshot", "0", 0, 0, nullptr};
static cvar_t cvarDamageImpact = {"rix_damageimpact", "0", 0, 0, nullptr};
static cvar_t cvarLongJump = {"rix_longjump", "0", 0, 0, nullptr};
static cvar_t cvarBunnyJump = {"rix_bunnyjump", "0", 0, 0, nullptr};
static cvar_t cvarJumpAbility = {"rix_jumpability", "1", 0, 0, nullptr};
static cvar_t cvarFlashTime = {"rix_flashtime", "1", 0, 0, nullptr};
static cvar_t cvarSmokeRadius = {"rix_smokeradius", "0", 0, 0, nullptr};
static cvar_t cvarSmokeGasp = {"rix_smokegasp", "0", 0, 0, nullptr};

static cvar_t* registerSetting(cvar_t* c) {
  engine.pfnCVarRegister(c);
  return engine.pfnCVarGetPointer(c->name);
}

static void registerSettings() {
  settings.version = registerSetting(&cvarVersion);
  settings.showaddress = registerSetting(&cvarShowAddress);
  settings.tracer = registerSetting(&cvarTracer);
  settings.starthealth = registerSetting(&cvarStartHealth);
  settings.statustext = registerSetting(&cvarStatusText);
  settings.noheadshot = registerSetting(&cvarNoHeadshot);
  settings.damageimpact = registerSetting(&cvarDamageImpact);
  settings.longjump = registerSetting(&cvarLongJump);
  settings.bunnyjump = registerSetting(&cvarBunnyJump);
  settings.jumpability = registerSetting(&cvarJumpAbility);
  settings.flashtime = registerSetting(&cvarFlashTime);
  if (isCounterStrike) {
    settings.smokeradius = registerSetting(&cvarSmokeRadius);
    settings.smokegasp = registerSetting(&cvarSmokeGasp);
  }
}

// ---- game-library calls, before the game ----------------------------------

static int hookSpawn(edict_t* entity) {
  if (MapEnts_Spawn(entity)) {
    SetResult(MRES_SUPERCEDE);
    return 0;
  }
  SetResult(MRES_IGNORED);
  return 0;
}

static void hookKeyValue(edict_t*, KeyValueData* kvd) {
  if (kvd && kvd->szValue && strcmp(kvd->szValue, "worldspawn") == 0) {
    precacheAllowed = true;
    LoadRemovalList();
    LoadAddedEntities();
  }
  SetResult(MRES_IGNORED);
}

static qboolean hookClientConnect(edict_t* player, const char* name, const char* address, char*) {
  ClientConnected(player, name, address);
  SetResult(MRES_IGNORED);
  return TRUE;
}

static void hookClientDisconnect(edict_t* player) {
  ClientDisconnected(player);
  SetResult(MRES_IGNORED);
}

static void hookClientCommand(edict_t* player) {
  SetResult(EntityEditorCommand(player) ? MRES_SUPERCEDE : MRES_IGNORED);
}

static void hookPlayerPreThink(edict_t* player) {
  if (isCounterStrike) SmokeCheck(player);
  SetResult(MRES_IGNORED);
}

static void hookPM_Move(playermove_t* pm, qboolean server) {
  if (pm && Move_IsNeeded(Setting(settings.longjump), Setting(settings.bunnyjump),
                          settings.jumpability ? settings.jumpability->value : 1.0f)) {
    PM_Move(pm, server);
    SetResult(MRES_SUPERCEDE);
    return;
  }
  SetResult(MRES_IGNORED);
}

static void hookPM_Init(playermove_t* pm) {
  if (pm) PM_Init(pm);
  SetResult(MRES_IGNORED);
}

// ---- engine calls, before the engine --------------------------------------

static edict_t* hookFindEntityByString(edict_t*, const char*, const char*) {
  precacheAllowed = false;
  SetResult(MRES_IGNORED);
  return nullptr;
}

static void hookTraceLine(const float* v1, const float* v2, int noMonsters, edict_t* skip,
                          TraceResult* tr) {
  engine.pfnTraceLine(v1, v2, noMonsters, skip, tr);
  NoHeadshot(tr);
  SetResult(MRES_SUPERCEDE);
}

static void hookMessageBegin(int, int type, const float*, edict_t* receiver) {
  SetResult(Watch_Begin(type, receiver));
}
static void hookWriteByte(int v) { SetResult(Watch_WriteInt(engine.pfnWriteByte, v)); }
static void hookWriteChar(int v) { SetResult(Watch_WriteInt(engine.pfnWriteChar, v)); }
static void hookWriteShort(int v) { SetResult(Watch_WriteInt(engine.pfnWriteShort, v)); }
static void hookWriteLong(int v) { SetResult(Watch_WriteInt(engine.pfnWriteLong, v)); }
static void hookWriteEntity(int v) { SetResult(Watch_WriteInt(engine.pfnWriteEntity, v)); }
static void hookWriteAngle(float v) { SetResult(Watch_WriteFloat(engine.pfnWriteAngle, v)); }
static void hookWriteCoord(float v) { SetResult(Watch_WriteFloat(engine.pfnWriteCoord, v)); }
static void hookWriteString(const char* v) { SetResult(Watch_WriteString(v)); }

static void hookSetPhysicsKeyValue(const edict_t* player, const char* key, const char*) {
  if (key && strcmp(key, "hl") == 0) SpawnSetup(player);
  SetResult(MRES_IGNORED);
}

// ---- engine calls, after the engine ---------------------------------------

static int hookRegUserMsgPost(const char* name, int) {
  if (metaGlobals && metaGlobals->orig_ret)
    Watch_Registered(name, *static_cast<int*>(metaGlobals->orig_ret));
  SetResult(MRES_IGNORED);
  return 0;
}

static void hookMessageEndPost() {
  Watch_End();
  SetResult(MRES_IGNORED);
}

// ---- tables ----------------------------------------------------------------

static DLL_FUNCTIONS makeGameTable() {
  DLL_FUNCTIONS t = {};
  t.pfnSpawn = hookSpawn;
  t.pfnKeyValue = hookKeyValue;
  t.pfnClientConnect = hookClientConnect;
  t.pfnClientDisconnect = hookClientDisconnect;
  t.pfnClientCommand = hookClientCommand;
  t.pfnPlayerPreThink = hookPlayerPreThink;
  t.pfnPM_Move = hookPM_Move;
  t.pfnPM_Init = hookPM_Init;
  return t;
}

static enginefuncs_t makeEngineTable() {
  enginefuncs_t t = {};
  t.pfnFindEntityByString = hookFindEntityByString;
  t.pfnTraceLine = hookTraceLine;
  t.pfnMessageBegin = hookMessageBegin;
  t.pfnWriteByte = hookWriteByte;
  t.pfnWriteChar = hookWriteChar;
  t.pfnWriteShort = hookWriteShort;
  t.pfnWriteLong = hookWriteLong;
  t.pfnWriteAngle = hookWriteAngle;
  t.pfnWriteCoord = hookWriteCoord;
  t.pfnWriteString = hookWriteString;
  t.pfnWriteEntity = hookWriteEntity;
  t.pfnSetPhysicsKeyValue = hookSetPhysicsKeyValue;
  return t;
}

static enginefuncs_t makeEngineTablePost() {
  enginefuncs_t t = {};
  t.pfnRegUserMsg = hookRegUserMsgPost;
  t.pfnMessageEnd = hookMessageEndPost;
  return t;
}

// ---- exports ---------------------------------------------------------------

// The engine table as interface version 138 defines it: its first 143
// entries. A host's table may end there, so neither the copy taken from the
// engine nor the hook tables written into Metamod's reach further.
constexpr size_t kEngineEntries = 143;
constexpr size_t kEngineEntriesSize = kEngineEntries * sizeof(void (*)());
static_assert(kEngineEntriesSize == offsetof(enginefuncs_t, pfnGetPlayerAuthId));

extern "C" DEF_EXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* engineFunctions, globalvars_t* globals) {
  memset(&engine, 0, sizeof engine);
  // The later slots stay empty.
  if (engineFunctions) memcpy(&engine, engineFunctions, kEngineEntriesSize);
  gpGlobals = globals;
  isCounterStrike = false;
  if (engine.pfnGetGameDir) {
    char dir[260] = "";
    engine.pfnGetGameDir(dir);
    dir[sizeof dir - 1] = '\0';
    isCounterStrike = strcmp(dir, "cstrike") == 0;
  }
}

C_DLLEXPORT int GetEntityAPI2(DLL_FUNCTIONS* table, int* interfaceVersion) {
  if (!table) {
    LogServer("GetEntityAPI2 called with null pFunctionTable");
    return FALSE;
  }
  if (!interfaceVersion || *interfaceVersion != INTERFACE_VERSION) {
    LogServer("GetEntityAPI2 version mismatch; requested=%d ours=%d",
              interfaceVersion ? *interfaceVersion : 0, INTERFACE_VERSION);
    if (interfaceVersion) *interfaceVersion = INTERFACE_VERSION;
    return FALSE;
  }
  *table = makeGameTable();
  return TRUE;
}

static int handOverEngineTable(enginefuncs_t* table, int* interfaceVersion, const enginefuncs_t& ours) {
  if (metaUtil && metaUtil->pfnLogDeveloper)
    metaUtil->pfnLogDeveloper(&pluginInfo, "called: GetEngineFunctions; version=%d",
                              interfaceVersion ? *interfaceVersion : 0);
  if (!table) {
    if (metaUtil && metaUtil->pfnLogError)
      metaUtil->pfnLogError(&pluginInfo, "GetEngineFunctions called with null pengfuncsFromEngine");
    return FALSE;
  }
  if (!interfaceVersion || *interfaceVersion != ENGINE_INTERFACE_VERSION) {
    if (metaUtil && metaUtil->pfnLogError)
      metaUtil->pfnLogError(&pluginInfo, "GetEngineFunctions version mismatch; requested=%d ours=%d",
                            interfaceVersion ? *interfaceVersion : 0, ENGINE_INTERFACE_VERSION);
    if (interfaceVersion) *interfaceVersion = ENGINE_INTERFACE_VERSION;
    return FALSE;
  }
  memcpy(table, &ours, kEngineEntriesSize);
  return TRUE;
}

C_DLLEXPORT int GetEngineFunctions(enginefuncs_t* table, int* interfaceVersion) {
  return handOverEngineTable(table, interfaceVersion, makeEngineTable());
}

C_DLLEXPORT int GetEngineFunctions_Post(enginefuncs_t* table, int* interfaceVersion) {
  return handOverEngineTable(table, interfaceVersion, makeEngineTablePost());
}

C_DLLEXPORT int Meta_Query(char*, plugin_info_t** info, mutil_funcs_t* util) {
  if (info) *info = &pluginInfo;
  metaUtil = util;
  return TRUE;
}

C_DLLEXPORT int Meta_Attach(PLUG_LOADTIME, META_FUNCTIONS* functionTable, meta_globals_t* globals,
                            gamedll_funcs_t* gameFunctions) {
  if (!globals) {
    if (metaUtil && metaUtil->pfnLogError)
      metaUtil->pfnLogError(&pluginInfo, "Meta_Attach called with null pMGlobals");
    return FALSE;
  }
  metaGlobals = globals;
  if (!functionTable) {
    if (metaUtil && metaUtil->pfnLogError)
      metaUtil->pfnLogError(&pluginInfo, "Meta_Attach called with null pFunctionTable");
    return FALSE;
  }
  META_FUNCTIONS ours = {};
  ours.pfnGetEntityAPI2 = GetEntityAPI2;
  ours.pfnGetEngineFunctions = GetEngineFunctions;
  ours.pfnGetEngineFunctions_Post = GetEngineFunctions_Post;
  *functionTable = ours;
  gameDll = gameFunctions;
  registerSettings();
  return TRUE;
}

C_DLLEXPORT int Meta_Detach(PLUG_LOADTIME, PL_UNLOAD_REASON) { return TRUE; }

// The map lists live until the next map start; a plugin unloaded in between
// gives their memory back as the library goes.
__attribute__((destructor)) static void freeMapLists() {
  EntList_Clear(&addedEntities);
  Removal_Clear(&removalList);
}

// The game's entity base class, as far as the export below needs it: Use is
// the 46th entry (index 45) of its virtual table.
class CBaseEntity {
 public:
#define RIX_SLOT(n) virtual void slot##n() = 0;
#define RIX_SLOTS5(a) RIX_SLOT(a##0) RIX_SLOT(a##1) RIX_SLOT(a##2) RIX_SLOT(a##3) RIX_SLOT(a##4)
  RIX_SLOTS5(0) RIX_SLOTS5(1) RIX_SLOTS5(2) RIX_SLOTS5(3) RIX_SLOTS5(4)
  RIX_SLOTS5(5) RIX_SLOTS5(6) RIX_SLOTS5(7) RIX_SLOTS5(8)
#undef RIX_SLOTS5
#undef RIX_SLOT
  virtual void Use(CBaseEntity* activator, CBaseEntity* caller, USE_TYPE useType, float value) = 0;
  DEF_EXPORT void SUB_CallUseToggle();
};

void CBaseEntity::SUB_CallUseToggle() { Use(this, this, USE_TOGGLE, 0); }
