// The walking step: gravity halves, the jump with the plugin's rules,
// friction, ground and air acceleration, the air move and the landing check.
#include <math.h>
#include <stdlib.h>

#include "pm_local.h"

namespace rixmove {

namespace {

constexpr float kFallPunchThreshold = 350.0f;
constexpr float kFallPainThreshold = 580.0f;
constexpr float kPlayerJumpSpeed = 268.328157f;  // sqrt(2 * 800 * 45)
constexpr float kLongJumpSpeed = 299.332591f;    // sqrt(2 * 800 * 56)
constexpr float kLongJumpForward = 350.0f * 1.6f;

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

void flatWish(vec3_t* wishdir, float* wishspeed) {
    vec3_t forward = pmove->forward.flattened().normalized();
    vec3_t right = pmove->right.flattened().normalized();
    vec3_t wishvel = forward * pmove->cmd.forwardmove + right * pmove->cmd.sidemove;
    wishvel.z = 0;
    *wishdir = wishvel.normalized();
    *wishspeed = wishvel.length();
    if (*wishspeed > pmove->maxspeed) *wishspeed = pmove->maxspeed;
}

void groundMove() {
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
    walkMove();
}

void airMove() {
    vec3_t wishdir;
    float wishspeed;
    flatWish(&wishdir, &wishspeed);
    airAccelerate(wishdir, wishspeed, pmove->movevars->airaccelerate);
    pmove->velocity += pmove->basevelocity;
    flyMove();
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

}  // namespace

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
    rising() = pmove->velocity.z > 0 && pmove->velocity.z <= 180.0f;

    fixupGravity();
    pmove->oldbuttons |= IN_JUMP;
}

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
    if (onGround()) groundMove();
    else airMove();
    categorizePosition();
    pmove->velocity -= pmove->basevelocity;
    checkVelocity();
    if (pmove->waterlevel < 2) fixupGravity();
    if (onGround()) pmove->velocity.z = 0;
    checkFalling();
    PlayWaterSounds();
}

}  // namespace rixmove
