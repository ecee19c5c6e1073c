// Ladders and water: finding the ladder the player touches and climbing it;
// the water level and currents; swimming; jumping out of the water.
#include <math.h>
#include <string.h>

#include "pm_local.h"

namespace rixmove {

namespace {

constexpr float kLadderSpeed = 200.0f;
constexpr float kLadderJumpSpeed = 270.0f;
constexpr int kModBrush = 0;  // PM_GetModelType of a brush model

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

}  // namespace

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

// ------------------------------------------------------------------ water

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

}  // namespace rixmove
