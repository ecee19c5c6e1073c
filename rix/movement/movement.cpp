// The plugin's player movement: the classic engine movement model on the
// engine's playermove_t, with the plugin's jump rules (long jump for
// everybody, no speed cap on repeated jumps, a jump-height factor). This
// file holds the move driver: the parameters of the command, categorising
// the player's position and the order of the steps; pm_local.h names the
// files of the steps.
#include "movement.h"

#include <math.h>
#include <string.h>

#include "pm_local.h"

namespace rixmove {

playermove_t* pmove = nullptr;
bool onLadder = false;
bool isServer = false;

namespace {

constexpr float kDeadView = -8.0f;

// A jump launched no faster than the ground-snap speed (180 units/s) must
// not be pulled back to the floor by the next ground check: set per player
// and side from such a jump until the player has left the floor's reach.
bool jumpRising[kMaxStuckPlayers][2];
bool initialised = false;

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

// --------------------------------------------------------------- the move

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
    resetStuckState();
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

bool& rising() { return jumpRising[playerSlot()][sideIndex()]; }

void categorizePosition() {
    checkWater();

    if (pmove->velocity.z > 180.0f) {
        pmove->onground = -1;
        return;
    }
    vec3_t point = pmove->origin;
    point.z -= 2.0f;
    pmtrace_t tr = playerTrace(pmove->origin, point);
    bool floor = tr.plane.normal.z >= 0.7f;
    if (rising()) {
        // A slow jump is not pulled back to the floor it rises from; once out
        // of the floor's reach, or no longer moving away from it, it is over.
        if (floor && pmove->velocity.dot(tr.plane.normal) > 0) {
            pmove->onground = -1;
            return;
        }
        rising() = false;
    }
    pmove->onground = floor ? tr.ent : -1;
    if (onGround()) {
        pmove->waterjumptime = 0;
        if (pmove->waterlevel < 2 && !tr.startsolid && !tr.allsolid) pmove->origin = tr.endpos;
    }
    if (tr.ent > 0) addToTouched(tr, pmove->velocity);
}

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
