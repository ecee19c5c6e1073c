// Declarations of the frame's internals shared between its source files:
// the entry-point export marker, the hook tables and the standalone loader.
#pragma once

#include "frame.h"

// Undecorated export of the library (C_DLLEXPORT and WINAPI come from the
// platform headers; the Windows build also lists the exports in its
// module-definition file).
#define GRAPNEL_EXPORT C_DLLEXPORT

// The library's entry points.
GRAPNEL_EXPORT void Meta_Init();
extern "C" DEF_EXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* pengfuncsFromEngine, globalvars_t* pGlobals);
GRAPNEL_EXPORT int Meta_Query(char* interfaceVersion, plugin_info_t** plinfo, mutil_funcs_t* pMetaUtilFuncs);
GRAPNEL_EXPORT int Meta_Attach(PLUG_LOADTIME now, META_FUNCTIONS* pFunctionTable, meta_globals_t* pMGlobals,
                               gamedll_funcs_t* pGamedllFuncs);
GRAPNEL_EXPORT int Meta_Detach(PLUG_LOADTIME now, PL_UNLOAD_REASON reason);
GRAPNEL_EXPORT int GetEntityAPI(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion);
GRAPNEL_EXPORT int GetEntityAPI2(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
GRAPNEL_EXPORT int GetEntityAPI_Post(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion);
GRAPNEL_EXPORT int GetEntityAPI2_Post(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
GRAPNEL_EXPORT int GetNewDLLFunctions(NEW_DLL_FUNCTIONS* pNewFunctionTable, int* interfaceVersion);
GRAPNEL_EXPORT int GetNewDLLFunctions_Post(NEW_DLL_FUNCTIONS* pNewFunctionTable, int* interfaceVersion);
GRAPNEL_EXPORT int GetEngineFunctions(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion);
GRAPNEL_EXPORT int GetEngineFunctions_Post(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion);
// Standalone: the game library's hitbox blending, asked for by the engine.
GRAPNEL_EXPORT int Server_GetBlendingInterface(int version, void** ppinterface, void* pstudio, void* rotationmatrix,
                                               void* bonetransform);

// Entries of the tables as the plugin speaks them: the older engine table
// size and the three-entry new-DLL table.
constexpr int kDllEntries = 50;
constexpr int kNewDllEntries = 3;
constexpr int kEngineEntries = 144;
constexpr int kDllVersion = 140;
constexpr int kNewDllVersion = 1;
constexpr int kEngineVersion = 138;

// The six hook tables the getters hand Metamod, constant. Only the wrappers
// that carry work are set: Metamod routes a call whose entry is null past
// the plugin at no cost.
extern const DLL_FUNCTIONS HookedDllTable;
extern const DLL_FUNCTIONS HookedDllPostTable;
extern const NEW_DLL_FUNCTIONS HookedNewDllTable;
extern const NEW_DLL_FUNCTIONS HookedNewDllPostTable;
extern const enginefuncs_t HookedEngineTable;
extern const enginefuncs_t HookedEnginePostTable;

// Standalone, the engine's tables: the game-library table the engine calls
// (every slot set) and the wrappers patched into the engine table the game
// library calls (every slot but four).
extern const DLL_FUNCTIONS ForwardDllTable;
extern const enginefuncs_t ForwardEngineTable;

// Copies the first `entries` function pointers of one table into another.
void CopyEntries(void* to, const void* from, int entries);

// Standalone: loads the game library named in the configuration file, puts
// the plugin's engine wrappers in front of the engine for it and hands the
// engine table over (runs inside GiveFnptrsToDll).
void Proxy_LoadGameLibrary(enginefuncs_t* engine, globalvars_t* globals);
// Standalone getters.
int Proxy_GetEntityAPI(DLL_FUNCTIONS* table, int version);
int Proxy_GetEntityAPI2(DLL_FUNCTIONS* table, int* version);
int Proxy_GetNewDLLFunctions(NEW_DLL_FUNCTIONS* table, int* version);
