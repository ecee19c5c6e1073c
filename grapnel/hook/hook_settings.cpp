// Hook settings, client commands, the password gate and text to one player.
#include "hook_internal.h"

HookSettings HookConfig;
HookPlayerState HookPlayers[kHookMaxPlayers];

HookEngineCvars HookLive;
bool HookCvarsRegistered = false;

// Standalone the engine links these records into its variable list and keeps
// them for the life of the library, so they live in static storage and stay
// writable; under Metamod the engine gets copies and these keep their defaults.
#define HOOK_CVAR(name, value, flags) {const_cast<char*>(name), const_cast<char*>(value), flags, 0.0f, nullptr}
cvar_t HookCvars[kHookCvarCount] = {
    HOOK_CVAR("GP_hook_on", "1", FCVAR_ARCHIVE | FCVAR_SERVER),
    HOOK_CVAR("GP_hook_deployspeed", "1500", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_speed", "1.5", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_ground", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_showspy", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_sound", "1", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_hold", "15", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_sky", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_players", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_onlywalls", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_color", "1", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_gravity", "0.5", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_instant", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_swing", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_swing_acceleration", "150", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_swing_reelspeed", "200", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_swing_minlength", "100", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_wait", "0.05", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_forcespeed", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_width", "20", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_noise", "1", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_weapon", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_usekey", "0", FCVAR_ARCHIVE),
    HOOK_CVAR("GP_hook_password", "0", FCVAR_ARCHIVE),
};
#undef HOOK_CVAR
static_assert(kHookCvarCount == 24, "the hook has 24 console variables");

namespace {

int TextMsgId = 0;

// Copies at most size - 1 characters and always terminates.
void CopyBounded(char* out, size_t size, const char* text) {
  size_t n = 0;
  if (text) {
    while (n + 1 < size && text[n] != '\0') {
      out[n] = text[n];
      ++n;
    }
  }
  out[n] = '\0';
}

const char* Arg(int i) {
  const char* a = EngineTable.pfnCmd_Argv(i);
  return a ? a : "";
}

// Checks everything a fire attempt needs; fires or refuses.
void FireGate(edict_t* player, HookPlayerState* rec) {
  float wait = Hook_Cvar(hookcvar::kWait);
  if (Hook_Trunc(Hook_Cvar(hookcvar::kInstant)) == 0 && wait < 0.05f) wait = 0.05f;
  if (wait < 0.001f) wait = 0.001f;

  float now = Hook_Now();
  if (rec->state != kHookIdle || !Hook_Alive(player) || player->v.movetype != MOVETYPE_WALK ||
      rec->lastRelease + wait > now)
    return;

  char required[kHookPasswordSize];
  CopyBounded(required, sizeof(required), EngineTable.pfnCVarGetString(hookcvar::kPassword));
  if (required[0] != '\0' && strcmp(required, "0") != 0 && strcmp(required, rec->password) != 0) {
    Hook_PrintToClient(player, HUD_PRINTNOTIFY,
                       "The hook has a password set and you have not yet logged in with the correct "
                       "password.\n");
    Hook_PrintToClient(player, HUD_PRINTNOTIFY,
                       "To log in, type in the console:\nhook_login password\nReplace password with the "
                       "password that has been set.\n");
    Hook_PrintToClient(player, HUD_PRINTCENTER,
                       "The hook has a password set.\nRead the information in\nyour console for more "
                       "info.\n");
    rec->lastRelease = now;
    return;
  }
  Hook_Fire(player);
}

}  // namespace

HookPlayerState* Hook_RecordOf(const edict_t* player) {
  if (!player) return nullptr;
  int index = EngineTable.pfnIndexOfEdict(player);
  if (index < 1 || index >= kHookMaxPlayers) return nullptr;
  return &HookPlayers[index];
}

void Hook_RegisterCvars() {
  if (HookCvarsRegistered) return;  // the engine links each record once
  for (cvar_t& cvar : HookCvars) EngineTable.pfnCVarRegister(&cvar);
  HookCvarsRegistered = true;
  Hook_LinkCvars();
}

void Hook_LinkCvars() {
  for (int i = 0; i < kHookCvarCount; ++i) HookLive.hook[i] = EngineTable.pfnCVarGetPointer(HookCvars[i].name);
  HookLive.gravity = EngineTable.pfnCVarGetPointer("sv_gravity");
  HookLive.maxSpeed = EngineTable.pfnCVarGetPointer("sv_maxspeed");
}

void Hook_ReadSettings() {
  HookConfig.pullSpeedScale = Hook_Cvar(hookcvar::kSpeed);
  HookConfig.forceSpeed = Hook_Cvar(hookcvar::kForceSpeed);
  HookConfig.swingAcceleration = Hook_Trunc(Hook_Cvar(hookcvar::kSwingAcceleration));
  HookConfig.reelSpeed = Hook_Trunc(Hook_Cvar(hookcvar::kSwingReelSpeed));
  HookConfig.minLength = Hook_Trunc(Hook_Cvar(hookcvar::kSwingMinLength));
  HookConfig.useKey = Hook_Cvar(hookcvar::kUseKey) != 0.0f;
}

int Hook_StartFrame() {
  float now = Hook_Now();
  if (now > HookConfig.nextRead) {
    Hook_ReadSettings();
    HookConfig.nextRead = now + 5.0f;
  }
  Hook_DeliverBanners();
  return 0;
}

int Hook_Command(edict_t* player, int kind) {
  HookPlayerState* rec = Hook_RecordOf(player);
  if (!rec) return 0;

  const char* name = kind == kHookCommandClient ? Arg(0) : "";
  bool fire = kind == kHookCommandUseDown || (kind == kHookCommandClient && strcmp(name, "+hook") == 0);
  if (fire && Hook_Cvar(hookcvar::kOn) != 0.0f) {
    FireGate(player, rec);
    return 1;
  }
  if (kind == kHookCommandUseUp || (kind == kHookCommandClient && strcmp(name, "-hook") == 0)) {
    if (rec->state != kHookIdle) Hook_Release(player);
    return 1;
  }
  if (kind == kHookCommandClient && strcmp(name, "hook_login") == 0) {
    if (EngineTable.pfnCmd_Argc() < 2) {
      Hook_PrintToClient(player, HUD_PRINTNOTIFY, "Invalid login format.\n");
    } else {
      CopyBounded(rec->password, sizeof(rec->password), Arg(1));
      Hook_PrintToClient(player, HUD_PRINTNOTIFY, "You are now logged in with that password.\n");
    }
    return 1;
  }
  return 0;
}

void Hook_PrintToClient(edict_t* player, int destination, const char* text) {
  if (!player) return;
  if (TextMsgId == 0) TextMsgId = EngineTable.pfnRegUserMsg("TextMsg", -1);
  EngineTable.pfnMessageBegin(MSG_ONE, TextMsgId, nullptr, player);
  EngineTable.pfnWriteByte(destination);
  EngineTable.pfnWriteString(text);
  EngineTable.pfnMessageEnd();
}

int Hook_ClientConnect(edict_t* player, const char* name, const char* address, char* rejectReason) {
  (void)name;
  (void)address;
  (void)rejectReason;
  HookPlayerState* rec = Hook_RecordOf(player);
  if (!rec) return 0;
  rec->state = kHookIdle;
  rec->anchor = vec3_t(0.0f, 0.0f, 0.0f);
  rec->lastRelease = 0.0f;
  rec->hookEntity = nullptr;
  rec->nextHitSound = 0.0f;
  rec->beamEntity = nullptr;
  rec->password[0] = '\0';
  rec->useKeyDown = 0;
  rec->swingActive = 0;
  Hook_ResetBanner(static_cast<int>(rec - HookPlayers));
  Hook_PrintBanner(player);
  return 0;
}
