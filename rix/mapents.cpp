#include "mapents.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "rix.h"

AddedEntities addedEntities;
RemovalList removalList;

static const char kMarkerModel[] = "models/office_gibs.mdl";
static const char kStandInSound[] = "fvox/bell.wav";
static int markerModelIndex;

int MarkerModelIndex() { return markerModelIndex; }

// Loads "maps/<map>.<ext>" through the engine; null when missing or empty.
static byte* loadMapFile(const char* ext, int* length) {
  char path[300];
  int n = snprintf(path, sizeof path, "maps/%s.%s", Str(gpGlobals->mapname), ext);
  if (n < 0 || n >= (int)sizeof path) return nullptr;
  *length = 0;
  byte* data = engine.pfnLoadFileForMe(path, length);
  if (data && *length <= 0) {
    engine.pfnFreeFile(data);
    return nullptr;
  }
  return data;
}

void LoadRemovalList() {
  Removal_Clear(&removalList);
  int length = 0;
  byte* data = loadMapFile("rement", &length);
  if (!data) return;
  // Errors of the files end their reading silently.
  Removal_Parse(&removalList, reinterpret_cast<const char*>(data), (size_t)length, nullptr, nullptr);
  engine.pfnFreeFile(data);
}

void LoadAddedEntities() {
  EntList_Clear(&addedEntities);
  int length = 0;
  byte* data = loadMapFile("addent", &length);
  if (!data) return;
  EntList_Parse(&addedEntities, reinterpret_cast<const char*>(data), (size_t)length, nullptr, nullptr);
  engine.pfnFreeFile(data);
}

// The engine keeps the name it is given, so precache pooled copies.
static int precacheModel(const char* name) {
  return engine.pfnPrecacheModel(const_cast<char*>(Str(AllocStr(name))));
}
static int precacheSound(const char* name) {
  return engine.pfnPrecacheSound(const_cast<char*>(Str(AllocStr(name))));
}

// True when the text, lower-cased, contains ".wav".
static bool namesWave(const char* text) {
  for (const char* p = text; *p; p++) {
    if (p[0] != '.') continue;
    if ((p[1] | 0x20) == 'w' && (p[2] | 0x20) == 'a' && (p[3] | 0x20) == 'v') return true;
  }
  return false;
}

void PrecacheAddedEntity(MapEntity* record) {
  for (EntityKeyValue* pair = record->pairs; pair; pair = pair->next) {
    if (strcmp(pair->key, "model") == 0 && pair->value[0] != '*')
      precacheModel(pair->value);
    else if (strcmp(pair->key, "message") == 0 && namesWave(pair->value))
      precacheSound(pair->value);
  }
}

// Vector text: up to three numbers separated by single blanks.
static vec3_t parseVector(const char* text) {
  vec3_t v(0, 0, 0);
  const char* p = text;
  for (int i = 0; i < 3 && *p; i++) {
    v[i] = (float)atof(p);
    const char* blank = strchr(p, ' ');
    if (!blank) break;
    p = blank + 1;
  }
  return v;
}

// Copies text into a fixed buffer, cut to fit.
static void copyCut(char* out, size_t size, const char* text) {
  size_t n = strnlen(text, size - 1);
  memcpy(out, text, n);
  out[n] = '\0';
}

int SpawnAddedEntity(MapEntity* record) {
  EntityKeyValue* classPair = Entity_Find(record, "classname");
  if (!classPair) return -1;  // nothing to create
  if (strcmp(classPair->value, "worldspawn") == 0) {
    EntityKeyValue* sky = Entity_Find(record, "skyname");
    if (sky) engine.pfnCVarSetString("sv_skyname", sky->value);
    return 0;
  }
  edict_t* entity = engine.pfnCreateNamedEntity(AllocStr(classPair->value));
  if (!entity || EntIndex(entity) == 0) return -1;

  DLL_FUNCTIONS* game = gameDll ? gameDll->dllapi_table : nullptr;
  char className[32];
  char key[32];
  // Values go whole (a cut model path would name another file).
  char value[SCRIPT_MAX_TOKEN + 1];
  copyCut(className, sizeof className, classPair->value);
  vec3_t mins, maxs;
  bool haveMins = false, haveMaxs = false;
  // The stand-ins are precached with the world; a plugin loaded in the middle
  // of a map has none, and a file that is not precached stops the server.
  bool haveStandIns = markerModelIndex != 0;
  for (EntityKeyValue* pair = record->pairs; pair; pair = pair->next) {
    if (strcmp(pair->key, "model") == 0) {
      if (pair->value[0] != '*' && !precacheAllowed) {
        if (!haveStandIns) continue;
        Pair_SetValue(pair, kMarkerModel);
      }
    } else if (strcmp(pair->key, "message") == 0) {
      if (namesWave(pair->value) && !precacheAllowed) {
        if (!haveStandIns) continue;
        Pair_SetValue(pair, kStandInSound);
      }
    } else if (strcmp(pair->key, "maxs") == 0) {
      maxs = parseVector(pair->value);
      haveMaxs = true;
      continue;
    } else if (strcmp(pair->key, "mins") == 0) {
      mins = parseVector(pair->value);
      haveMins = true;
      continue;
    }
    if (!game || !game->pfnKeyValue) continue;
    copyCut(key, sizeof key, pair->key);
    copyCut(value, sizeof value, pair->value);
    KeyValueData kvd = {className, key, value, 0};
    game->pfnKeyValue(entity, &kvd);
  }
  if (game && game->pfnSpawn) game->pfnSpawn(entity);
  if (haveMins && haveMaxs) engine.pfnSetSize(entity, mins, maxs);
  return EntIndex(entity);
}

static void precacheWorld() {
  markerModelIndex = 0;
  precacheModel("models/w_oxygen.mdl");
  precacheModel("models/w_medkit.mdl");
  precacheModel("models/can.mdl");
  precacheModel("sprites/laserbeam.spr");
  markerModelIndex = precacheModel(kMarkerModel);
  precacheSound(kStandInSound);
  precacheModel("models/scientist.mdl");
  if (isCounterStrike) {
    precacheModel("models/hostage.mdl");
    precacheSound("hostage/hos1.wav");
    precacheSound("hostage/hos2.wav");
    precacheSound("hostage/hos3.wav");
    precacheSound("hostage/hos4.wav");
    precacheSound("hostage/hos5.wav");
    precacheSound("player/gasp1.wav");
    precacheSound("player/gasp2.wav");
  }
}

bool MapEnts_Spawn(edict_t* entity) {
  if (!entity) return false;
  const char* className = Str(entity->v.classname);
  bool world = strcmp(className, "worldspawn") == 0;
  if (world) {
    precacheWorld();
    AddedEntities& t = addedEntities;
    for (int i = 0; i < t.num_entities; i++) PrecacheAddedEntity(&t.records[i]);
    for (int i = 0; i < t.num_entities; i++) t.records[i].spawnedIndex = SpawnAddedEntity(&t.records[i]);
    return false;
  }
  for (int i = 0; i < removalList.count; i++) {
    if (strcmp(removalList.names[i], className) == 0) {
      engine.pfnRemoveEntity(entity);
      return true;
    }
  }
  return false;
}
