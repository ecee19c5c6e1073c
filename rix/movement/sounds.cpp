// Movement sounds: footsteps by the material under the player, ladder, wading
// and sloshing steps, landings, the splash on entering or leaving water; and
// the material table read from "sound/materials.txt".
#include <stdlib.h>
#include <string.h>

#include "pm_local.h"

namespace rixmove {

namespace {

struct Material {
    char name[kMaterialNameMax + 1];
    char type;
};

Material materials[kMaxMaterials];
int materialCount = 0;
bool materialsLoaded = false;

// Thins out wading steps: only three of every four sound.
int wadeCounter = 0;

constexpr int kLineMax = 512;  // lines of up to 511 characters

char lowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares at most n characters without regard to case.
int compareNoCase(const char* a, const char* b, int n) {
    for (int i = 0; i < n; ++i) {
        char ca = lowerChar(a[i]);
        char cb = lowerChar(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Reads one line of the materials file into the table; malformed lines are
// skipped silently.
void parseMaterialLine(const char* line) {
    int i = 0;
    while (line[i] && isBlank(line[i])) ++i;
    if (!line[i] || line[i] == '/' || !isLetter(line[i])) return;
    char type = line[i++];
    if (type >= 'a' && type <= 'z') type = static_cast<char>(type - 'a' + 'A');
    while (line[i] && isBlank(line[i])) ++i;
    if (!line[i]) return;
    int end = i;
    while (line[end] && !isBlank(line[end])) ++end;
    // A name that ends the file without a line break still counts.
    int length = end - i;
    if (length > kMaterialNameMax) length = kMaterialNameMax;
    Material& m = materials[materialCount++];
    memcpy(m.name, line + i, static_cast<size_t>(length));
    m.name[length] = 0;
    m.type = type;
}

void sortMaterials() {
    for (int i = 0; i < materialCount; ++i) {
        for (int j = i + 1; j < materialCount; ++j) {
            if (compareNoCase(materials[i].name, materials[j].name, kMaterialNameMax) > 0) {
                Material t = materials[i];
                materials[i] = materials[j];
                materials[j] = t;
            }
        }
    }
}

bool isFrozen() { return (pmove->flags & FL_FROZEN) != 0; }

// Finds the texture under the feet and its material type.
void findTextureUnderPlayer() {
    pmove->sztexturename[0] = 0;
    pmove->chtexturetype = CHAR_TEX_CONCRETE;

    vec3_t start = pmove->origin;
    vec3_t end = start;
    end.z -= 64.0f;
    const char* name = pmove->PM_TraceTexture(pmove->onground, start, end);
    if (!name || !name[0]) return;

    if (*name == '-' || *name == '+') {
        // Animated or toggling textures: "-0name", "+aname".
        if (name[1]) name += 2; else name += 1;
    }
    if (*name == '{' || *name == '!' || *name == '~' || *name == ' ') ++name;

    int n = 0;
    while (n < kMaterialNameMax && name[n]) {
        pmove->sztexturename[n] = name[n];
        ++n;
    }
    pmove->sztexturename[n] = 0;
    pmove->chtexturetype = FindTextureType(pmove->sztexturename);
}

const char* const kStepSamples[9][4] = {
    {"player/pl_step1.wav", "player/pl_step3.wav", "player/pl_step2.wav", "player/pl_step4.wav"},
    {"player/pl_metal1.wav", "player/pl_metal3.wav", "player/pl_metal2.wav", "player/pl_metal4.wav"},
    {"player/pl_dirt1.wav", "player/pl_dirt3.wav", "player/pl_dirt2.wav", "player/pl_dirt4.wav"},
    {"player/pl_duct1.wav", "player/pl_duct3.wav", "player/pl_duct2.wav", "player/pl_duct4.wav"},
    {"player/pl_grate1.wav", "player/pl_grate3.wav", "player/pl_grate2.wav", "player/pl_grate4.wav"},
    {"player/pl_tile1.wav", "player/pl_tile3.wav", "player/pl_tile2.wav", "player/pl_tile4.wav"},
    {"player/pl_slosh1.wav", "player/pl_slosh3.wav", "player/pl_slosh2.wav", "player/pl_slosh4.wav"},
    {"player/pl_wade1.wav", "player/pl_wade2.wav", "player/pl_wade3.wav", "player/pl_wade4.wav"},
    {"player/pl_ladder1.wav", "player/pl_ladder3.wav", "player/pl_ladder2.wav", "player/pl_ladder4.wav"},
};

const char* const kWadeSamples[4] = {"player/pl_wade1.wav", "player/pl_wade2.wav",
                                     "player/pl_wade3.wav", "player/pl_wade4.wav"};

}  // namespace

void LoadMaterials() {
    if (materialsLoaded || !pmove) return;
    memset(materials, 0, sizeof(materials));
    materialCount = 0;

    char path[] = "sound/materials.txt";
    if (pmove->COM_FileSize) pmove->COM_FileSize(path);
    int length = 0;
    byte* file = pmove->COM_LoadFile(path, 5, &length);
    if (!file) return;

    char line[kLineMax];
    int position = 0;
    while (materialCount < kMaxMaterials &&
           pmove->memfgets(file, length, &position, line, kLineMax) != nullptr) {
        line[kLineMax - 1] = 0;
        parseMaterialLine(line);
    }
    pmove->COM_FreeFile(file);

    sortMaterials();
    materialsLoaded = true;
}

bool MaterialsLoaded() { return materialsLoaded; }
int MaterialCount() { return materialCount; }

char FindTextureType(const char* name) {
    int low = 0;
    int high = materialCount - 1;
    while (low <= high) {
        int mid = (low + high) / 2;
        int c = compareNoCase(name, materials[mid].name, kMaterialNameMax);
        if (c == 0) return materials[mid].type;
        if (c > 0) low = mid + 1; else high = mid - 1;
    }
    return CHAR_TEX_CONCRETE;
}

int StepKindForType(char type) {
    switch (type) {
        case CHAR_TEX_METAL: return STEP_METAL;
        case CHAR_TEX_DIRT: return STEP_DIRT;
        case CHAR_TEX_VENT: return STEP_VENT;
        case CHAR_TEX_GRATE: return STEP_GRATE;
        case CHAR_TEX_TILE: return STEP_TILE;
        case CHAR_TEX_SLOSH: return STEP_SLOSH;
        default: return STEP_CONCRETE;
    }
}

void PlaySound(int channel, const char* sample, float volume) {
    if (!pmove->runfuncs || !pmove->PM_PlaySound) return;
    pmove->PM_PlaySound(channel, sample, volume, ATTN_NORM, 0, PITCH_NORM);
}

void UpdateStepSound() {
    if (pmove->flTimeStepSound > 0 || isFrozen()) return;

    findTextureUnderPlayer();

    float speed = pmove->velocity.length();
    bool ladder = pmove->movetype == MOVETYPE_FLY;
    bool ducked = (pmove->flags & FL_DUCKING) != 0;

    float walkThreshold = 120.0f, runThreshold = 210.0f;
    int duckDelay = 0;
    if (ducked || ladder) {
        walkThreshold = 60.0f;
        runThreshold = 80.0f;
        duckDelay = 100;
    }

    if (!ladder && pmove->onground == -1) return;
    if (!(speed > 0.0f && (speed >= walkThreshold || pmove->flTimeStepSound == 0))) return;

    bool walking = speed < runThreshold;
    float height = pmove->player_maxs[pmove->usehull].z - pmove->player_mins[pmove->usehull].z;
    vec3_t knee = pmove->origin;
    vec3_t feet = pmove->origin;
    knee.z = pmove->origin.z - 0.3f * height;
    feet.z = pmove->origin.z - 0.5f * height;

    int kind;
    float volume;
    int delay;
    if (ladder) {
        kind = STEP_LADDER;
        volume = 0.35f;
        delay = 350;
    } else if (pmove->PM_PointContents(knee, nullptr) == CONTENTS_WATER) {
        kind = STEP_WADE;
        volume = 0.65f;
        delay = 600;
    } else if (pmove->PM_PointContents(feet, nullptr) == CONTENTS_WATER) {
        kind = STEP_SLOSH;
        volume = walking ? 0.2f : 0.5f;
        delay = walking ? 400 : 300;
    } else {
        kind = StepKindForType(pmove->chtexturetype);
        if (kind == STEP_DIRT) volume = walking ? 0.25f : 0.55f;
        else if (kind == STEP_VENT) volume = walking ? 0.4f : 0.7f;
        else volume = walking ? 0.2f : 0.5f;
        delay = walking ? 400 : 300;
    }

    pmove->flTimeStepSound = delay + duckDelay;
    if (ducked) volume *= 0.35f;
    PlayStepSound(kind, volume);
}

void PlayStepSound(int kind, float volume) {
    pmove->iStepLeft = !pmove->iStepLeft;
    if (!pmove->runfuncs) return;

    int r = static_cast<int>(pmove->RandomLong(0, 1)) + pmove->iStepLeft * 2;
    if (r < 0 || r > 3) r = 0;

    if (pmove->multiplayer) {
        if (!pmove->movevars->footsteps) return;
        if (!onLadder && pmove->velocity.length2D() <= 220.0f) return;
    }

    const char* sample;
    if (kind == STEP_TILE && pmove->RandomLong(0, 4) == 0) {
        sample = "player/pl_tile5.wav";
    } else if (kind == STEP_WADE) {
        if (wadeCounter == 0) {
            wadeCounter = 1;
            return;
        }
        if (wadeCounter++ == 3) wadeCounter = 0;
        sample = kStepSamples[STEP_WADE][r];
    } else if (kind >= 0 && kind <= STEP_LADDER) {
        sample = kStepSamples[kind][r];
    } else {
        sample = kStepSamples[STEP_CONCRETE][r];
    }
    PlaySound(CHAN_BODY, sample, volume);
}

void PlayWaterSounds() {
    bool entered = pmove->oldwaterlevel == 0 && pmove->waterlevel > 0;
    bool left = pmove->oldwaterlevel > 0 && pmove->waterlevel == 0;
    if (!entered && !left) return;
    int r = static_cast<int>(pmove->RandomLong(0, 3));
    if (r < 0 || r > 3) r = 0;
    PlaySound(CHAN_BODY, kWadeSamples[r], 1.0f);
}

}  // namespace rixmove
