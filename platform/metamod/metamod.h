// Metamod plugin interface, declared from the published facts.
//
//   META_INTERFACE_VERSION, MAX_LOGMSG_LEN
//   META_RES (MRES_*)         result a hook writes into meta_globals_t::mres
//   PLUG_LOADTIME (PT_*)      when a plugin may be loaded / unloaded
//   PL_UNLOAD_REASON (PNL_*)  why Meta_Detach is called
//   ginfo_t (GINFO_*)         what mutil_funcs_t::pfnGetGameInfo returns
//   plugin_info_t, plid_t     the plugin's identity, returned by Meta_Query
//   META_FUNCTIONS            the table getters a plugin hands over in Meta_Attach
//   meta_globals_t            mres, prev_mres, status, orig_ret, override_ret
//   gamedll_funcs_t           the real game library's tables
//   mutil_funcs_t             Metamod's utility calls (pfnLogError, ...)
//   *_FN typedefs             the exported entry points with their calling
//                             conventions (GiveFnptrsToDll is WINAPI)
//
// Includes the whole engine interface (hl/hl.h), and with it C_DLLEXPORT and
// WINAPI for defining the entry points.
#pragma once

#include <stdarg.h>

#include "hl/hl.h"

#define META_INTERFACE_VERSION "5:13"
constexpr int MAX_LOGMSG_LEN = 1024;

// Order matters: Metamod compares these values.
enum META_RES : int {
    MRES_UNSET = 0,      // not set; Metamod reports it as an error
    MRES_IGNORED = 1,    // the plugin did nothing
    MRES_HANDLED = 2,    // the plugin acted; the real function still runs
    MRES_OVERRIDE = 3,   // the real function runs, the plugin's result is used
    MRES_SUPERCEDE = 4,  // the real function is skipped, the plugin's result is used
};

// Order matters.
enum PLUG_LOADTIME : int {
    PT_NEVER = 0,
    PT_STARTUP = 1,      // only at server start
    PT_CHANGELEVEL = 2,  // between maps
    PT_ANYTIME = 3,      // any time
    PT_ANYPAUSE = 4,     // any time, and may be paused during a map
};

enum PL_UNLOAD_REASON : int {
    PNL_NULL = 0,
    PNL_INI_DELETED = 1,  // removed from the plugin list file
    PNL_FILE_NEWER = 2,   // the file on disk is newer than the loaded one
    PNL_COMMAND = 3,      // console or server command
    PNL_CMD_FORCED = 4,   // forced by command
    PNL_DELAYED = 5,      // an earlier request, delayed
    PNL_PLUGIN = 6,       // requested by a plugin call
    PNL_PLG_FORCED = 7,   // forced by a plugin call
    PNL_RELOAD = 8,       // forced by a reload
};

enum ginfo_t : int {
    GINFO_NAME = 0,
    GINFO_DESC = 1,
    GINFO_GAMEDIR = 2,
    GINFO_DLL_FULLPATH = 3,
    GINFO_DLL_FILENAME = 4,
    GINFO_REALDLL_FULLPATH = 5,
};

// The plugin's identity; owned by the plugin, returned through Meta_Query.
// The strings are const here so that literals can fill them (same layout).
struct plugin_info_t {
    const char* ifvers;
    const char* name;
    const char* version;
    const char* date;
    const char* author;
    const char* url;
    const char* logtag;
    PLUG_LOADTIME loadable;
    PLUG_LOADTIME unloadable;
};
typedef plugin_info_t* plid_t;

