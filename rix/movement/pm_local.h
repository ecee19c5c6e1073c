// Shared state and steps of the plugin's player movement. Each step lives in
// the file named after its part of the move:
//   movement.cpp      the move driver, parameters, categorising the position
//   common.cpp        traces, contents, touches, velocity checks, gravity
//   walk.cpp          the walking step, friction, acceleration, air, jump, falls
//   slide.cpp         the slide (fly) move with clipping, the stepping walk move
//   duck.cpp          ducking and standing up
//   ladder_water.cpp  ladders, water levels, swimming and water jumps
//   stuck.cpp         the stuck check and its table of nudges
//   other_moves.cpp   spectators, noclip and tossed bodies
//   sounds.cpp        footsteps and materials
#pragma once

#include "hl/hl.h"

namespace rixmove {

// The record of the move in progress (set at each init and each move).
extern playermove_t* pmove;
// Whether the player touches a ladder in this move.
extern bool onLadder;
// Which side runs the move: the server (true) or the client's prediction.
extern bool isServer;

// ---------------------------------------------------------------- common

constexpr int kMaxStuckPlayers = 32;

void printConsole(const char* fmt, int value);
void printDebug(const char* fmt, int value);
void printDebug2(const char* fmt, int a, int b);
bool isNotANumber(float f);
// Value of a physics key of the player ("" when missing).
const char* physicsKey(const char* key);
bool physicsKeyIsOne(const char* key);
void angleVectors(const vec3_t& angles, vec3_t* forward, vec3_t* right, vec3_t* up);
pmtrace_t playerTrace(vec3_t start, vec3_t end);
// Entity blocking the current hull at pos, -1 when it is free.
int testPosition(vec3_t pos, pmtrace_t* trace);
int pointContents(vec3_t p, int* truecontents);
bool isLiquid(int contents);
inline const vec3_t& hullMins() { return pmove->player_mins[pmove->usehull & 3]; }
inline const vec3_t& hullMaxs() { return pmove->player_maxs[pmove->usehull & 3]; }
inline bool onGround() { return pmove->onground != -1; }
float gravityFactor();
// Per-player slot of the moving player (0..31) and the side's index.
int playerSlot();
inline int sideIndex() { return isServer ? 1 : 0; }
void addToTouched(pmtrace_t trace, const vec3_t& impactVelocity);
void checkVelocity();
// Gravity halves around the walking step and the whole step of a toss.
void addCorrectGravity();
void fixupGravity();
void addGravity();

// -------------------------------------------------------------- the move

void categorizePosition();
// Whether the player's slow jump is still rising out of the floor's reach.
bool& rising();

// --------------------------------------------------------------- walking

void walkingStep();
void jump();

// ----------------------------------------------------------------- slide

// Reflects or slides `in` along the plane; tiny components become 0.
vec3_t clipVelocity(const vec3_t& in, const vec3_t& normal, float overbounce);
// Slides through the world for the rest of the frame; returns the blocked
// bits (1 floor, 2 wall step, 4 all solid).
int flyMove();
void walkMove();

// ------------------------------------------------------------------ duck

void duck();

// --------------------------------------------------------- ladder, water

physent_t* findLadder();
void ladderMove(physent_t* ladder);
// Sets the water level and type; true when the level is above 1.
bool checkWater();
void waterMove();
void checkWaterJump();
void waterJump();

// ----------------------------------------------------------------- stuck

void buildStuckTable();
void resetStuckState();
// True when the player cannot move this command.
bool checkStuck();

// ----------------------------------------------------------- other moves

void spectatorMove();
void noClip();
void physicsToss();

// ---------------------------------------------------------------- sounds

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
