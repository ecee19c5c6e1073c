// The plugin's player movement: the classic engine movement model on the
// engine's playermove_t, with the plugin's jump rules (long jump for
// everybody, no speed cap on repeated jumps, a jump-height factor).
#include "movement.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "pm_local.h"

namespace rixmove {

playermove_t* pmove = nullptr;
bool onLadder = false;

namespace {

constexpr int kStuckSlots = 54;
constexpr int kMaxStuckPlayers = 32;
constexpr float kStuckCheckInterval = 0.05f;
constexpr float kStandingView = 18.0f;
constexpr float kDuckedView = 12.0f;
constexpr float kDeadView = -8.0f;
constexpr float kTimeToDuck = 0.4f;
constexpr float kLadderSpeed = 200.0f;
constexpr float kLadderJumpSpeed = 270.0f;
constexpr float kFallPunchThreshold = 350.0f;
constexpr float kFallPainThreshold = 580.0f;
constexpr float kPlayerJumpSpeed = 268.328157f;  // sqrt(2 * 800 * 45)
constexpr float kLongJumpSpeed = 299.332591f;    // sqrt(2 * 800 * 56)
constexpr float kLongJumpForward = 350.0f * 1.6f;
constexpr int kModBrush = 0;  // PM_GetModelType of a brush model

vec3_t stuckTable[kStuckSlots];
int stuckLast[kMaxStuckPlayers][2];
float stuckCheckTime[kMaxStuckPlayers][2];
// A jump launched slower than the ground-snap speed must not be pulled back
// to the floor by the next ground check: set per player and side while the
// jump rises.
bool jumpRising[kMaxStuckPlayers][2];
bool initialised = false;
bool isServer = false;

// The engine's hull record begins with these fields; the ladder test needs
// the first clip node to ask the hull for its contents.
struct HullHead {
    void* clipnodes;
    void* planes;
    int firstclipnode;
    int lastclipnode;
};

constexpr vec3_t kCurrentDirections[6] = {
    vec3_t(1, 0, 0), vec3_t(0, 1, 0), vec3_t(-1, 0, 0),
    vec3_t(0, -1, 0), vec3_t(0, 0, 1), vec3_t(0, 0, -1),
};

// ---------------------------------------------------------------- helpers

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

const vec3_t& hullMins() { return pmove->player_mins[pmove->usehull & 3]; }
const vec3_t& hullMaxs() { return pmove->player_maxs[pmove->usehull & 3]; }

bool onGround() { return pmove->onground != -1; }

float gravityFactor() { return pmove->gravity != 0.0f ? pmove->gravity : 1.0f; }

// ------------------------------------------------------------- stuck table

void buildStuckTable() {
    memset(stuckTable, 0, sizeof(stuckTable));
    int n = 0;
    const float small[3] = {-0.125f, 0.0f, 0.125f};
    for (int axis = 2; axis >= 0; --axis) {
        for (float s : small) {
            vec3_t v(0, 0, 0);
            v[axis] = s;
            stuckTable[n++] = v;
        }
    }
    const float corner[2] = {-0.125f, 0.125f};
    for (float x : corner)
        for (float y : corner)
            for (float z : corner) stuckTable[n++] = vec3_t(x, y, z);
    const float zs[3] = {0.0f, 1.0f, 6.0f};
    const float big[3] = {-2.0f, 0.0f, 2.0f};
    for (float z : zs) stuckTable[n++] = vec3_t(0, 0, z);
    for (float y : big) stuckTable[n++] = vec3_t(0, y, 0);
    for (float x : big) stuckTable[n++] = vec3_t(x, 0, 0);
    for (float z : zs)
        for (float x : big)
            for (float y : big) stuckTable[n++] = vec3_t(x, y, z);
}

int stuckSlot() {
    int i = pmove->player_index;
    return (i >= 0 && i < kMaxStuckPlayers) ? i : 0;
}

int nextStuckOffset(vec3_t* offset) {
    int& last = stuckLast[stuckSlot()][isServer ? 1 : 0];
    int index = last % kStuckSlots;
    last = (index + 1) % kStuckSlots;
    *offset = stuckTable[index];
    return index;
}

void resetStuckOffsets() { stuckLast[stuckSlot()][isServer ? 1 : 0] = 0; }

bool& rising() { return jumpRising[stuckSlot()][isServer ? 1 : 0]; }

bool isPlayerEntity(int hitent) {
    return hitent >= 0 && hitent < pmove->numphysent && pmove->physents[hitent].player != 0;
}

// True when the player cannot move this command.
bool checkStuck() {
    pmtrace_t traceresult;
    int hitent = testPosition(pmove->origin, &traceresult);
    if (hitent == -1) {
        resetStuckOffsets();
        return false;
    }

    vec3_t base = pmove->origin;
    vec3_t offset;

    if (!isServer) {
        bool worldOrModel = hitent == 0 || (hitent > 0 && hitent < pmove->numphysent &&
                                            pmove->physents[hitent].model != nullptr);
        if (worldOrModel) {
            for (int reps = 0; reps < kStuckSlots; ++reps) {
                nextStuckOffset(&offset);
                vec3_t test = base + offset;
                if (testPosition(test, nullptr) == -1) {
                    resetStuckOffsets();
                    pmove->origin = test;
                    return false;
                }
            }
        }
    }

    int side = isServer ? 1 : 0;
    float now = pmove->Sys_FloatTime ? static_cast<float>(pmove->Sys_FloatTime()) : 0.0f;
    float& lastCheck = stuckCheckTime[stuckSlot()][side];
    if (lastCheck >= now - kStuckCheckInterval) return true;
    lastCheck = now;

    if (pmove->PM_StuckTouch) pmove->PM_StuckTouch(hitent, &traceresult);

    int used = nextStuckOffset(&offset);
    vec3_t test = base + offset;
    hitent = testPosition(test, nullptr);
    if (hitent == -1) {
        resetStuckOffsets();
        if (used >= 27) pmove->origin = test;
        return false;
    }

    if ((pmove->cmd.buttons & (IN_JUMP | IN_DUCK | IN_ATTACK)) && isPlayerEntity(hitent)) {
        for (float z = 0; z <= 72.0f; z += 18.0f) {
            for (float x = -8.0f; x <= 8.0f; x += 8.0f) {
                for (float y = -8.0f; y <= 8.0f; y += 8.0f) {
                    test = base + vec3_t(x, y, z);
                    if (testPosition(test, nullptr) == -1) {
                        pmove->origin = test;
                        return false;
                    }
                }
            }
        }
    }
    return true;
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

// Reflects or slides `in` along the plane; tiny components become 0.
vec3_t clipVelocity(const vec3_t& in, const vec3_t& normal, float overbounce) {
    float backoff = in.dot(normal) * overbounce;
    vec3_t out = in - normal * backoff;
    for (int i = 0; i < 3; ++i) {
        if (out[i] > -0.1f && out[i] < 0.1f) out[i] = 0;
    }
    return out;
}

bool checkWater() {
    const vec3_t& mins = hullMins();
    const vec3_t& maxs = hullMaxs();
    vec3_t point(pmove->origin.x + (mins.x + maxs.x) * 0.5f,
                 pmove->origin.y + (mins.y + maxs.y) * 0.5f, pmove->origin.z + mins.z + 1.0f);

    pmove->waterlevel = 0;
    pmove->watertype = CONTENTS_EMPTY;

    int truecont = CONTENTS_EMPTY;
    int cont = pointContents(point, &truecont);
    if (isLiquid(cont)) {
        pmove->watertype = cont;
        pmove->waterlevel = 1;
        point.z = pmove->origin.z + (mins.z + maxs.z) * 0.5f;
        if (isLiquid(pointContents(point, nullptr))) {
            pmove->waterlevel = 2;
            point.z = pmove->origin.z + pmove->view_ofs.z;
            if (isLiquid(pointContents(point, nullptr))) pmove->waterlevel = 3;
        }
        if (truecont <= -9 && truecont >= -14) {
            pmove->basevelocity += kCurrentDirections[-9 - truecont] *
                                   (50.0f * static_cast<float>(pmove->waterlevel));
        }
    }
    return pmove->waterlevel > 1;
}

void categorizePosition() {
    checkWater();

    if (rising() && pmove->velocity.z <= 0) rising() = false;
    if (pmove->velocity.z > 180.0f || rising()) {
        pmove->onground = -1;
        return;
    }
    vec3_t point = pmove->origin;
    point.z -= 2.0f;
    pmtrace_t tr = playerTrace(pmove->origin, point);
    pmove->onground = tr.plane.normal.z < 0.7f ? -1 : tr.ent;
    if (onGround()) {
        pmove->waterjumptime = 0;
        if (pmove->waterlevel < 2 && !tr.startsolid && !tr.allsolid) pmove->origin = tr.endpos;
    }
    if (tr.ent > 0) addToTouched(tr, pmove->velocity);
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

// ------------------------------------------------------------ parameters

float calcRoll(const vec3_t& angles, const vec3_t& velocity, float rollangle, float rollspeed) {
    vec3_t right;
    angleVectors(angles, nullptr, &right, nullptr);
    float side = velocity.dot(right);
    if (isNotANumber(side)) return 0;  // a bad velocity is repaired later in the move
    float sign = side < 0 ? -1.0f : 1.0f;
    side = fabsf(side);
    side = side < rollspeed ? side * rollangle / rollspeed : rollangle;
    return side * sign;
}

void dropPunchAngle() {
    float len = pmove->punchangle.length();
    vec3_t dir = pmove->punchangle.normalized();
    len -= (10.0f + len * 0.5f) * pmove->frametime;
    if (len < 0) len = 0;
    pmove->punchangle = dir * len;
}

void checkParameters() {
    if (pmove->clientmaxspeed != 0.0f && pmove->clientmaxspeed < pmove->maxspeed) {
        pmove->maxspeed = pmove->clientmaxspeed;
    }

    usercmd_t& cmd = pmove->cmd;
    float spd = sqrtf(cmd.forwardmove * cmd.forwardmove + cmd.sidemove * cmd.sidemove +
                      cmd.upmove * cmd.upmove);
    if (spd != 0.0f && spd > pmove->maxspeed) {
        float ratio = pmove->maxspeed / spd;
        cmd.forwardmove *= ratio;
        cmd.sidemove *= ratio;
        cmd.upmove *= ratio;
    }

    if ((pmove->flags & (FL_FROZEN | FL_ONTRAIN)) || pmove->dead) {
        cmd.forwardmove = 0;
        cmd.sidemove = 0;
        cmd.upmove = 0;
    }

    dropPunchAngle();

    if (!pmove->dead) {
        vec3_t view = cmd.viewangles + pmove->punchangle;
        float roll = calcRoll(view, pmove->velocity, pmove->movevars->rollangle,
                              pmove->movevars->rollspeed) * 4.0f;
        pmove->angles = vec3_t(view.x, view.y, roll);
    } else {
        pmove->angles = pmove->oldangles;
    }

    if (pmove->dead) pmove->view_ofs.z = kDeadView;
    if (pmove->angles.y > 180.0f) pmove->angles.y -= 360.0f;
}

void reduceTimers() {
    int msec = pmove->cmd.msec;
    pmove->flTimeStepSound -= msec;
    if (pmove->flTimeStepSound < 0) pmove->flTimeStepSound = 0;
    pmove->flDuckTime -= msec;
    if (pmove->flDuckTime < 0) pmove->flDuckTime = 0;
    pmove->flSwimTime -= msec;
    if (pmove->flSwimTime < 0) pmove->flSwimTime = 0;
}

// ----------------------------------------------------------- acceleration

void accelerate(const vec3_t& wishdir, float wishspeed, float accel) {
    if (pmove->dead || pmove->waterjumptime != 0) return;
    float addspeed = wishspeed - pmove->velocity.dot(wishdir);
    if (addspeed <= 0) return;
    float accelspeed = accel * pmove->frametime * wishspeed * pmove->friction;
    if (accelspeed > addspeed) accelspeed = addspeed;
    pmove->velocity += wishdir * accelspeed;
}

void airAccelerate(const vec3_t& wishdir, float wishspeed, float accel) {
    if (pmove->dead || pmove->waterjumptime != 0) return;
    float wishspd = wishspeed > 30.0f ? 30.0f : wishspeed;
    float addspeed = wishspd - pmove->velocity.dot(wishdir);
    if (addspeed <= 0) return;
    float accelspeed = accel * wishspeed * pmove->frametime * pmove->friction;
    if (accelspeed > addspeed) accelspeed = addspeed;
    pmove->velocity += wishdir * accelspeed;
}

void friction() {
    if (pmove->waterjumptime != 0) return;
    float speed = pmove->velocity.length();
    if (speed < 0.1f) return;

    float drop = 0;
    if (onGround()) {
        vec3_t start(pmove->origin.x + pmove->velocity.x / speed * 16.0f,
                     pmove->origin.y + pmove->velocity.y / speed * 16.0f,
                     pmove->origin.z + hullMins().z);
        vec3_t stop = start;
        stop.z -= 34.0f;
        pmtrace_t trace = playerTrace(start, stop);
        float f = pmove->movevars->friction;
        if (trace.fraction == 1.0f) f *= pmove->movevars->edgefriction;
        f *= pmove->friction;
        float control = speed < pmove->movevars->stopspeed ? pmove->movevars->stopspeed : speed;
        drop += control * f * pmove->frametime;
    }
    float newspeed = speed - drop;
    if (newspeed < 0) newspeed = 0;
    pmove->velocity *= newspeed / speed;
}

// ------------------------------------------------------------------ moves

int flyMove() {
    constexpr int kBumps = 4;
    vec3_t planes[MAX_CLIP_PLANES];
    int numplanes = 0;
    int blocked = 0;
    vec3_t primal = pmove->velocity;
    vec3_t original = pmove->velocity;
    float timeLeft = pmove->frametime;

    for (int bump = 0; bump < kBumps; ++bump) {
        if (pmove->velocity.isZero()) break;

        vec3_t end = pmove->origin + pmove->velocity * timeLeft;
        pmtrace_t trace = playerTrace(pmove->origin, end);

        if (trace.allsolid) {
            pmove->velocity = vec3_t(0, 0, 0);
            return 4;
        }
        if (trace.fraction > 0) {
            pmove->origin = trace.endpos;
            original = pmove->velocity;
            numplanes = 0;
        }
        if (trace.fraction == 1.0f) break;

        addToTouched(trace, pmove->velocity);
        if (trace.plane.normal.z > 0.7f) blocked |= 1;
        if (trace.plane.normal.z == 0.0f) blocked |= 2;

        timeLeft -= timeLeft * trace.fraction;

        if (numplanes >= MAX_CLIP_PLANES) {
            pmove->velocity = vec3_t(0, 0, 0);
            break;
        }
        planes[numplanes++] = trace.plane.normal;

        if (pmove->movetype == MOVETYPE_WALK && (!onGround() || pmove->friction != 1.0f)) {
            vec3_t v = original;
            for (int i = 0; i < numplanes; ++i) {
                float overbounce = planes[i].z > 0.7f
                                       ? 1.0f
                                       : 1.0f + pmove->movevars->bounce * (1.0f - pmove->friction);
                v = clipVelocity(v, planes[i], overbounce);
            }
            pmove->velocity = v;
            original = v;
        } else {
            int i;
            for (i = 0; i < numplanes; ++i) {
                pmove->velocity = clipVelocity(original, planes[i], 1.0f);
                int j;
                for (j = 0; j < numplanes; ++j) {
                    if (j != i && pmove->velocity.dot(planes[j]) < 0) break;
                }
                if (j == numplanes) break;
            }
            if (i == numplanes) {
                if (numplanes != 2) {
                    pmove->velocity = vec3_t(0, 0, 0);
                    break;
                }
                // Slide along the crease of the two planes.
                vec3_t dir = planes[0].cross(planes[1]).normalized();
                pmove->velocity = dir * dir.dot(pmove->velocity);
            }
        }

        if (pmove->velocity.dot(primal) <= 0) {
            pmove->velocity = vec3_t(0, 0, 0);
            break;
        }
    }
    return blocked;
}

void flatWish(vec3_t* wishdir, float* wishspeed) {
    vec3_t forward = pmove->forward.flattened().normalized();
    vec3_t right = pmove->right.flattened().normalized();
    vec3_t wishvel = forward * pmove->cmd.forwardmove + right * pmove->cmd.sidemove;
    wishvel.z = 0;
    *wishdir = wishvel.normalized();
    *wishspeed = wishvel.length();
    if (*wishspeed > pmove->maxspeed) *wishspeed = pmove->maxspeed;
}

void walkMove() {
    vec3_t wishdir;
    float wishspeed;
    flatWish(&wishdir, &wishspeed);

    pmove->velocity.z = 0;
    accelerate(wishdir, wishspeed, pmove->movevars->accelerate);
    pmove->velocity.z = 0;
    pmove->velocity += pmove->basevelocity;

    if (pmove->velocity.length() < 1.0f) {
        pmove->velocity = vec3_t(0, 0, 0);
        return;
    }

    int oldonground = pmove->onground;
    vec3_t dest(pmove->origin.x + pmove->velocity.x * pmove->frametime,
                pmove->origin.y + pmove->velocity.y * pmove->frametime, pmove->origin.z);
    pmtrace_t trace = playerTrace(pmove->origin, dest);
    if (trace.fraction == 1.0f) {
        pmove->origin = trace.endpos;
        return;
    }
    if (oldonground == -1 && pmove->waterlevel == 0) return;
    if (pmove->waterjumptime != 0) return;

    vec3_t original = pmove->origin;
    vec3_t originalVel = pmove->velocity;

    // (a) slide from the start.
    flyMove();
    vec3_t down = pmove->origin;
    vec3_t downVel = pmove->velocity;

    // (b) step up, slide, step down.
    pmove->origin = original;
    pmove->velocity = originalVel;
    dest = pmove->origin;
    dest.z += pmove->movevars->stepsize;
    trace = playerTrace(pmove->origin, dest);
    if (!trace.startsolid && !trace.allsolid) pmove->origin = trace.endpos;
    flyMove();
    dest = pmove->origin;
    dest.z -= pmove->movevars->stepsize;
    trace = playerTrace(pmove->origin, dest);

    bool useDown = trace.plane.normal.z < 0.7f;
    if (!useDown) {
        if (!trace.startsolid && !trace.allsolid) pmove->origin = trace.endpos;
        vec3_t up = pmove->origin;
        float downdist = (down - original).length2DSquared();
        float updist = (up - original).length2DSquared();
        useDown = downdist > updist;
    }
    if (useDown) {
        pmove->origin = down;
        pmove->velocity = downVel;
    } else {
        pmove->velocity.z = downVel.z;
    }
}

void airMove() {
    vec3_t wishdir;
    float wishspeed;
    flatWish(&wishdir, &wishspeed);
    airAccelerate(wishdir, wishspeed, pmove->movevars->airaccelerate);
    pmove->velocity += pmove->basevelocity;
    flyMove();
}

void waterMove() {
    usercmd_t& cmd = pmove->cmd;
    vec3_t wishvel = pmove->forward * cmd.forwardmove + pmove->right * cmd.sidemove;
    if (cmd.forwardmove == 0 && cmd.sidemove == 0 && cmd.upmove == 0) {
        wishvel.z -= 60.0f;
    } else {
        wishvel.z += cmd.upmove;
    }
    vec3_t wishdir = wishvel.normalized();
    float wishspeed = wishvel.length();
    if (wishspeed > pmove->maxspeed) wishspeed = pmove->maxspeed;
    wishspeed *= 0.8f;

    pmove->velocity += pmove->basevelocity;

    float speed = pmove->velocity.length();
    float newspeed = 0;
    if (speed != 0.0f) {
        newspeed = speed - pmove->frametime * speed * pmove->movevars->friction * pmove->friction;
        if (newspeed < 0) newspeed = 0;
        pmove->velocity *= newspeed / speed;
    }

    if (wishspeed < 0.1f) return;

    float addspeed = wishspeed - newspeed;
    if (addspeed > 0) {
        float accelspeed =
            pmove->movevars->accelerate * wishspeed * pmove->frametime * pmove->friction;
        if (accelspeed > addspeed) accelspeed = addspeed;
        pmove->velocity += wishdir * accelspeed;
    }

    vec3_t dest = pmove->origin + pmove->velocity * pmove->frametime;
    vec3_t start = dest;
    start.z += pmove->movevars->stepsize + 1.0f;
    pmtrace_t trace = playerTrace(start, dest);
    if (!trace.startsolid && !trace.allsolid) {
        pmove->origin = trace.endpos;
        return;
    }
    flyMove();
}

void checkWaterJump() {
    if (pmove->waterjumptime != 0) return;
    if (pmove->velocity.z < -180.0f) return;

    vec3_t flatvel = pmove->velocity.flattened();
    float curspeed = flatvel.length();
    flatvel = flatvel.normalized();
    vec3_t flatforward = pmove->forward.flattened().normalized();
    if (curspeed != 0.0f && flatvel.dot(flatforward) < 0) return;

    vec3_t start = pmove->origin;
    start.z += 8.0f;
    vec3_t end = start + flatforward * 24.0f;

    int savehull = pmove->usehull;
    pmove->usehull = 2;
    pmtrace_t tr = playerTrace(start, end);
    if (tr.fraction < 1.0f && fabsf(tr.plane.normal.z) < 0.1f) {
        start.z += pmove->player_maxs[savehull & 3].z - 8.0f;
        end = start + flatforward * 24.0f;
        pmove->movedir = tr.plane.normal * -50.0f;
        tr = playerTrace(start, end);
        if (tr.fraction == 1.0f) {
            pmove->waterjumptime = 2000;
            pmove->velocity.z = 225;
            pmove->oldbuttons |= IN_JUMP;
            pmove->flags |= FL_WATERJUMP;
        }
    }
    pmove->usehull = savehull;
}

void waterJump() {
    if (pmove->waterjumptime > 10000) pmove->waterjumptime = 10000;
    if (pmove->waterjumptime == 0) return;
    pmove->waterjumptime -= pmove->cmd.msec;
    if (pmove->waterjumptime < 0 || pmove->waterlevel == 0) {
        pmove->waterjumptime = 0;
        pmove->flags &= ~FL_WATERJUMP;
    }
    pmove->velocity.x = pmove->movedir.x;
    pmove->velocity.y = pmove->movedir.y;
}

// ------------------------------------------------------------------- jump

void jump() {
    if (pmove->dead) {
        pmove->oldbuttons |= IN_JUMP;
        return;
    }
    bool tfc = physicsKeyIsOne("tfc");
    if (tfc && pmove->deadflag == 5) return;

    if (pmove->waterjumptime != 0) {
        pmove->waterjumptime -= pmove->cmd.msec;
        if (pmove->waterjumptime < 0) pmove->waterjumptime = 0;
        return;
    }

    if (pmove->waterlevel >= 2) {
        pmove->onground = -1;
        if (pmove->watertype == CONTENTS_WATER) pmove->velocity.z = 100;
        else if (pmove->watertype == CONTENTS_SLIME) pmove->velocity.z = 80;
        else pmove->velocity.z = 50;
        if (pmove->flSwimTime <= 0) {
            pmove->flSwimTime = 1000;
            static const char* const wade[4] = {"player/pl_wade1.wav", "player/pl_wade2.wav",
                                                "player/pl_wade3.wav", "player/pl_wade4.wav"};
            int r = static_cast<int>(pmove->RandomLong(0, 3));
            PlaySound(CHAN_BODY, wade[(r >= 0 && r <= 3) ? r : 0], 1.0f);
        }
        return;
    }

    if (!onGround()) {
        pmove->oldbuttons |= IN_JUMP;
        return;
    }
    if (pmove->oldbuttons & IN_JUMP) return;

    pmove->onground = -1;

    bool bunnyjump = physicsKeyIsOne("bj");
    // Players not yet through a spawn set-up carry no factor; they jump normally.
    const char* jaText = physicsKey("ja");
    float ja = jaText[0] ? static_cast<float>(atof(jaText)) : 1.0f;

    if (!bunnyjump) {
        float limit = 1.7f * pmove->maxspeed;
        if (limit > 0.0f) {
            float speed = pmove->velocity.length();
            if (speed > limit) pmove->velocity *= (limit / speed) * 0.65f;
        }
    }

    if (tfc) {
        PlaySound(CHAN_BODY, "player/plyrjmp8.wav", 0.5f);
    } else {
        PlayStepSound(StepKindForType(pmove->chtexturetype), 1.0f);
    }

    bool longjump = physicsKeyIsOne("slj");
    bool ducking = pmove->bInDuck || (pmove->flags & FL_DUCKING);
    if (ducking && longjump && (pmove->cmd.buttons & IN_DUCK) && pmove->flDuckTime > 0 &&
        pmove->velocity.length() > 50.0f) {
        pmove->punchangle.x = -5.0f;
        pmove->velocity.x = pmove->forward.x * kLongJumpForward;
        pmove->velocity.y = pmove->forward.y * kLongJumpForward;
        pmove->velocity.z = kLongJumpSpeed;
    } else {
        pmove->velocity.z = kPlayerJumpSpeed;
    }

    if (pmove->cmd.buttons & IN_ALT1) pmove->velocity.z *= ja;
    rising() = pmove->velocity.z > 0;

    fixupGravity();
    pmove->oldbuttons |= IN_JUMP;
}

// ------------------------------------------------------------------- duck

float splineFraction(float value, float scale) {
    value = scale * value;
    float sq = value * value;
    return 3.0f * sq - 2.0f * sq * value;
}

void fixPlayerCrouchStuck(int direction) {
    if (testPosition(pmove->origin, nullptr) == -1) return;
    vec3_t start = pmove->origin;
    for (int i = 0; i < 36; ++i) {
        pmove->origin.z += static_cast<float>(direction);
        if (testPosition(pmove->origin, nullptr) == -1) return;
    }
    pmove->origin = start;
}

void unDuck() {
    vec3_t newOrigin = pmove->origin;
    if (onGround()) newOrigin += pmove->player_mins[1] - pmove->player_mins[0];

    pmtrace_t trace = playerTrace(newOrigin, newOrigin);
    if (trace.startsolid) return;

    pmove->usehull = 0;
    trace = playerTrace(newOrigin, newOrigin);
    if (trace.startsolid) {
        pmove->usehull = 1;
        return;
    }
    pmove->flags &= ~FL_DUCKING;
    pmove->bInDuck = false;
    pmove->view_ofs.z = kStandingView;
    pmove->flDuckTime = 0;
    pmove->origin = newOrigin;
    categorizePosition();
}

void duck() {
    usercmd_t& cmd = pmove->cmd;
    int changed = pmove->oldbuttons ^ cmd.buttons;
    int pressed = changed & cmd.buttons;
    if (cmd.buttons & IN_DUCK) pmove->oldbuttons |= IN_DUCK;
    else pmove->oldbuttons &= ~IN_DUCK;

    if (pmove->iuser3 || pmove->dead) {
        if (pmove->flags & FL_DUCKING) unDuck();
        return;
    }

    if (pmove->flags & FL_DUCKING) {
        cmd.forwardmove *= 0.333f;
        cmd.sidemove *= 0.333f;
        cmd.upmove *= 0.333f;
    }

    if (!((cmd.buttons & IN_DUCK) || pmove->bInDuck || (pmove->flags & FL_DUCKING))) return;

    if (!(cmd.buttons & IN_DUCK)) {
        unDuck();
        return;
    }

    if ((pressed & IN_DUCK) && !(pmove->flags & FL_DUCKING)) {
        pmove->flDuckTime = 1000;
        pmove->bInDuck = true;
    }
    float t = 1.0f - pmove->flDuckTime / 1000.0f;
    if (t < 0) t = 0;

    if (!pmove->bInDuck) return;
    if (pmove->flDuckTime / 1000.0f <= 1.0f - kTimeToDuck || !onGround()) {
        pmove->usehull = 1;
        pmove->view_ofs.z = kDuckedView;
        pmove->flags |= FL_DUCKING;
        pmove->bInDuck = false;
        if (onGround()) {
            pmove->origin -= pmove->player_mins[1] - pmove->player_mins[0];
            fixPlayerCrouchStuck(1);
            categorizePosition();
        }
    } else {
        float f = splineFraction(t, 1.0f / kTimeToDuck);
        pmove->view_ofs.z = (kDuckedView - kStandingView) * f + kStandingView * (1.0f - f);
    }
}

// ----------------------------------------------------------------- ladder

physent_t* findLadder() {
    for (int i = 0; i < pmove->nummoveent && i < MAX_MOVEENTS; ++i) {
        physent_t* pe = &pmove->moveents[i];
        if (!pe->model || pmove->PM_GetModelType(pe->model) != kModBrush) continue;
        if (pe->skin != CONTENTS_LADDER) continue;
        vec3_t offset(0, 0, 0);
        HullHead* hull = static_cast<HullHead*>(pmove->PM_HullForBsp(pe, offset));
        if (!hull) continue;
        vec3_t test = pmove->origin - offset;
        if (pmove->PM_HullPointContents(reinterpret_cast<hull_s*>(hull), hull->firstclipnode,
                                        test) == CONTENTS_EMPTY) {
            continue;
        }
        return pe;
    }
    return nullptr;
}

void ladderMove(physent_t* ladder) {
    if (pmove->movetype == MOVETYPE_NOCLIP) return;

    vec3_t mins, maxs;
    pmove->PM_GetModelBounds(ladder->model, mins, maxs);
    vec3_t center = (mins + maxs) * 0.5f;

    pmove->movetype = MOVETYPE_FLY;

    vec3_t floor = pmove->origin;
    floor.z += hullMins().z - 1.0f;
    bool onFloor = pointContents(floor, nullptr) == CONTENTS_SOLID;

    pmove->gravity = 0;
    trace_t trace;
    memset(&trace, 0, sizeof(trace));
    trace.fraction = 1.0f;
    pmove->PM_TraceModel(ladder, pmove->origin, center, &trace);
    if (trace.fraction == 1.0f) return;

    int buttons = pmove->cmd.buttons;
    float forward = 0, right = 0;
    if (buttons & IN_BACK) forward -= kLadderSpeed;
    if (buttons & IN_FORWARD) forward += kLadderSpeed;
    if (buttons & IN_MOVELEFT) right -= kLadderSpeed;
    if (buttons & IN_MOVERIGHT) right += kLadderSpeed;

    if (buttons & IN_JUMP) {
        pmove->movetype = MOVETYPE_WALK;
        pmove->velocity = trace.plane.normal * kLadderJumpSpeed;
        return;
    }
    if (forward == 0 && right == 0) {
        pmove->velocity = vec3_t(0, 0, 0);
        return;
    }

    vec3_t vpn, vright;
    angleVectors(pmove->angles, &vpn, &vright, nullptr);
    vec3_t normal = trace.plane.normal;
    vec3_t wish = vpn * forward + vright * right;
    float n = wish.dot(normal);
    vec3_t lateral = wish - normal * n;
    vec3_t perp = vec3_t(0, 0, 1).cross(normal).normalized();
    pmove->velocity = lateral - normal.cross(perp) * n;
    if (onFloor && n > 0) pmove->velocity += normal * kLadderSpeed;
}

// ------------------------------------------------------------- toss, etc.

pmtrace_t pushEntity(const vec3_t& push) {
    vec3_t end = pmove->origin + push;
    pmtrace_t trace = playerTrace(pmove->origin, end);
    pmove->origin = trace.endpos;
    if (trace.fraction < 1.0f && !trace.startsolid && !trace.allsolid) {
        addToTouched(trace, pmove->velocity);
    }
    return trace;
}

void physicsToss() {
    checkWater();
    if (pmove->velocity.z > 0) pmove->onground = -1;
    if (onGround() && pmove->basevelocity.isZero() && pmove->velocity.isZero()) return;

    checkVelocity();
    int mt = pmove->movetype;
    if (mt != MOVETYPE_FLY && mt != MOVETYPE_FLYMISSILE && mt != MOVETYPE_BOUNCEMISSILE) {
        addGravity();
    }
    pmove->velocity += pmove->basevelocity;
    checkVelocity();
    vec3_t move = pmove->velocity * pmove->frametime;
    pmove->velocity -= pmove->basevelocity;

    pmtrace_t trace = pushEntity(move);
    checkVelocity();

    if (trace.allsolid) {
        pmove->onground = trace.ent;
        pmove->velocity = vec3_t(0, 0, 0);
        return;
    }

    if (trace.fraction < 1.0f) {
        float backoff = 1.0f;
        if (mt == MOVETYPE_BOUNCE) backoff = 2.0f - pmove->friction;
        else if (mt == MOVETYPE_BOUNCEMISSILE) backoff = 2.0f;
        pmove->velocity = clipVelocity(pmove->velocity, trace.plane.normal, backoff);

        if (trace.plane.normal.z > 0.7f) {
            if (pmove->velocity.z < pmove->movevars->gravity * pmove->frametime) {
                pmove->onground = trace.ent;
                pmove->velocity.z = 0;
            }
            float vel2 = pmove->velocity.lengthSquared();
            bool bounces = mt == MOVETYPE_BOUNCE || mt == MOVETYPE_BOUNCEMISSILE;
            if (vel2 < 900.0f || !bounces) {
                pmove->onground = trace.ent;
                pmove->velocity = vec3_t(0, 0, 0);
            } else {
                pushEntity(pmove->velocity * ((1.0f - trace.fraction) * pmove->frametime * 0.9f));
            }
        }
    }
    checkWater();
}

void noClip() {
    usercmd_t& cmd = pmove->cmd;
    vec3_t wishvel = pmove->forward * cmd.forwardmove + pmove->right * cmd.sidemove;
    wishvel.z += cmd.upmove;
    pmove->velocity = wishvel;
    pmove->origin += pmove->velocity * pmove->frametime;
    pmove->velocity = vec3_t(0, 0, 0);
}

void spectatorMove() {
    usercmd_t& cmd = pmove->cmd;
    if (pmove->iuser1 == OBS_ROAMING || pmove->iuser2 == 0) {
        float speed = pmove->velocity.length();
        if (speed < 1.0f) {
            pmove->velocity = vec3_t(0, 0, 0);
        } else {
            float control = speed < pmove->movevars->stopspeed ? pmove->movevars->stopspeed : speed;
            float drop = control * pmove->frametime * pmove->movevars->friction * 1.5f;
            float newspeed = speed - drop;
            if (newspeed < 0) newspeed = 0;
            pmove->velocity *= newspeed / speed;
        }

        vec3_t forward = pmove->forward.normalized();
        vec3_t right = pmove->right.normalized();
        vec3_t wishvel = forward * cmd.forwardmove + right * cmd.sidemove;
        wishvel.z += cmd.upmove;
        vec3_t wishdir = wishvel.normalized();
        float wishspeed = wishvel.length();
        if (wishspeed > pmove->movevars->spectatormaxspeed) {
            wishspeed = pmove->movevars->spectatormaxspeed;
        }

        float addspeed = wishspeed - pmove->velocity.dot(wishdir);
        if (addspeed <= 0) return;
        float accelspeed = pmove->movevars->accelerate * pmove->frametime * wishspeed;
        if (accelspeed > addspeed) accelspeed = addspeed;
        pmove->velocity += wishdir * accelspeed;
        pmove->origin += pmove->velocity * pmove->frametime;
        return;
    }

    int target = -1;
    for (int i = 0; i < pmove->numphysent && i < MAX_PHYSENTS; ++i) {
        if (pmove->physents[i].info == pmove->iuser2) {
            target = i;
            break;
        }
    }
    if (target < 0) return;

    const physent_t& pe = pmove->physents[target];
    vec3_t view;
    if (pmove->iuser1 == OBS_CHASE_LOCKED) view = vec3_t(0, pe.angles.y, pe.angles.z);
    else if (pmove->iuser1 == OBS_IN_EYE) view = pe.angles;  // look where the target looks
    else view = pmove->angles;

    vec3_t forward;
    angleVectors(view, &forward, nullptr, nullptr);
    vec3_t start = pe.origin + vec3_t(0, 0, 18);
    vec3_t end = start - forward * 112.0f;
    pmtrace_t* trace = pmove->PM_TraceLine(start, end, PM_TRACELINE_PHYSENTSONLY, 2, target);
    if (trace) pmove->origin = trace->endpos + trace->plane.normal * 4.0f;
    else pmove->origin = end;
    pmove->angles = view;
    pmove->velocity = vec3_t(0, 0, 0);
}

void checkFalling() {
    if (onGround() && !pmove->dead && pmove->flFallVelocity >= kFallPunchThreshold) {
        float volume = 0.5f;
        if (pmove->waterlevel > 0) {
            volume = 0.5f;
        } else if (pmove->flFallVelocity > kFallPainThreshold) {
            PlaySound(CHAN_VOICE, "player/pl_fallpain3.wav", 1.0f);
            volume = 1.0f;
        } else {
            if (physicsKeyIsOne("tfc")) PlaySound(CHAN_VOICE, "player/pl_fallpain3.wav", 1.0f);
            volume = 0.85f;
        }
        pmove->flTimeStepSound = 0;
        UpdateStepSound();
        PlayStepSound(StepKindForType(pmove->chtexturetype), volume);
        pmove->punchangle.z = pmove->flFallVelocity * 0.013f;
        if (pmove->punchangle.x > 8.0f) pmove->punchangle.x = 8.0f;
    }
    if (onGround()) pmove->flFallVelocity = 0;
}

// --------------------------------------------------------------- the move

void walkingStep() {
    if (pmove->waterlevel < 2) addCorrectGravity();

    if (pmove->waterjumptime != 0) {
        waterJump();
        flyMove();
        checkWater();
        return;
    }

    bool jumpHeld = (pmove->cmd.buttons & IN_JUMP) != 0;

    if (pmove->waterlevel >= 2) {
        if (pmove->waterlevel == 2) checkWaterJump();
        if (pmove->velocity.z < 0 && pmove->waterjumptime != 0) pmove->waterjumptime = 0;
        if (jumpHeld) jump();
        else pmove->oldbuttons &= ~IN_JUMP;
        waterMove();
        pmove->velocity -= pmove->basevelocity;
        categorizePosition();
        PlayWaterSounds();
        return;
    }

    if (jumpHeld) {
        if (!onLadder) jump();
    } else {
        pmove->oldbuttons &= ~IN_JUMP;
    }
    if (onGround()) {
        pmove->velocity.z = 0;
        friction();
    }
    checkVelocity();
    if (onGround()) walkMove();
    else airMove();
    categorizePosition();
    pmove->velocity -= pmove->basevelocity;
    checkVelocity();
    if (pmove->waterlevel < 2) fixupGravity();
    if (onGround()) pmove->velocity.z = 0;
    checkFalling();
    PlayWaterSounds();
}

void playerMove(bool server) {
    isServer = server;
    pmove->server = server ? 1 : 0;
    checkParameters();
    pmove->numtouch = 0;
    pmove->frametime = pmove->cmd.msec * 0.001f;
    reduceTimers();

    angleVectors(pmove->angles, &pmove->forward, &pmove->right, &pmove->up);

    if (pmove->spectator || pmove->iuser1 > 0) {
        spectatorMove();
        categorizePosition();
        return;
    }

    if (pmove->movetype != MOVETYPE_NONE && pmove->movetype != MOVETYPE_NOCLIP) {
        if (checkStuck()) return;
    }

    categorizePosition();
    pmove->oldwaterlevel = pmove->waterlevel;
    if (!onGround()) pmove->flFallVelocity = -pmove->velocity.z;

    onLadder = false;
    physent_t* ladder = nullptr;
    bool onTrain = (pmove->flags & FL_ONTRAIN) != 0;
    if (!pmove->dead && !onTrain) {
        ladder = findLadder();
        if (ladder) {
            onLadder = true;
            rising() = false;
        }
    }

    UpdateStepSound();
    duck();

    if (!pmove->dead && !onTrain) {
        if (ladder) ladderMove(ladder);
        else if (pmove->movetype != MOVETYPE_WALK && pmove->movetype != MOVETYPE_NOCLIP) {
            pmove->movetype = MOVETYPE_WALK;
        }
    }

    if (onGround() && (pmove->cmd.buttons & IN_USE)) pmove->velocity *= 0.3f;

    switch (pmove->movetype) {
        case MOVETYPE_NONE:
            break;
        case MOVETYPE_NOCLIP:
            noClip();
            break;
        case MOVETYPE_TOSS:
        case MOVETYPE_BOUNCE:
            physicsToss();
            break;
        case MOVETYPE_FLY:
            checkWater();
            if (pmove->cmd.buttons & IN_JUMP) {
                if (!onLadder) jump();
            } else {
                pmove->oldbuttons &= ~IN_JUMP;
            }
            pmove->velocity += pmove->basevelocity;
            flyMove();
            pmove->velocity -= pmove->basevelocity;
            break;
        case MOVETYPE_WALK:
            walkingStep();
            break;
        default:
            printDebug2("Bogus pmove player movetype %i on (%i) 0=cl 1=sv\n", pmove->movetype,
                        server ? 1 : 0);
            break;
    }
}

void Initialise(playermove_t* pm) {
    pmove = pm;
    buildStuckTable();
    memset(stuckLast, 0, sizeof(stuckLast));
    memset(stuckCheckTime, 0, sizeof(stuckCheckTime));
    memset(jumpRising, 0, sizeof(jumpRising));
    LoadMaterials();
    initialised = true;
}

void Move(playermove_t* pm, int server) {
    pmove = pm;
    // A plugin loaded after the game started never sees the init call.
    if (!initialised) Initialise(pm);
    playerMove(server != 0);
    if (pm->onground != -1) pm->flags |= FL_ONGROUND;
    else pm->flags &= ~FL_ONGROUND;
    if (!pm->multiplayer && pm->movetype == MOVETYPE_WALK) pm->friction = 1.0f;
}

}  // namespace
}  // namespace rixmove

void PM_Init(playermove_t* pm) {
    if (!pm) return;
    rixmove::Initialise(pm);
}

bool Move_IsNeeded(float longjump, float bunnyjump, float jumpability) {
    return longjump != 0.0f || bunnyjump != 0.0f || jumpability < 1.0f;
}

void PM_Move(playermove_t* pm, int server) {
    if (!pm) return;
    rixmove::Move(pm, server);
}
