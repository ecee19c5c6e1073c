// What every step of the move uses: console lines, physics keys, view
// vectors, traces and contents through the record's callbacks, the touched
// list, the velocity check and the gravity halves.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "pm_local.h"

namespace rixmove {

void printConsole(const char* fmt, int value) {
    if (pmove->Con_Printf) pmove->Con_Printf(const_cast<char*>(fmt), value);
}

void printDebug(const char* fmt, int value) {
    if (pmove->Con_DPrintf) pmove->Con_DPrintf(const_cast<char*>(fmt), value);
}

void printDebug2(const char* fmt, int a, int b) {
    if (pmove->Con_DPrintf) pmove->Con_DPrintf(const_cast<char*>(fmt), a, b);
}

bool isNotANumber(float f) {
    unsigned int bits;
    memcpy(&bits, &f, sizeof(bits));
    return (bits & 0x7f800000u) == 0x7f800000u;
}

const char* physicsKey(const char* key) {
    if (!pmove->PM_Info_ValueForKey) return "";
    const char* value = pmove->PM_Info_ValueForKey(pmove->physinfo, key);
    return value ? value : "";
}

bool physicsKeyIsOne(const char* key) { return atoi(physicsKey(key)) == 1; }

void angleVectors(const vec3_t& angles, vec3_t* forward, vec3_t* right, vec3_t* up) {
    const float toRad = 3.14159265358979323846f / 180.0f;
    float sy = sinf(angles.y * toRad), cy = cosf(angles.y * toRad);
    float sp = sinf(angles.x * toRad), cp = cosf(angles.x * toRad);
    float sr = sinf(angles.z * toRad), cr = cosf(angles.z * toRad);
    if (forward) *forward = vec3_t(cp * cy, cp * sy, -sp);
    if (right) {
        *right = vec3_t(-sr * sp * cy + cr * sy, -sr * sp * sy - cr * cy, -sr * cp);
    }
    if (up) *up = vec3_t(cr * sp * cy + sr * sy, cr * sp * sy - sr * cy, cr * cp);
}

pmtrace_t playerTrace(vec3_t start, vec3_t end) {
    return pmove->PM_PlayerTrace(start, end, PM_NORMAL, -1);
}

int testPosition(vec3_t pos, pmtrace_t* trace) {
    pmtrace_t local;
    return pmove->PM_TestPlayerPosition(pos, trace ? trace : &local);
}

int pointContents(vec3_t p, int* truecontents) {
    return pmove->PM_PointContents(p, truecontents);
}

bool isLiquid(int contents) { return contents < CONTENTS_SOLID && contents > -15; }

float gravityFactor() { return pmove->gravity != 0.0f ? pmove->gravity : 1.0f; }

int playerSlot() {
    int i = pmove->player_index;
    return (i >= 0 && i < kMaxStuckPlayers) ? i : 0;
}

// ---------------------------------------------------------- touch, checks

void addToTouched(pmtrace_t trace, const vec3_t& impactVelocity) {
    for (int i = 0; i < pmove->numtouch; ++i) {
        if (pmove->touchindex[i].ent == trace.ent) return;
    }
    if (pmove->numtouch >= MAX_PHYSENTS) return;
    trace.deltavelocity = impactVelocity;
    pmove->touchindex[pmove->numtouch++] = trace;
}

void checkVelocity() {
    float maxvel = pmove->movevars->maxvelocity;
    for (int i = 0; i < 3; ++i) {
        if (isNotANumber(pmove->velocity[i])) {
            printConsole("PM  Got a NaN velocity %i\n", i);
            pmove->velocity[i] = 0;
        }
        if (isNotANumber(pmove->origin[i])) {
            printConsole("PM  Got a NaN origin on %i\n", i);
            pmove->origin[i] = 0;
        }
        if (pmove->velocity[i] > maxvel) {
            printDebug("PM  Got a velocity too high on %i\n", i);
            pmove->velocity[i] = maxvel;
        } else if (pmove->velocity[i] < -maxvel) {
            printDebug("PM  Got a velocity too low on %i\n", i);
            pmove->velocity[i] = -maxvel;
        }
    }
}

// ---------------------------------------------------------------- gravity

void addCorrectGravity() {
    if (pmove->waterjumptime != 0) return;
    pmove->velocity.z -= gravityFactor() * pmove->movevars->gravity * 0.5f * pmove->frametime;
    pmove->velocity.z += pmove->basevelocity.z * pmove->frametime;
    pmove->basevelocity.z = 0;
    checkVelocity();
}

void fixupGravity() {
    if (pmove->waterjumptime != 0) return;
    pmove->velocity.z -= gravityFactor() * pmove->movevars->gravity * 0.5f * pmove->frametime;
    checkVelocity();
}

void addGravity() {
    pmove->velocity.z -= gravityFactor() * pmove->movevars->gravity * pmove->frametime;
    pmove->velocity.z += pmove->basevelocity.z * pmove->frametime;
    pmove->basevelocity.z = 0;
    checkVelocity();
}

}  // namespace rixmove
