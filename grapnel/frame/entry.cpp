// Entry points of the library for Metamod and for the engine, the plugin's
// information record and the table getters with their version checks.
#include <string.h>

#include "exports.h"

int MetamodMode;
enginefuncs_t EngineTable;
globalvars_t* GameGlobals;
char ModDirName[kModDirNameSize];

mutil_funcs_t* gpMetaUtilFuncs;
meta_globals_t* gpMetaGlobals;
gamedll_funcs_t* gpGamedllFuncs;

plugin_info_t PluginInfo = {
    "5:10", "Grapnel Mod", "5", "07/24/2004", "NUVDM pack", "https://nuvdm.invalid/grapnel", "HOOK",
    PT_STARTUP, PT_STARTUP,
};

void CopyEntries(void* to, const void* from, int entries) {
  memcpy(to, from, sizeof(void (*)()) * entries);
}

namespace {

// The table getters log through Metamod's utility table, which exists only
// once Meta_Query has run.
#define LOG_DEVELOPER(...) \
  do { \
    if (gpMetaUtilFuncs) gpMetaUtilFuncs->pfnLogDeveloper(&PluginInfo, __VA_ARGS__); \
  } while (0)
#define LOG_ERROR(...) \
  do { \
    if (gpMetaUtilFuncs) gpMetaUtilFuncs->pfnLogError(&PluginInfo, __VA_ARGS__); \
  } while (0)

// Last element of the game directory path. Only '/' separates; a path whose
// only '/' is its first character is reported and read from index 1 on.
void SetModDirName(const enginefuncs_t* engine) {
  char dir[512];
  dir[0] = '\0';
  if (engine->pfnGetGameDir) engine->pfnGetGameDir(dir);
  dir[sizeof(dir) - 1] = '\0';

  const char* name = dir;
  if (strchr(dir, '/')) {
    int i = static_cast<int>(strlen(dir)) - 1;
    while (i >= 1 && dir[i] != '/') --i;
    if (i >= 1) {
      name = dir + i + 1;
    } else {
      if (engine->pfnAlertMessage)
        engine->pfnAlertMessage(at_error, const_cast<char*>("{GrapnelMod} Error determining MOD directory name!"));
      name = dir + 1;
    }
  }
  // A name too long for the buffer is cut at its size.
  size_t len = strlen(name);
  if (len >= sizeof(ModDirName)) len = sizeof(ModDirName) - 1;
  memcpy(ModDirName, name, len);
  ModDirName[len] = '\0';
}

}  // namespace

GRAPNEL_EXPORT void Meta_Init() { MetamodMode = 1; }

extern "C" DEF_EXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* pengfuncsFromEngine, globalvars_t* pGlobals) {
  if (pengfuncsFromEngine) CopyEntries(&EngineTable, pengfuncsFromEngine, kEngineEntries);
  GameGlobals = pGlobals;
  SetModDirName(&EngineTable);
  if (MetamodMode) return;
  Proxy_LoadGameLibrary(pengfuncsFromEngine, pGlobals);
}

GRAPNEL_EXPORT int Meta_Query(char* /*interfaceVersion*/, plugin_info_t** plinfo, mutil_funcs_t* pMetaUtilFuncs) {
  if (plinfo) *plinfo = &PluginInfo;
  gpMetaUtilFuncs = pMetaUtilFuncs;
  return 1;
}

GRAPNEL_EXPORT int Meta_Attach(PLUG_LOADTIME /*now*/, META_FUNCTIONS* pFunctionTable, meta_globals_t* pMGlobals,
                               gamedll_funcs_t* pGamedllFuncs) {
  if (!pMGlobals) {
    LOG_ERROR("Meta_Attach called with null pMGlobals");
    return 0;
  }
  gpMetaGlobals = pMGlobals;
  if (!pFunctionTable) {
    LOG_ERROR("Meta_Attach called with null pFunctionTable");
    return 0;
  }
  META_FUNCTIONS api;
  memset(&api, 0, sizeof(api));
  api.pfnGetEntityAPI2 = GetEntityAPI2;
  api.pfnGetEntityAPI2_Post = GetEntityAPI2_Post;
  api.pfnGetNewDLLFunctions = GetNewDLLFunctions;
  api.pfnGetNewDLLFunctions_Post = GetNewDLLFunctions_Post;
  api.pfnGetEngineFunctions = GetEngineFunctions;
  api.pfnGetEngineFunctions_Post = GetEngineFunctions_Post;
  memcpy(pFunctionTable, &api, sizeof(api));
  gpGamedllFuncs = pGamedllFuncs;
  return 1;
}

GRAPNEL_EXPORT int Meta_Detach(PLUG_LOADTIME /*now*/, PL_UNLOAD_REASON /*reason*/) { return 1; }

