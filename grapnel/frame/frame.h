// Frame of the grapnel plugin: the globals and services the hook gameplay
// reads. Everything here is plain global state of the library, zeroed at load.
#pragma once

#include "hl/hl.h"
#include "metamod/metamod.h"

// The globals are internal to the library: with hidden visibility declared
// here, every access is one direct load instead of a look-up table load.
#if defined(__ELF__)
#pragma GCC visibility push(hidden)
#endif

// 1 once Metamod has called Meta_Init, 0 when the engine loaded the plugin
// in place of the game library (standalone proxy mode). Never goes back to 0.
extern int MetamodMode;

// The plugin's own copy of the engine table, taken in GiveFnptrsToDll. All
// engine calls of the plugin go through it (never through the plugin's hooks).
extern enginefuncs_t EngineTable;

// The engine's globals, kept from GiveFnptrsToDll.
extern globalvars_t* GameGlobals;

// Last element of the game directory path, e.g. "cstrike".
constexpr int kModDirNameSize = 256;
extern char ModDirName[kModDirNameSize];

// Metamod's records, null until Metamod hands them over.
extern mutil_funcs_t* gpMetaUtilFuncs;  // Meta_Query
extern meta_globals_t* gpMetaGlobals;   // Meta_Attach
extern gamedll_funcs_t* gpGamedllFuncs; // Meta_Attach

// The plugin's information record; its address identifies the plugin in
// every Metamod utility call.
extern plugin_info_t PluginInfo;

// Standalone mode: the game library's handle and its own tables, filled when
// the plugin loads it (null / zero under Metamod).
extern void* GameLibrary;
extern DLL_FUNCTIONS GameDllTable;

// Spawns an entity the plugin created itself: the plugin's spawn handler,
// then the game library's spawn, bypassing any other Metamod plugin.
int ChainSpawn(edict_t* entity);

#if defined(__ELF__)
#pragma GCC visibility pop
#endif
