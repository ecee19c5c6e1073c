// A tiny Metamod plugin for the host's own tests: it logs its entry points,
// hooks a few game-library and engine calls with result codes the test sets,
// and reports what the driver handed it. Built under another name
// (TEST_PLUGIN_NAME, TEST_PLUGIN_TAG) it stands in for an admin's other
// Metamod plugin in the install tests: left alone, its hooks change nothing.
#include <cstdio>
#include <cstring>

#include "metamod/metamod.h"
#include "test_plugin_control.h"

namespace {

TestPluginControl g_ctl;
enginefuncs_t g_eng;
meta_globals_t* g_meta = nullptr;
mutil_funcs_t* g_util = nullptr;

#ifndef TEST_PLUGIN_NAME
#define TEST_PLUGIN_NAME "HostTest"
#define TEST_PLUGIN_TAG "HOSTTEST"
#endif

plugin_info_t g_info = {META_INTERFACE_VERSION, TEST_PLUGIN_NAME, "1.0", "2026-12-08", "nuvdm",
                        "", TEST_PLUGIN_TAG, PT_ANYTIME, PT_ANYTIME};

void note(const char* what) {
  size_t n = strlen(g_ctl.log);
  snprintf(g_ctl.log + n, sizeof g_ctl.log - n, "%s%s", n ? "|" : "", what);
}

void ClientCommand(edict_t*) {
  note("ClientCommand");
  g_meta->mres = static_cast<META_RES>(g_ctl.mresClientCommand);
}

int Spawn(edict_t*) {
  note("Spawn");
  g_meta->mres = static_cast<META_RES>(g_ctl.mresSpawn);
  return g_ctl.spawnValue;
}

int SpawnPost(edict_t*) {
  note("Spawn_Post");
  g_ctl.postSpawnSawOrig = g_meta->orig_ret != nullptr;
  if (g_meta->orig_ret) g_ctl.postSpawnOrigRet = *static_cast<int*>(g_meta->orig_ret);
  g_meta->mres = MRES_IGNORED;
  return 0;
}

void TraceLine(const float* a, const float* b, int nm, edict_t* skip, TraceResult* tr) {
  note("TraceLine");
  g_meta->mres = static_cast<META_RES>(g_ctl.mresTraceLine);
  if (g_ctl.mresTraceLine == MRES_SUPERCEDE) {
    ++g_ctl.ownEngineTraces;
    g_eng.pfnTraceLine(a, b, nm, skip, tr);  // own table: not hooked again
    tr->flFraction = g_ctl.traceFraction;
  }
}

void TraceLinePost(const float*, const float*, int, edict_t*, TraceResult*) {
  ++g_ctl.postTraceLines;
  g_meta->mres = MRES_IGNORED;
}

void AlertMessage(ALERT_TYPE, char* fmt, ...) {
  ++g_ctl.engineAlerts;
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(g_ctl.lastAlert, sizeof g_ctl.lastAlert, fmt, ap);
  va_end(ap);
  g_meta->mres = MRES_IGNORED;
}

int GetEntityAPI2(DLL_FUNCTIONS* table, int* version) {
  note("GetEntityAPI2");
  if (!table || !version) return 0;
  if (*version != INTERFACE_VERSION) {
    *version = INTERFACE_VERSION;
    return 0;
  }
  memset(table, 0, sizeof *table);
  table->pfnClientCommand = ClientCommand;
  table->pfnSpawn = Spawn;
  return 1;
}

int GetEntityAPI2Post(DLL_FUNCTIONS* table, int* version) {
  note("GetEntityAPI2_Post");
  if (!table || !version || *version != INTERFACE_VERSION) return 0;
  memset(table, 0, sizeof *table);
  table->pfnSpawn = SpawnPost;
  return 1;
}

int GetEngineFunctions(enginefuncs_t* table, int* version) {
  note("GetEngineFunctions");
  if (!table || !version) return 0;
  if (*version != ENGINE_INTERFACE_VERSION) {
    *version = ENGINE_INTERFACE_VERSION;
    return 0;
  }
  memset(table, 0, sizeof *table);
  table->pfnTraceLine = TraceLine;
  table->pfnAlertMessage = AlertMessage;
  return 1;
}

int GetEngineFunctionsPost(enginefuncs_t* table, int* version) {
  note("GetEngineFunctions_Post");
  if (!table || !version) return 0;
  memset(table, 0, sizeof *table);
  table->pfnTraceLine = TraceLinePost;
  return 1;
}

}  // namespace

C_DLLEXPORT TestPluginControl* TestPlugin_Control() { return &g_ctl; }

C_DLLEXPORT void Meta_Init() { note("Meta_Init"); }

C_DLLEXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* eng, globalvars_t*) {
  note("GiveFnptrsToDll");
  memcpy(&g_eng, eng, sizeof g_eng);
}

C_DLLEXPORT int Meta_Query(char* ifvers, plugin_info_t** info, mutil_funcs_t* util) {
  note("Meta_Query");
  *info = &g_info;
  g_util = util;
  return ifvers && !strcmp(ifvers, META_INTERFACE_VERSION) ? 1 : 0;
}

C_DLLEXPORT int Meta_Attach(PLUG_LOADTIME now, META_FUNCTIONS* table, meta_globals_t* globals,
                            gamedll_funcs_t*) {
  note("Meta_Attach");
  g_ctl.attachNowSeen = now;
  g_meta = globals;
  memset(table, 0, sizeof *table);
  table->pfnGetEntityAPI2 = GetEntityAPI2;
  table->pfnGetEntityAPI2_Post = GetEntityAPI2Post;
  table->pfnGetEngineFunctions = GetEngineFunctions;
  table->pfnGetEngineFunctions_Post = GetEngineFunctionsPost;
  g_ctl.mresClientCommand = MRES_IGNORED;
  g_ctl.mresSpawn = MRES_IGNORED;
  g_ctl.mresTraceLine = MRES_IGNORED;
  g_util->pfnLogDeveloper(&g_info, "attached at %d", static_cast<int>(now));
  return 1;
}

C_DLLEXPORT int Meta_Detach(PLUG_LOADTIME, PL_UNLOAD_REASON reason) {
  note("Meta_Detach");
  g_ctl.detachReason = reason;
  return 1;
}