GRAPNEL_EXPORT int GetEntityAPI(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion) {
  if (!MetamodMode) return Proxy_GetEntityAPI(pFunctionTable, interfaceVersion);
  if (!pFunctionTable || interfaceVersion != kDllVersion) return 0;
  CopyEntries(pFunctionTable, &HookedDllTable, kDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetEntityAPI2(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion) {
  if (!MetamodMode) return Proxy_GetEntityAPI2(pFunctionTable, interfaceVersion);
  LOG_DEVELOPER("called: GetEntityAPI2; version=%d", interfaceVersion ? *interfaceVersion : 0);
  if (!pFunctionTable) {
    LOG_ERROR("GetEntityAPI2 called with null pFunctionTable");
    return 0;
  }
  if (!interfaceVersion || *interfaceVersion != kDllVersion) {
    LOG_ERROR("GetEntityAPI2 version mismatch; requested=%d ours=%d", interfaceVersion ? *interfaceVersion : 0,
              kDllVersion);
    if (interfaceVersion) *interfaceVersion = kDllVersion;
    return 0;
  }
  CopyEntries(pFunctionTable, &HookedDllTable, kDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetEntityAPI_Post(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion) {
  LOG_DEVELOPER("called: GetEntityAPI_Post; version=%d", interfaceVersion);
  if (!pFunctionTable) {
    LOG_ERROR("GetEntityAPI_Post called with null pFunctionTable");
    return 0;
  }
  if (interfaceVersion != kDllVersion) {
    LOG_ERROR("GetEntityAPI_Post version mismatch; requested=%d ours=%d", interfaceVersion, kDllVersion);
    return 0;
  }
  CopyEntries(pFunctionTable, &HookedDllPostTable, kDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetEntityAPI2_Post(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion) {
  LOG_DEVELOPER("called: GetEntityAPI2_Post; version=%d", interfaceVersion ? *interfaceVersion : 0);
  if (!pFunctionTable) {
    LOG_ERROR("GetEntityAPI2_Post called with null pFunctionTable");
    return 0;
  }
  if (!interfaceVersion || *interfaceVersion != kDllVersion) {
    LOG_ERROR("GetEntityAPI2_Post version mismatch; requested=%d ours=%d", interfaceVersion ? *interfaceVersion : 0,
              kDllVersion);
    if (interfaceVersion) *interfaceVersion = kDllVersion;
    return 0;
  }
  CopyEntries(pFunctionTable, &HookedDllPostTable, kDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetNewDLLFunctions(NEW_DLL_FUNCTIONS* pNewFunctionTable, int* interfaceVersion) {
  if (!MetamodMode) return Proxy_GetNewDLLFunctions(pNewFunctionTable, interfaceVersion);
  if (!pNewFunctionTable) {
    LOG_ERROR("GetNewDLLFunctions called with null pFunctionTable");
    return 0;
  }
  if (!interfaceVersion || *interfaceVersion != kNewDllVersion) {
    LOG_ERROR("GetNewDLLFunctions version mismatch; requested=%d ours=%d", interfaceVersion ? *interfaceVersion : 0,
              kNewDllVersion);
    if (interfaceVersion) *interfaceVersion = kNewDllVersion;
    return 0;
  }
  CopyEntries(pNewFunctionTable, &HookedNewDllTable, kNewDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetNewDLLFunctions_Post(NEW_DLL_FUNCTIONS* pNewFunctionTable, int* interfaceVersion) {
  LOG_DEVELOPER("called: GetNewDLLFunctions_Post; version=%d", interfaceVersion ? *interfaceVersion : 0);
  if (!pNewFunctionTable) {
    LOG_ERROR("GetNewDLLFunctions_Post called with null pNewFunctionTable");
    return 0;
  }
  if (!interfaceVersion || *interfaceVersion != kNewDllVersion) {
    LOG_ERROR("GetNewDLLFunctions_Post version mismatch; requested=%d ours=%d",
              interfaceVersion ? *interfaceVersion : 0, kNewDllVersion);
    if (interfaceVersion) *interfaceVersion = kNewDllVersion;
    return 0;
  }
  CopyEntries(pNewFunctionTable, &HookedNewDllPostTable, kNewDllEntries);
  return 1;
}

GRAPNEL_EXPORT int GetEngineFunctions(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion) {
  if (!pengfuncsFromEngine) return 0;
  if (!interfaceVersion || *interfaceVersion != kEngineVersion) {
    if (interfaceVersion) *interfaceVersion = kEngineVersion;
    return 0;
  }
  CopyEntries(pengfuncsFromEngine, &HookedEngineTable, kEngineEntries);
  return 1;
}

GRAPNEL_EXPORT int GetEngineFunctions_Post(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion) {
  LOG_DEVELOPER("called: GetEngineFunctions_Post; version=%d", interfaceVersion ? *interfaceVersion : 0);
  if (!pengfuncsFromEngine) {
    LOG_ERROR("GetEngineFunctions_Post called with null pengfuncsFromEngine");
    return 0;
  }
  if (!interfaceVersion || *interfaceVersion != kEngineVersion) {
    LOG_ERROR("GetEngineFunctions_Post version mismatch; requested=%d ours=%d",
              interfaceVersion ? *interfaceVersion : 0, kEngineVersion);
    if (interfaceVersion) *interfaceVersion = kEngineVersion;
    return 0;
  }
  CopyEntries(pengfuncsFromEngine, &HookedEnginePostTable, kEngineEntries);
  return 1;
}
