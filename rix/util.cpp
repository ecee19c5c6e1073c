#include <math.h>
#include <stdarg.h>
#include <stdio.h>

#include "rix.h"

const char* Str(string_t s) {
  if (!gpGlobals || !gpGlobals->pStringBase) return "";
  return gpGlobals->pStringBase + s;
}

string_t AllocStr(const char* text) { return engine.pfnAllocString(text); }

int EntIndex(const edict_t* e) {
  return e && engine.pfnIndexOfEdict ? engine.pfnIndexOfEdict(e) : 0;
}

PlayerTweakState* PlayerRecord(const edict_t* e) {
  if (!e || e->free) return nullptr;
  int index = EntIndex(e);
  if (index < 1 || index >= MAX_PLAYER_RECORDS) return nullptr;
  return &playerTweaks[index];
}

bool IsValidClient(const edict_t* e) {
  return e && !e->free && (e->v.flags & FL_CLIENT) && !(e->v.flags & FL_KILLME);
}

bool IsLivingPlayer(const edict_t* e) {
  return e && e->v.deadflag == DEAD_NO && e->v.health > 0 && !(e->v.flags & FL_NOTARGET);
}

void LogServer(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (engine.pfnAlertMessage) engine.pfnAlertMessage(at_logged, const_cast<char*>("%s"), text);
}

int TruncInt(float f) {
  if (!(f > -2147483520.0f)) return f != f ? 0 : -2147483647 - 1;
  if (f > 2147483520.0f) return 2147483647;
  return (int)f;
}
