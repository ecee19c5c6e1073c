// Ducking: the slowed moves while ducked, the gradual lowering of the view,
// the switch to the ducked hull, and standing up again where there is room.
#include "pm_local.h"

namespace rixmove {

namespace {

constexpr float kStandingView = 18.0f;
constexpr float kDuckedView = 12.0f;
constexpr float kTimeToDuck = 0.4f;

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

}  // namespace

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

}  // namespace rixmove
