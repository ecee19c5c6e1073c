#include "editor.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "chatargs.h"
#include "entlist.h"
#include "mapents.h"
#include "os/os.h"
#include "rix.h"

#ifndef RIX_METAMOD_LIBRARIES
#error "RIX_METAMOD_LIBRARIES lists the file names of the platform's Metamod builds"
#endif
static const char* const kMetamodLibraries[] = {RIX_METAMOD_LIBRARIES};

static vec3_t editOrigin, editMins, editMaxs;

static void resetBox() {
  editMins = vec3_t(-1, -1, -1);
  editMaxs = vec3_t(1, 1, 1);
}

static void tellHost(const char* text) {
  if (IsValidClient(hostPlayer)) engine.pfnClientPrintf(hostPlayer, print_console, text);
}

static int fixed(float value, float scale, int lo, int hi) {
  float v = value * scale;
  if (!(v >= (float)lo)) return lo;  // NaN too
  if (v > (float)hi) return hi;
  return (int)v;
}

// A text overlay for one client (temporary entity TE_TEXTMESSAGE).
struct HudText {
  float x, y;
  int effect;
  byte r1, g1, b1, a1, r2, g2, b2, a2;
  float fadeIn, fadeOut, hold, fxTime;
  int channel;
};

static void hudMessage(edict_t* to, const HudText& p, const char* text) {
  if (!IsValidClient(to)) return;
  engine.pfnMessageBegin(MSG_ONE, SVC_TEMPENTITY, nullptr, to);
  engine.pfnWriteByte(TE_TEXTMESSAGE);
  engine.pfnWriteByte(p.channel);
  engine.pfnWriteShort(fixed(p.x, 8192, -32768, 32767));
  engine.pfnWriteShort(fixed(p.y, 8192, -32768, 32767));
  engine.pfnWriteByte(p.effect);
  engine.pfnWriteByte(p.r1);
  engine.pfnWriteByte(p.g1);
  engine.pfnWriteByte(p.b1);
  engine.pfnWriteByte(p.a1);
  engine.pfnWriteByte(p.r2);
  engine.pfnWriteByte(p.g2);
  engine.pfnWriteByte(p.b2);
  engine.pfnWriteByte(p.a2);
  engine.pfnWriteShort(fixed(p.fadeIn, 256, 0, 65535));
  engine.pfnWriteShort(fixed(p.fadeOut, 256, 0, 65535));
  engine.pfnWriteShort(fixed(p.hold, 256, 0, 65535));
  if (p.effect == 2) engine.pfnWriteShort(fixed(p.fxTime, 256, 0, 65535));
  // The overlay carries at most 511 characters.
  char cut[512];
  size_t n = strnlen(text, sizeof cut - 1);
  memcpy(cut, text, n);
  cut[n] = '\0';
  engine.pfnWriteString(cut);
  engine.pfnMessageEnd();
}

static void showPendingEntity(MapEntity* pending) {
  char text[1024] = "";
  size_t used = 0;
  for (EntityKeyValue* pair = pending ? pending->pairs : nullptr; pair; pair = pair->next) {
    int n = snprintf(text + used, sizeof text - used, "%s %s\n", pair->key, pair->value);
    if (n < 0) break;
    used += (size_t)n;
    if (used >= sizeof text - 1) {
      used = sizeof text - 1;
      break;
    }
  }
  HudText p = {0.0f, 0.5f, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0.0f, 0.0f, 10.0f, 10.0f, 5};
  hudMessage(hostPlayer, p, text);
}

static void writeCoords(const vec3_t& v) {
  engine.pfnWriteCoord(v.x);
  engine.pfnWriteCoord(v.y);
  engine.pfnWriteCoord(v.z);
}

static void showMarker(int x, int y, int z) {
  vec3_t at((float)x, (float)y, (float)z);
  const vec3_t hostOrigin = hostPlayer->v.origin;
  int model = MarkerModelIndex();
  if (model) {  // the marker model is precached with every world
    engine.pfnMessageBegin(MSG_PAS, SVC_TEMPENTITY, hostOrigin, nullptr);
    engine.pfnWriteByte(TE_PROJECTILE);
    writeCoords(at);
    writeCoords(vec3_t(0, 0, 0));
    engine.pfnWriteShort(model);
    engine.pfnWriteByte(30);
    engine.pfnWriteByte(EntIndex(hostPlayer));
    engine.pfnMessageEnd();
  }
  engine.pfnMessageBegin(MSG_PAS, SVC_TEMPENTITY, hostOrigin, nullptr);
  engine.pfnWriteByte(TE_SPARKS);
  writeCoords(at);
  engine.pfnMessageEnd();
}

static void showBox() {
  const vec3_t hostOrigin = hostPlayer->v.origin;
  engine.pfnMessageBegin(MSG_PAS, SVC_TEMPENTITY, hostOrigin, nullptr);
  engine.pfnWriteByte(TE_BOX);
  writeCoords(editOrigin + editMins);
  writeCoords(editOrigin + editMaxs);
  engine.pfnWriteShort(300);
  engine.pfnWriteByte(10);
  engine.pfnWriteByte(255);
  engine.pfnWriteByte(10);
  engine.pfnMessageEnd();
}

static void formatInts(char* out, size_t size, const vec3_t& v) {
  snprintf(out, size, "%d %d %d", TruncInt(v.x), TruncInt(v.y), TruncInt(v.z));
}

// Starts the pending entity's geometry at the host's position.
static void setOriginHere(MapEntity* pending) {
  editOrigin = hostPlayer->v.origin;
  resetBox();
  showMarker(TruncInt(editOrigin.x), TruncInt(editOrigin.y), TruncInt(editOrigin.z));
  char text[64];
  formatInts(text, sizeof text, editOrigin);
  Entity_Set(pending, "origin", text);
}

