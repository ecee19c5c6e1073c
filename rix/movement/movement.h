// The plugin's own player movement, run in place of the game's when a jump
// setting departs from its default. Sounds and materials live in sounds.cpp.
#pragma once

#include "hl/hl.h"

// Keeps the record, builds the stuck-offset table and loads the material
// table (once per process). The game's own set-up still runs.
void PM_Init(playermove_t* pm);

// True when the plugin's movement must replace the game's: long jump on,
// bunny jump on, or a jump ability below 1.
bool Move_IsNeeded(float longjump, float bunnyjump, float jumpability);

// One whole player move: keeps the record, runs the move with the server flag
// (server != 0), keeps FL_ONGROUND in step with onground and, in single
// player, sets walking players' friction back to 1.
void PM_Move(playermove_t* pm, int server);
