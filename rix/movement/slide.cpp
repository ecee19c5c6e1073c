// The slide (fly) move: up to four bumps through the world per frame,
// clipping or reflecting the velocity off what it hits; and the walking move
// on the ground, which also tries the same slide one step higher.
#include "pm_local.h"

namespace rixmove {

vec3_t clipVelocity(const vec3_t& in, const vec3_t& normal, float overbounce) {
    float backoff = in.dot(normal) * overbounce;
    vec3_t out = in - normal * backoff;
    for (int i = 0; i < 3; ++i) {
        if (out[i] > -0.1f && out[i] < 0.1f) out[i] = 0;
    }
    return out;
}

int flyMove() {
    constexpr int kBumps = 4;
    vec3_t planes[MAX_CLIP_PLANES];
    int numplanes = 0;
    int blocked = 0;
    vec3_t primal = pmove->velocity;
    vec3_t original = pmove->velocity;
    float timeLeft = pmove->frametime;
    float allFraction = 0;

    for (int bump = 0; bump < kBumps; ++bump) {
        if (pmove->velocity.isZero()) break;

        vec3_t end = pmove->origin + pmove->velocity * timeLeft;
        pmtrace_t trace = playerTrace(pmove->origin, end);
        allFraction += trace.fraction;

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
                // Slide along the crease of the two planes. The cross product
                // is not normalised: the further the planes are from square,
                // the slower the slide.
                vec3_t dir = planes[0].cross(planes[1]);
                pmove->velocity = dir * dir.dot(pmove->velocity);
            }
            // Clipped into a velocity against the start direction: stop.
            if (pmove->velocity.dot(primal) <= 0) {
                pmove->velocity = vec3_t(0, 0, 0);
                break;
            }
        }
    }
    // Wedged: no trace of the move got anywhere.
    if (allFraction == 0) pmove->velocity = vec3_t(0, 0, 0);
    return blocked;
}

void walkMove() {
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

}  // namespace rixmove
