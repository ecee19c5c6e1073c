// The game-library function tables: DLL_FUNCTIONS (interface version 140,
// INTERFACE_VERSION, 50 slots) and NEW_DLL_FUNCTIONS (version 1, 5 slots; any
// slot may be null when the game library does not offer it).
#pragma once

#include "hl/constants.h"
#include "hl/entity.h"
#include "hl/movement.h"
#include "hl/types.h"

struct DLL_FUNCTIONS {
    void (*pfnGameInit)();
    int (*pfnSpawn)(edict_t* pent);
    void (*pfnThink)(edict_t* pent);
    void (*pfnUse)(edict_t* pentUsed, edict_t* pentOther);
    void (*pfnTouch)(edict_t* pentTouched, edict_t* pentOther);
    void (*pfnBlocked)(edict_t* pentBlocked, edict_t* pentOther);
    void (*pfnKeyValue)(edict_t* pentKeyvalue, KeyValueData* pkvd);
    void (*pfnSave)(edict_t* pent, SAVERESTOREDATA* pSaveData);
    int (*pfnRestore)(edict_t* pent, SAVERESTOREDATA* pSaveData, int globalEntity);
    void (*pfnSetAbsBox)(edict_t* pent);
    void (*pfnSaveWriteFields)(SAVERESTOREDATA* pSaveData, const char* pname, void* pBaseData,
                               TYPEDESCRIPTION* pFields, int fieldCount);
    void (*pfnSaveReadFields)(SAVERESTOREDATA* pSaveData, const char* pname, void* pBaseData,
                              TYPEDESCRIPTION* pFields, int fieldCount);
    void (*pfnSaveGlobalState)(SAVERESTOREDATA* pSaveData);
    void (*pfnRestoreGlobalState)(SAVERESTOREDATA* pSaveData);
    void (*pfnResetGlobalState)();
    // szRejectReason is a 128-byte buffer (passed as char *); nonzero return = accept
    qboolean (*pfnClientConnect)(edict_t* pEntity, const char* pszName, const char* pszAddress,
                                 char szRejectReason[128]);
    void (*pfnClientDisconnect)(edict_t* pEntity);
    void (*pfnClientKill)(edict_t* pEntity);
    void (*pfnClientPutInServer)(edict_t* pEntity);
    void (*pfnClientCommand)(edict_t* pEntity);
    void (*pfnClientUserInfoChanged)(edict_t* pEntity, char* infobuffer);
    void (*pfnServerActivate)(edict_t* pEdictList, int edictCount, int clientMax);
    void (*pfnServerDeactivate)();
    void (*pfnPlayerPreThink)(edict_t* pEntity);
    void (*pfnPlayerPostThink)(edict_t* pEntity);
    void (*pfnStartFrame)();
    void (*pfnParmsNewLevel)();
    void (*pfnParmsChangeLevel)();
    const char* (*pfnGetGameDescription)();
    void (*pfnPlayerCustomization)(edict_t* pEntity, customization_t* pCustom);
    void (*pfnSpectatorConnect)(edict_t* pEntity);
    void (*pfnSpectatorDisconnect)(edict_t* pEntity);
    void (*pfnSpectatorThink)(edict_t* pEntity);
    void (*pfnSys_Error)(const char* error_string);
    void (*pfnPM_Move)(struct playermove_s* ppmove, qboolean server);
    void (*pfnPM_Init)(struct playermove_s* ppmove);
    // returns a CHAR_TEX_* code
    char (*pfnPM_FindTextureType)(char* name);
    void (*pfnSetupVisibility)(struct edict_s* pViewEntity, struct edict_s* pClient,
                               unsigned char** pvs, unsigned char** pas);
    void (*pfnUpdateClientData)(const struct edict_s* ent, int sendweapons,
                                struct clientdata_s* cd);
    int (*pfnAddToFullPack)(struct entity_state_s* state, int e, edict_t* ent, edict_t* host,
                            int hostflags, int player, unsigned char* pSet);
    // The published header writes the two vectors as vec3_t, the C array of
    // three floats: each arrives as a pointer, never as 12 bytes by value.
    void (*pfnCreateBaseline)(int player, int eindex, struct entity_state_s* baseline,
                              struct edict_s* entity, int playermodelindex, vec_t* player_mins,
                              vec_t* player_maxs);
    void (*pfnRegisterEncoders)();
    int (*pfnGetWeaponData)(struct edict_s* player, struct weapon_data_s* info);
    void (*pfnCmdStart)(const edict_t* player, const struct usercmd_s* cmd,
                        unsigned int random_seed);
    void (*pfnCmdEnd)(const edict_t* player);
    // return 1 if the packet is valid; *response_buffer_size = capacity on entry, bytes to send on
    // exit (set 0 for no reply)
    int (*pfnConnectionlessPacket)(const struct netadr_s* net_from, const char* args,
                                   char* response_buffer, int* response_buffer_size);
    // return 0 = no such hull number, 1 = hull exists and mins/maxs were filled
    int (*pfnGetHullBounds)(int hullnumber, float* mins, float* maxs);
    void (*pfnCreateInstancedBaselines)();
    // disconnect_message holds up to 256 chars; return 0 = let the client continue, 1 = disconnect
    // it
    int (*pfnInconsistentFile)(const struct edict_s* player, const char* filename,
                               char* disconnect_message);
    // return 1 to allow lag compensation
    int (*pfnAllowLagCompensation)();
};

struct NEW_DLL_FUNCTIONS {
    void (*pfnOnFreeEntPrivateData)(edict_t* pEnt);
    void (*pfnGameShutdown)();
    int (*pfnShouldCollide)(edict_t* pentTouched, edict_t* pentOther);
    void (*pfnCvarValue)(const edict_t* pEnt, const char* value);
    void (*pfnCvarValue2)(const edict_t* pEnt, int requestID, const char* cvarName,
                          const char* value);
};

// Table getters of the game-library interface.
typedef int (*APIFUNCTION)(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion);
typedef int (*APIFUNCTION2)(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
typedef int (*NEW_DLL_FUNCTIONS_FN)(NEW_DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);

// Optional export of a game library, looked up by the engine after loading
// it: the server-side hitbox blending. The four pointers are the engine's
// blending interface record (filled in by the game), its studio API record,
// a 3x4 float matrix and the bone transforms. Answers 1 when it filled in the
// interface, 0 otherwise. Exported undecorated, cdecl.
typedef int (*SERVER_BLENDING_FN)(int version, void** ppinterface, void* pstudio, void* rotationmatrix,
                                  void* bonetransform);
constexpr int SERVER_BLENDING_INTERFACE_VERSION = 1;
