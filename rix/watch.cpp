#include "watch.h"

#include <string.h>

#include "rix.h"
#include "tweaks.h"

MessageWatch messageWatch = {-1, -1, nullptr, {}};

static bool defaultHandler(int, MessageArg*) { return false; }

static MessageHandler current() {
  return messageWatch.handler ? messageWatch.handler : defaultHandler;
}

void Watch_Registered(const char* name, int id) {
  if (!name) return;
  WatchedMessages& m = messageWatch.ids;
  struct { const char* name; int* slot; } table[] = {
      {"HudText", &m.HudText},       {"SayText", &m.SayText},
      {"Damage", &m.Damage},         {"StatusText", &m.StatusText},
      {"ScreenShake", &m.ScreenShake}, {"ScreenFade", &m.ScreenFade},
      {"CurWeapon", &m.CurWeapon},   {"WeaponList", &m.WeaponList},
  };
  for (auto& entry : table)
    if (strcmp(entry.name, name) == 0) *entry.slot = id;
}

// The handler for a message type; the game sends no user message of type 0,
// so an identifier never registered (0) matches nothing real.
static MessageHandler handlerFor(int type) {
  const WatchedMessages& m = messageWatch.ids;
  if (type == 0) return defaultHandler;
  if (type == m.CurWeapon) return Msg_CurWeapon;
  if (type == m.Damage) return Msg_Damage;
  if (type == m.StatusText) return Msg_StatusText;
  if (type == m.ScreenFade) return Msg_ScreenFade;
  if (type == m.WeaponList) return Msg_WeaponList;
  return defaultHandler;
}

META_RES Watch_Begin(int type, edict_t* receiver) {
  messageWatch.currentType = type;
  messageWatch.argIndex = 0;
  messageWatch.handler = handlerFor(type);
  MessageArg arg = {};
  arg.kind = ARG_EDICT;
  arg.edict = receiver;
  return current()(0, &arg) ? MRES_SUPERCEDE : MRES_IGNORED;
}

static bool passOn(MessageArg* arg) {
  messageWatch.argIndex += 1;
  return current()(messageWatch.argIndex, arg);
}

META_RES Watch_WriteInt(void (*write)(int), int value) {
  MessageArg arg = {};
  arg.kind = ARG_INT;
  arg.i = value;
  if (!passOn(&arg)) return MRES_IGNORED;
  if (write) write(arg.i);
  return MRES_SUPERCEDE;
}

META_RES Watch_WriteFloat(void (*write)(float), float value) {
  MessageArg arg = {};
  arg.kind = ARG_FLOAT;
  arg.f = value;
  if (!passOn(&arg)) return MRES_IGNORED;
  if (write) write(arg.f);
  return MRES_SUPERCEDE;
}

META_RES Watch_WriteString(const char* value) {
  char text[1024];
  size_t n = value ? strnlen(value, sizeof text - 1) : 0;
  if (n) memcpy(text, value, n);
  text[n] = '\0';
  MessageArg arg = {};
  arg.kind = ARG_STRING;
  arg.s = text;
  arg.size = sizeof text;
  if (!passOn(&arg)) return MRES_IGNORED;
  if (engine.pfnWriteString) engine.pfnWriteString(text);
  return MRES_SUPERCEDE;
}

void Watch_End() {
  MessageHandler handler = current();
  messageWatch.currentType = -1;
  messageWatch.argIndex = -1;
  MessageArg arg = {};
  arg.kind = ARG_END;
  handler(-1, &arg);
  messageWatch.handler = defaultHandler;
}
