// Grappling hook: the handlers the plugin frame calls.
// Return codes of the int handlers: 1 = handled, the game library must not
// see the call; 0 = let it go on to the game library.
#pragma once

#include "hl/hl.h"

void Hook_RegisterCvars();
int Hook_Precache(edict_t* entity);
int Hook_Think(edict_t* entity);
int Hook_Touch(edict_t* touched, edict_t* other);
int Hook_ClientConnect(edict_t* player, const char* name, const char* address, char* rejectReason);
void Hook_QueueBanner(edict_t* player);
void Hook_ClientDisconnect(edict_t* player);
int Hook_Command(edict_t* player, int kind);
int Hook_PreThink(edict_t* player);
int Hook_StartFrame();
void Hook_RoundStart();
