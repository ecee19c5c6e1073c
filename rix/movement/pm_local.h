// Shared state of the plugin's player movement and its sounds.
#pragma once

#include "hl/hl.h"

namespace rixmove {

// The record of the move in progress (set at each init and each move).
extern playermove_t* pmove;
// Whether the player touches a ladder in this move.
extern bool onLadder;

// Step kinds of the footstep samples.
enum StepKind {
    STEP_CONCRETE = 0,
    STEP_METAL = 1,
    STEP_DIRT = 2,
    STEP_VENT = 3,
    STEP_GRATE = 4,
    STEP_TILE = 5,
    STEP_SLOSH = 6,
    STEP_WADE = 7,
    STEP_LADDER = 8,
};

// Material table from "sound/materials.txt": loaded once per process.
constexpr int kMaxMaterials = 512;
constexpr int kMaterialNameMax = 12;
void LoadMaterials();
bool MaterialsLoaded();
int MaterialCount();
// Type letter of a texture name ('C' when it is not in the table).
char FindTextureType(const char* name);
int StepKindForType(char type);

// Sounds of the move; each one is played only when the record's runfuncs says so.
void PlaySound(int channel, const char* sample, float volume);
void UpdateStepSound();
void PlayStepSound(int kind, float volume);
void PlayWaterSounds();

}  // namespace rixmove