// Table getters (the game-library interface's and Metamod's engine-table one).
typedef int (*GETENTITYAPI_FN)(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion);
typedef int (*GETENTITYAPI2_FN)(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
typedef int (*GETNEWDLLFUNCTIONS_FN)(NEW_DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
typedef int (*GET_ENGINE_FUNCTIONS_FN)(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion);

// Filled by the plugin in Meta_Attach; a null slot means no hooks of that kind.
struct META_FUNCTIONS {
    GETENTITYAPI_FN pfnGetEntityAPI;
    GETENTITYAPI_FN pfnGetEntityAPI_Post;
    GETENTITYAPI2_FN pfnGetEntityAPI2;
    GETENTITYAPI2_FN pfnGetEntityAPI2_Post;
    GETNEWDLLFUNCTIONS_FN pfnGetNewDLLFunctions;
    GETNEWDLLFUNCTIONS_FN pfnGetNewDLLFunctions_Post;
    GET_ENGINE_FUNCTIONS_FN pfnGetEngineFunctions;
    GET_ENGINE_FUNCTIONS_FN pfnGetEngineFunctions_Post;
};

// Owned by Metamod. Before returning, every hook writes its META_RES into
// mres. orig_ret / override_ret point at the return value of the real
// function / of the overriding plugin; cast to the slot's return type.
struct meta_globals_s {
    META_RES mres;  // plugin writes its META_RES here
    META_RES prev_mres;
    META_RES status;
    void* orig_ret;
    void* override_ret;
};
typedef struct meta_globals_s meta_globals_t;

// The real game library's tables; calls through them bypass other plugins.
// newapi_table may be null.
struct gamedll_funcs_t {
    DLL_FUNCTIONS* dllapi_table;
    NEW_DLL_FUNCTIONS* newapi_table;
};

// Metamod's utility calls; every one takes the calling plugin's plid first.
struct meta_util_funcs_s {
    void (*pfnLogConsole)(plid_t plid, const char* fmt, ...);
    void (*pfnLogMessage)(plid_t plid, const char* fmt, ...);
    void (*pfnLogError)(plid_t plid, const char* fmt, ...);
    void (*pfnLogDeveloper)(plid_t plid, const char* fmt, ...);
    // since 5:4
    void (*pfnCenterSay)(plid_t plid, const char* fmt, ...);
    // since 5:4; hudtextparms_t (40 bytes) passed by value
    void (*pfnCenterSayParms)(plid_t plid, hudtextparms_t tparms, const char* fmt, ...);
    // since 5:4; hudtextparms_t by value; va_list is 4 bytes on i386
    void (*pfnCenterSayVarargs)(plid_t plid, hudtextparms_t tparms, const char* fmt, va_list ap);
    // since 5:6
    qboolean (*pfnCallGameEntity)(plid_t plid, const char* entStr, entvars_t* pev);
    // since 5:7
    int (*pfnGetUserMsgID)(plid_t plid, const char* msgname, int* size);
    // since 5:7
    const char* (*pfnGetUserMsgName)(plid_t plid, int msgid, int* size);
    // since 5:8
    const char* (*pfnGetPluginPath)(plid_t plid);
    // since 5:9
    const char* (*pfnGetGameInfo)(plid_t plid, ginfo_t tag);
    // since 5:11
    int (*pfnLoadPlugin)(plid_t plid, const char* cmdline, PLUG_LOADTIME now, void** plugin_handle);
    // since 5:11
    int (*pfnUnloadPlugin)(plid_t plid, const char* cmdline, PLUG_LOADTIME now,
                           PL_UNLOAD_REASON reason);
    // since 5:11
    int (*pfnUnloadPluginByHandle)(plid_t plid, void* plugin_handle, PLUG_LOADTIME now,
                                   PL_UNLOAD_REASON reason);
    // since 5:12
    const char* (*pfnIsQueryingClientCvar)(plid_t plid, const edict_t* player);
    int (*pfnMakeRequestID)(plid_t plid);
    // since 5:13
    void (*pfnGetHookTables)(plid_t plid, enginefuncs_t** peng, DLL_FUNCTIONS** pdll,
                             NEW_DLL_FUNCTIONS** pnewdll);
};
typedef struct meta_util_funcs_s mutil_funcs_t;

// Exported entry points. All are cdecl except GiveFnptrsToDll, which is
// WINAPI (stdcall on Windows, exported undecorated through the .def file).
typedef void(WINAPI* GIVE_ENGINE_FUNCTIONS_FN)(enginefuncs_t* pengfuncsFromEngine,
                                               globalvars_t* pGlobals);
typedef void (*META_INIT_FN)();
typedef int (*META_QUERY_FN)(char* interfaceVersion, plugin_info_t** plinfo,
                             mutil_funcs_t* pMetaUtilFuncs);
typedef int (*META_ATTACH_FN)(PLUG_LOADTIME now, META_FUNCTIONS* pFunctionTable,
                              meta_globals_t* pMGlobals, gamedll_funcs_t* pGamedllFuncs);
typedef int (*META_DETACH_FN)(PLUG_LOADTIME now, PL_UNLOAD_REASON reason);
