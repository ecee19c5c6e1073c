// Every DLL_FUNCTIONS slot, for the generated recording stubs.
#pragma once

#define FAKE_DLL_SLOTS(X) \
  X(pfnGameInit) \
  X(pfnSpawn) \
  X(pfnThink) \
  X(pfnUse) \
  X(pfnTouch) \
  X(pfnBlocked) \
  X(pfnKeyValue) \
  X(pfnSave) \
  X(pfnRestore) \
  X(pfnSetAbsBox) \
  X(pfnSaveWriteFields) \
  X(pfnSaveReadFields) \
  X(pfnSaveGlobalState) \
  X(pfnRestoreGlobalState) \
  X(pfnResetGlobalState) \
  X(pfnClientConnect) \
  X(pfnClientDisconnect) \
  X(pfnClientKill) \
  X(pfnClientPutInServer) \
  X(pfnClientCommand) \
  X(pfnClientUserInfoChanged) \
  X(pfnServerActivate) \
  X(pfnServerDeactivate) \
  X(pfnPlayerPreThink) \
  X(pfnPlayerPostThink) \
  X(pfnStartFrame) \
  X(pfnParmsNewLevel) \
  X(pfnParmsChangeLevel) \
  X(pfnGetGameDescription) \
  X(pfnPlayerCustomization) \
  X(pfnSpectatorConnect) \
  X(pfnSpectatorDisconnect) \
  X(pfnSpectatorThink) \
  X(pfnSys_Error) \
  X(pfnPM_Move) \
  X(pfnPM_Init) \
  X(pfnPM_FindTextureType) \
  X(pfnSetupVisibility) \
  X(pfnUpdateClientData) \
  X(pfnAddToFullPack) \
  X(pfnCreateBaseline) \
  X(pfnRegisterEncoders) \
  X(pfnGetWeaponData) \
  X(pfnCmdStart) \
  X(pfnCmdEnd) \
  X(pfnConnectionlessPacket) \
  X(pfnGetHullBounds) \
  X(pfnCreateInstancedBaselines) \
  X(pfnInconsistentFile) \
  X(pfnAllowLagCompensation) \
  /* end */

#define FAKE_NEW_DLL_SLOTS(X) \
  X(pfnOnFreeEntPrivateData) \
  X(pfnGameShutdown) \
  X(pfnShouldCollide) \
  X(pfnCvarValue) \
  X(pfnCvarValue2) \
  /* end */
