// Moves other than walking: the spectator's free flight and chase views,
// noclip, and a tossed or bouncing body (a dead player).
#include "pm_local.h"

namespace rixmove {

namespace {

pmtrace_t pushEntity(const vec3_t& push) {
    vec3_t end = pmove->origin + push;
    pmtrace_t trace = playerTrace(pmove->origin, end);
    pmove->origin = trace.endpos;
    if (trace.fraction < 1.0f && !trace.startsolid && !trace.allsolid) {
        addToTouched(trace, pmove->velocity);
    }
    return trace;
}

}  // namespace

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

}  // namespace rixmove