// The Metamod library the server runs, whatever its file is called: the one
// that holds the utility functions Metamod handed over. Where they lie in no
// library of their own, a loaded file of a name that Metamod builds carry.
static os::Library loadedMetamod() {
  if (metaUtil && metaUtil->pfnLogError) {
    if (os::Library lib = os::libraryAt(reinterpret_cast<const void*>(metaUtil->pfnLogError))) return lib;
  }
  for (const char* file : kMetamodLibraries) {
    if (os::Library lib = os::findLoadedLibrary(file)) return lib;
  }
  return nullptr;
}

// True when the class is one the game knows: the loaded Metamod library
// exports a link function of that name for every entity class.
static bool classExists(const char* name) {
  if (!name[0]) return false;
  os::Library metamod = loadedMetamod();
  return metamod && os::findSymbol(metamod, name) != nullptr;
}

// Keys and values go to the addition file between double quotes, so they
// cannot hold a quote or a line end; a key must also fit the reader.
static bool writable(const char* key, const char* value) {
  if (strpbrk(key, "\"\n") || strpbrk(value, "\"\n")) {
    tellHost("ent: keys and values cannot contain double quotes or line breaks\n");
    return false;
  }
  if (strlen(key) > MAX_ENTITY_KEY || strcmp(key, "}") == 0) {
    tellHost("ent: a key has at most 30 characters and is not \"}\"\n");
    return false;
  }
  return true;
}

static void appendToFile(MapEntity* pending) {
  char gameDir[260] = "";
  engine.pfnGetGameDir(gameDir);
  gameDir[sizeof gameDir - 1] = '\0';
  char path[600];
  int n = snprintf(path, sizeof path, "%s/maps/%s.addent", gameDir, Str(gpGlobals->mapname));
  if (n < 0 || n >= (int)sizeof path) return;
  FILE* f = fopen(path, "a");
  if (!f) return;
  fputs("{\n", f);
  for (EntityKeyValue* pair = pending->pairs; pair; pair = pair->next)
    fprintf(f, "\"%s\" \"%s\"\n", pair->key, pair->value);
  fputs("}\n", f);
  fclose(f);
}

static vec3_t absolute(const vec3_t& v) { return vec3_t(fabsf(v.x), fabsf(v.y), fabsf(v.z)); }

static void wordWithText(MapEntity* pending, const char* word, const char* text) {
  if (strcmp(word, "search") == 0) {
    edict_t* e = nullptr;
    while ((e = engine.pfnFindEntityByString(e, "classname", text)) != nullptr) {
      if (EntIndex(e) == 0) break;
      showMarker(TruncInt(e->v.origin.x), TruncInt(e->v.origin.y), TruncInt(e->v.origin.z));
    }
    return;
  }
  if (!pending) {
    tellHost("ent: the entity table of this map is full (1024 entities)\n");
    return;
  }
  if (!writable(word, text)) return;
  if (strcmp(word, "classname") == 0) {
    Entity_FreePairs(pending);
    if (!classExists(text)) return;
    Entity_Add(pending, "classname", text);
    setOriginHere(pending);
  }
  Entity_Set(pending, word, text);
  showPendingEntity(pending);
}

static void wordAlone(MapEntity* pending, const char* word) {
  static const char* const known[] = {"origin", "angles", "maxs", "mins", "add", "delete"};
  bool isKnown = false;
  for (const char* k : known) isKnown = isKnown || strcmp(word, k) == 0;
  if (!isKnown) return;
  if (!pending) {
    tellHost("ent: the entity table of this map is full (1024 entities)\n");
    return;
  }
  if (!pending->pairs) return;
  char text[64];
  if (strcmp(word, "origin") == 0) {
    setOriginHere(pending);
  } else if (strcmp(word, "angles") == 0) {
    formatInts(text, sizeof text, hostPlayer->v.angles);
    Entity_Set(pending, "angles", text);
  } else if (strcmp(word, "maxs") == 0 || strcmp(word, "mins") == 0) {
    vec3_t d = absolute(hostPlayer->v.origin - editOrigin);
    bool isMaxs = word[1] == 'a';
    if (isMaxs) editMaxs = d; else editMins = -d;
    showBox();
    formatInts(text, sizeof text, isMaxs ? editMaxs : editMins);
    Entity_Set(pending, word, text);
  } else if (strcmp(word, "add") == 0) {
    appendToFile(pending);
    showPendingEntity(pending);
    addedEntities.num_entities++;
    pending->spawnedIndex = SpawnAddedEntity(pending);
    return;
  } else if (strcmp(word, "delete") == 0) {
    Entity_FreePairs(pending);
  }
  showPendingEntity(pending);
}

bool EntityEditorCommand(edict_t* sender) {
  if (!gpGlobals || gpGlobals->deathmatch == 0) return false;
  if (engine.pfnIsDedicatedServer()) return false;
  if (!sender || sender != hostPlayer) return false;
  const char* command = engine.pfnCmd_Argv(0);
  if (!command || strcmp(command, "say") != 0) return false;

  ChatArgs args = {};
  args.count = engine.pfnCmd_Argc();
  for (int i = 0; i < CHAT_MAX_ARGS && i < args.count; i++)
    ChatArgs_Set(&args, i, engine.pfnCmd_Argv(i));
  ChatArgs_Split(&args);
  if (strcmp(args.arg[1], "ent") != 0 || args.count < 3) return false;

  MapEntity* pending = EntList_Pending(&addedEntities);
  if (args.count == 4)
    wordWithText(pending, args.arg[2], args.arg[3]);
  else
    wordAlone(pending, args.arg[2]);
  return false;
}
