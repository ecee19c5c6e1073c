// The message watch: follows the user message the game library is sending,
// value by value, so that a handler can read or change it.
#pragma once

#include <stddef.h>

#include "metamod/metamod.h"

enum MessageArgKind { ARG_EDICT, ARG_INT, ARG_FLOAT, ARG_STRING, ARG_END };

// One value of a message as a handler sees it. A handler changes i, f or the
// text in s (size bytes) and answers true to have the changed value written.
struct MessageArg {
  MessageArgKind kind;
  edict_t* edict;  // ARG_EDICT: the receiving player (may be null)
  int i;           // ARG_INT: byte, char, short, long, entity
  float f;         // ARG_FLOAT: angle, coord
  char* s;         // ARG_STRING
  size_t size;
};

// index: 0 at the begin call (kind ARG_EDICT), 1.. for the written values,
// -1 at the end (kind ARG_END).
typedef bool (*MessageHandler)(int index, MessageArg* arg);

// The identifiers of the watched messages, 0 until the game registers them.
struct WatchedMessages {
  int HudText, SayText, Damage, StatusText, ScreenShake, ScreenFade, CurWeapon, WeaponList;
};

struct MessageWatch {
  int currentType;  // -1 when no message is being sent
  int argIndex;
  MessageHandler handler;
  WatchedMessages ids;
};
extern MessageWatch messageWatch;

// Records the identifier of a watched message when the game registers it.
void Watch_Registered(const char* name, int id);
// Begin, write and end calls; each returns the result code for the host.
META_RES Watch_Begin(int type, edict_t* receiver);
META_RES Watch_WriteInt(void (*write)(int), int value);
META_RES Watch_WriteFloat(void (*write)(float), float value);
META_RES Watch_WriteString(const char* value);
void Watch_End();
