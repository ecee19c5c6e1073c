// The plugin's hook tables. Under Metamod the getters hand over six tables
// whose only entries are the wrappers that carry work: Metamod routes no
// other call through the plugin. Standalone the engine gets two forwarding
// tables, every slot of the game library and of the engine passing the
// plugin on its way to the target.
#include <stdarg.h>
#include <stdio.h>

#include "../hook/hook.h"
#include "exports.h"
#include "round_events.h"
#include "slots.h"

using namespace frame;

namespace {

#define D(slot) &DLL_FUNCTIONS::slot
#define E(slot) &enginefuncs_t::slot

inline void SetResult(META_RES result) { gpMetaGlobals->mres = result; }

// Game-library calls that carry the hook's work. The handler runs first;
// AfterHandler then answers Metamod or calls the game library.

void GameInit() {
  Hook_RegisterCvars();
  AfterHandler<D(pfnGameInit)>(0);
}

int Spawn(edict_t* entity) { return AfterHandler<D(pfnSpawn)>(Hook_Precache(entity), entity); }

void Think(edict_t* entity) { AfterHandler<D(pfnThink)>(Hook_Think(entity), entity); }

void Touch(edict_t* touched, edict_t* other) {
  AfterHandler<D(pfnTouch)>(Hook_Touch(touched, other), touched, other);
}

// The banner is queued once per connection: here before the game library's
// connect when standalone, in the post-call under Metamod.
qboolean ClientConnect(edict_t* player, const char* name, const char* address, char rejectReason[128]) {
  Hook_ClientConnect(player, name, address, rejectReason);
  if (MetamodMode) {
    SetResult(MRES_HANDLED);
    return 1;
  }
  Hook_QueueBanner(player);
  return GameDllTable.pfnClientConnect ? GameDllTable.pfnClientConnect(player, name, address, rejectReason) : 0;
}

void ClientDisconnect(edict_t* player) {
  Hook_ClientDisconnect(player);
  AfterHandler<D(pfnClientDisconnect)>(0, player);
}

void ClientCommand(edict_t* player) { AfterHandler<D(pfnClientCommand)>(Hook_Command(player, 0), player); }

void PlayerPreThink(edict_t* player) { AfterHandler<D(pfnPlayerPreThink)>(Hook_PreThink(player), player); }

void StartFrame() { AfterHandler<D(pfnStartFrame)>(Hook_StartFrame()); }

qboolean ClientConnectPost(edict_t* player, const char*, const char*, char[128]) {
  Hook_QueueBanner(player);
  SetResult(MRES_IGNORED);
  return 1;
}

// Engine calls written by hand: the two variadic ones that do more than pass.

constexpr int kCommandTextSize = 1024;

// Standalone only (under Metamod the call is not routed through the plugin):
// the engine gets the finished text, so it runs the command the game asked for.
void EngineClientCommand(edict_t* player, char* format, ...) {
  char text[kCommandTextSize];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (EngineTable.pfnClientCommand) EngineTable.pfnClientCommand(player, const_cast<char*>("%s"), text);
}

void EngineAlertMessage(ALERT_TYPE level, char* format, ...) {
  if (MetamodMode && level != at_logged) {
    SetResult(MRES_IGNORED);
    return;
  }
  char text[kRoundLineSize];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (level == at_logged && RoundEvent_IsRoundLine(text)) Hook_RoundStart();
  if (MetamodMode) {
    SetResult(MRES_HANDLED);
    return;
  }
  if (EngineTable.pfnAlertMessage) EngineTable.pfnAlertMessage(level, const_cast<char*>("%s"), text);
}

// The nine game-library calls that carry work, in both modes' tables.
constexpr void SetWorkingGameSlots(DLL_FUNCTIONS& table) {
  table.pfnGameInit = GameInit;
  table.pfnSpawn = Spawn;
  table.pfnThink = Think;
  table.pfnTouch = Touch;
  table.pfnClientConnect = ClientConnect;
  table.pfnClientDisconnect = ClientDisconnect;
  table.pfnClientCommand = ClientCommand;
  table.pfnPlayerPreThink = PlayerPreThink;
  table.pfnStartFrame = StartFrame;
}

constexpr DLL_FUNCTIONS MakeDllTable() {
  DLL_FUNCTIONS table{};
  SetWorkingGameSlots(table);
  return table;
}

constexpr DLL_FUNCTIONS MakeDllPostTable() {
  DLL_FUNCTIONS table{};
  table.pfnClientConnect = ClientConnectPost;
  return table;
}

constexpr enginefuncs_t MakeEngineTable() {
  enginefuncs_t table{};
  table.pfnAlertMessage = EngineAlertMessage;
  return table;
}

constexpr DLL_FUNCTIONS MakeForwardDllTable() {
  DLL_FUNCTIONS table{};
  SetWorkingGameSlots(table);
  SetGamePassThroughs<
    D(pfnUse), D(pfnBlocked), D(pfnKeyValue), D(pfnSave), D(pfnRestore), D(pfnSetAbsBox),
    D(pfnSaveWriteFields), D(pfnSaveReadFields), D(pfnSaveGlobalState), D(pfnRestoreGlobalState),
    D(pfnResetGlobalState), D(pfnClientKill), D(pfnClientPutInServer), D(pfnClientUserInfoChanged),
    D(pfnServerActivate), D(pfnServerDeactivate), D(pfnPlayerPostThink), D(pfnParmsNewLevel),
    D(pfnParmsChangeLevel), D(pfnGetGameDescription), D(pfnPlayerCustomization), D(pfnSpectatorConnect),
    D(pfnSpectatorDisconnect), D(pfnSpectatorThink), D(pfnSys_Error), D(pfnPM_Move), D(pfnPM_Init),
    D(pfnPM_FindTextureType), D(pfnSetupVisibility), D(pfnUpdateClientData), D(pfnAddToFullPack),
    D(pfnCreateBaseline), D(pfnRegisterEncoders), D(pfnGetWeaponData), D(pfnCmdStart), D(pfnCmdEnd),
    D(pfnConnectionlessPacket), D(pfnGetHullBounds), D(pfnCreateInstancedBaselines), D(pfnInconsistentFile),
    D(pfnAllowLagCompensation)>(table);
  return table;
}

// Four entries stay null (pfnEngineFprintf, pfnAddServerCommand and the two
// voice calls): the engine keeps its own functions there (see the proxy).
constexpr enginefuncs_t MakeForwardEngineTable() {
  enginefuncs_t table{};
  table.pfnClientCommand = EngineClientCommand;
  table.pfnAlertMessage = EngineAlertMessage;
  SetEnginePassThroughs<
    E(pfnPrecacheModel), E(pfnPrecacheSound), E(pfnSetModel), E(pfnModelIndex), E(pfnModelFrames),
    E(pfnSetSize), E(pfnChangeLevel), E(pfnGetSpawnParms), E(pfnSaveSpawnParms), E(pfnVecToYaw),
    E(pfnVecToAngles), E(pfnMoveToOrigin), E(pfnChangeYaw), E(pfnChangePitch), E(pfnFindEntityByString),
    E(pfnGetEntityIllum), E(pfnFindEntityInSphere), E(pfnFindClientInPVS), E(pfnEntitiesInPVS),
    E(pfnMakeVectors), E(pfnAngleVectors), E(pfnCreateEntity), E(pfnRemoveEntity), E(pfnCreateNamedEntity),
    E(pfnMakeStatic), E(pfnEntIsOnFloor), E(pfnDropToFloor), E(pfnWalkMove), E(pfnSetOrigin),
    E(pfnEmitSound), E(pfnEmitAmbientSound), E(pfnTraceLine), E(pfnTraceToss), E(pfnTraceMonsterHull),
    E(pfnTraceHull), E(pfnTraceModel), E(pfnTraceTexture), E(pfnTraceSphere), E(pfnGetAimVector),
    E(pfnServerCommand), E(pfnServerExecute), E(pfnParticleEffect), E(pfnLightStyle), E(pfnDecalIndex),
    E(pfnPointContents), E(pfnMessageBegin), E(pfnMessageEnd), E(pfnWriteByte), E(pfnWriteChar),
    E(pfnWriteShort), E(pfnWriteLong), E(pfnWriteAngle), E(pfnWriteCoord), E(pfnWriteString),
    E(pfnWriteEntity), E(pfnCVarRegister), E(pfnCVarGetFloat), E(pfnCVarGetString), E(pfnCVarSetFloat),
    E(pfnCVarSetString), E(pfnPvAllocEntPrivateData), E(pfnPvEntPrivateData), E(pfnFreeEntPrivateData),
    E(pfnSzFromIndex), E(pfnAllocString), E(pfnGetVarsOfEnt), E(pfnPEntityOfEntOffset),
    E(pfnEntOffsetOfPEntity), E(pfnIndexOfEdict), E(pfnPEntityOfEntIndex), E(pfnFindEntityByVars),
    E(pfnGetModelPtr), E(pfnRegUserMsg), E(pfnAnimationAutomove), E(pfnGetBonePosition),
    E(pfnFunctionFromName), E(pfnNameForFunction), E(pfnClientPrintf), E(pfnServerPrint), E(pfnCmd_Args),
    E(pfnCmd_Argv), E(pfnCmd_Argc), E(pfnGetAttachment), E(pfnCRC32_Init), E(pfnCRC32_ProcessBuffer),
    E(pfnCRC32_ProcessByte), E(pfnCRC32_Final), E(pfnRandomLong), E(pfnRandomFloat), E(pfnSetView),
    E(pfnTime), E(pfnCrosshairAngle), E(pfnLoadFileForMe), E(pfnFreeFile), E(pfnEndSection),
    E(pfnCompareFileTime), E(pfnGetGameDir), E(pfnCvar_RegisterVariable), E(pfnFadeClientVolume),
    E(pfnSetClientMaxspeed), E(pfnCreateFakeClient), E(pfnRunPlayerMove), E(pfnNumberOfEntities),
    E(pfnGetInfoKeyBuffer), E(pfnInfoKeyValue), E(pfnSetKeyValue), E(pfnSetClientKeyValue), E(pfnIsMapValid),
    E(pfnStaticDecal), E(pfnPrecacheGeneric), E(pfnGetPlayerUserId), E(pfnBuildSoundMsg),
    E(pfnIsDedicatedServer), E(pfnCVarGetPointer), E(pfnGetPlayerWONId), E(pfnInfo_RemoveKey),
    E(pfnGetPhysicsKeyValue), E(pfnSetPhysicsKeyValue), E(pfnGetPhysicsInfoString), E(pfnPrecacheEvent),
    E(pfnPlaybackEvent), E(pfnSetFatPVS), E(pfnSetFatPAS), E(pfnCheckVisibility), E(pfnDeltaSetField),
    E(pfnDeltaUnsetField), E(pfnDeltaAddEncoder), E(pfnGetCurrentPlayer), E(pfnCanSkipPlayer),
    E(pfnDeltaFindField), E(pfnDeltaSetFieldByIndex), E(pfnDeltaUnsetFieldByIndex), E(pfnSetGroupMask),
    E(pfnCreateInstancedBaseline), E(pfnCvar_DirectSet), E(pfnForceUnmodified), E(pfnGetPlayerStats),
    E(pfnGetPlayerAuthId)>(table);
  return table;
}

}  // namespace

// Handed to Metamod: the working entries only.
constinit const DLL_FUNCTIONS HookedDllTable = MakeDllTable();
constinit const DLL_FUNCTIONS HookedDllPostTable = MakeDllPostTable();
constinit const NEW_DLL_FUNCTIONS HookedNewDllTable{};
constinit const NEW_DLL_FUNCTIONS HookedNewDllPostTable{};
constinit const enginefuncs_t HookedEngineTable = MakeEngineTable();
constinit const enginefuncs_t HookedEnginePostTable{};

// Handed to the engine standalone: every slot forwarded.
constinit const DLL_FUNCTIONS ForwardDllTable = MakeForwardDllTable();
constinit const enginefuncs_t ForwardEngineTable = MakeForwardEngineTable();

int ChainSpawn(edict_t* entity) {
  if (!MetamodMode) return Spawn(entity);
  if (Hook_Precache(entity)) return 0;
  DLL_FUNCTIONS* game = gpGamedllFuncs ? gpGamedllFuncs->dllapi_table : nullptr;
  return game && game->pfnSpawn ? game->pfnSpawn(entity) : 0;
}
