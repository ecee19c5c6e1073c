// The stuck check: a player whose hull does not fit where he stands is
// nudged by the offsets of a fixed table (on the client all of them at once,
// on the server one per check, at most one check per 0.05 s), or lifted off
// another player he is stuck in; otherwise his move is skipped. A nudge that
// frees him is always taken, and the table is walked on from check to check,
// so every offset gets its turn: a player whom some nudge frees is never
// stuck for good.
#include <string.h>

#include "pm_local.h"

namespace rixmove {

namespace {

constexpr int kStuckSlots = 54;
constexpr float kStuckCheckInterval = 0.05f;

vec3_t stuckTable[kStuckSlots];
int stuckLast[kMaxStuckPlayers][2];
float stuckCheckTime[kMaxStuckPlayers][2];

int nextStuckOffset(vec3_t* offset) {
    int& last = stuckLast[playerSlot()][sideIndex()];
    int index = last % kStuckSlots;
    last = (index + 1) % kStuckSlots;
    *offset = stuckTable[index];
    return index;
}

void resetStuckOffsets() { stuckLast[playerSlot()][sideIndex()] = 0; }

bool isPlayerEntity(int hitent) {
    return hitent >= 0 && hitent < pmove->numphysent && pmove->physents[hitent].player != 0;
}

}  // namespace

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

void resetStuckState() {
    memset(stuckLast, 0, sizeof(stuckLast));
    memset(stuckCheckTime, 0, sizeof(stuckCheckTime));
}

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
            // The smallest nudges first.
            resetStuckOffsets();
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

    float now = pmove->Sys_FloatTime ? static_cast<float>(pmove->Sys_FloatTime()) : 0.0f;
    float& lastCheck = stuckCheckTime[playerSlot()][sideIndex()];
    if (lastCheck >= now - kStuckCheckInterval) return true;
    lastCheck = now;

    if (pmove->PM_StuckTouch) pmove->PM_StuckTouch(hitent, &traceresult);

    nextStuckOffset(&offset);
    vec3_t test = base + offset;
    hitent = testPosition(test, nullptr);
    if (hitent == -1) {
        resetStuckOffsets();
        pmove->origin = test;
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

}  // namespace rixmove
