// Combat and player tweaks: spawn set-up, connect announcement, no
// headshots, damage push, flash time, blank status text, weapon slots,
// tracers and the smoke check.
#pragma once

#include "watch.h"

// At the game's physics key "hl" of a spawning player: hands the jump
// settings to the movement ("slj", "bj", "ja") and sets the start health.
void SpawnSetup(const edict_t* player);
// At a client's connect: the host player, the player's record, the announcement.
void ClientConnected(edict_t* player, const char* name, const char* address);
void ClientDisconnected(edict_t* player);
// After the engine's trace: the head hit group becomes generic when asked.
void NoHeadshot(TraceResult* trace);
// Once a second per living player in Counter-Strike: health taken in smoke
// and given back outside it.
void SmokeCheck(edict_t* player);
// "SayText" from a valid client to all players.
void SayTextToAll(edict_t* sender, const char* text);

bool Msg_CurWeapon(int index, MessageArg* arg);
bool Msg_Damage(int index, MessageArg* arg);
bool Msg_ScreenFade(int index, MessageArg* arg);
bool Msg_StatusText(int index, MessageArg* arg);
bool Msg_WeaponList(int index, MessageArg* arg);
