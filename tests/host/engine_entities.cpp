// Engine slots: edicts, their private data, offsets and indexes, models,
// sizes and origins, searches, and the precache registries.
#include <cstdlib>
#include <cstring>

#include "engine_impl.h"
#include "os/os.h"

namespace host {

namespace {

edict_t* createEntity() {
  Server::Impl& m = im();
  const int first = sv().globals()->maxClients + 1;
  const float now = sv().globals()->time;
  for (int i = first; i < static_cast<int>(m.edicts.size()); ++i) {
    edict_t& e = m.edicts[static_cast<size_t>(i)];
    // Like the engine, a freed edict is reused only after half a second
    // (or at map start, before the clock ran), so stale pointers stay free.
    if (!e.free || (e.freetime > 0 && now - e.freetime < 0.5f && now > 2.0f)) continue;
    int serial = e.serialnumber;
    memset(static_cast<void*>(&e), 0, sizeof(edict_t));
    e.serialnumber = serial + 1;
    e.v.pContainingEntity = &e;
    if (i >= m.highWater) m.highWater = i + 1;
    return &e;
  }
  sv().driverError("pfnCreateEntity: no free edict");
  return nullptr;
}

void removeEntity(edict_t* e) {
  int index = entIndex(e);
  if (index <= 0) {
    sv().driverError("pfnRemoveEntity: bad edict");
    return;
  }
  if (e->pvPrivateData) {
    sv().callNewGame(&NEW_DLL_FUNCTIONS::pfnOnFreeEntPrivateData, e);
    free(e->pvPrivateData);
    e->pvPrivateData = nullptr;
  }
  sv().world().clearEntityBox(index);
  if (isPlayerIndex(index)) return;  // player edicts stay allocated
  int serial = e->serialnumber;
  memset(static_cast<void*>(e), 0, sizeof(edict_t));
  e->serialnumber = serial;
  e->v.pContainingEntity = e;
  e->free = 1;
  e->freetime = sv().globals()->time;
}

edict_t* createNamedEntity(int className) {
  Server& s = sv();
  std::string name = s.str(className);
  void* lib = s.gameLibrary;
  using LinkFn = void (*)(entvars_t*);
  LinkFn fn = lib ? reinterpret_cast<LinkFn>(os::findSymbol(lib, name.c_str())) : nullptr;
  if (!fn) {
    s.recordAlert(at_console, "Can't create entity: " + name + "\n");
    return nullptr;
  }
  edict_t* e = createEntity();
  if (!e) return nullptr;
  e->v.classname = className;
  fn(&e->v);
  return e;
}

int entOffsetOf(const edict_t* e) {
  int i = entIndex(e);
  return i < 0 ? 0 : i * static_cast<int>(sizeof(edict_t));
}
edict_t* entOfOffset(int off) {
  if (off < 0 || off % static_cast<int>(sizeof(edict_t))) return nullptr;
  return entAt(off / static_cast<int>(sizeof(edict_t)));
}
int indexOfEdict(const edict_t* e) { return std::max(0, entIndex(e)); }
edict_t* entOfIndex(int i) {
  edict_t* e = entAt(i);
  if (!e) return nullptr;
  if (e->free) return nullptr;
  if (i > sv().globals()->maxClients && !e->pvPrivateData) return nullptr;
  return e;
}
entvars_t* varsOf(edict_t* e) { return e ? &e->v : nullptr; }
edict_t* entOfVars(entvars_t* v) { return v ? v->pContainingEntity : nullptr; }

void* allocPrivate(edict_t* e, int32 cb) {
  if (!e) return nullptr;
  if (e->pvPrivateData) free(e->pvPrivateData);
  e->pvPrivateData = calloc(1, cb > 0 ? static_cast<size_t>(cb) : 1);
  return e->pvPrivateData;
}
void* privateOf(edict_t* e) { return e ? e->pvPrivateData : nullptr; }
void freePrivate(edict_t* e) {
  if (e && e->pvPrivateData) {
    free(e->pvPrivateData);
    e->pvPrivateData = nullptr;
  }
}

int precacheIn(std::vector<std::string>& list, const char* s, const char* slot) {
  if (!s) {
    sv().driverError(std::string(slot) + ": null name");
    return 0;
  }
  for (size_t i = 1; i < list.size(); ++i)
    if (list[i] == s) return static_cast<int>(i);
  list.push_back(s);
  return static_cast<int>(list.size() - 1);
}
int precacheModel(char* s) { return precacheIn(im().models, s, "pfnPrecacheModel"); }
int precacheSound(char* s) { return precacheIn(im().soundsPre, s, "pfnPrecacheSound"); }
int precacheGeneric(char* s) { return precacheIn(im().generic, s, "pfnPrecacheGeneric"); }
unsigned short precacheEvent(int, const char* s) {
  return static_cast<unsigned short>(precacheIn(im().events, s, "pfnPrecacheEvent"));
}
int decalIndex(const char* s) { return precacheIn(im().decals, s, "pfnDecalIndex"); }
int modelIndex(const char* m) { return m ? sv().modelIndex(m) : 0; }
int modelFrames(int) { return 1; }

void setModel(edict_t* e, const char* m) {
  if (!e || !m) return;
  int index = sv().modelIndex(m);
  if (!index && m[0] != '*') sv().driverError(std::string("pfnSetModel: not precached: ") + m);
  e->v.model = sv().allocString(m);
  e->v.modelindex = index;
}

void syncBox(edict_t* e) {
  setAbsBox(e);
  int i = entIndex(e);
  if (i > 0) {
    int solid = e->v.solid;
    if (solid == SOLID_BBOX || solid == SOLID_SLIDEBOX || solid == SOLID_BSP)
      sv().world().setEntityBox(i, toVec(e->v.absmin), toVec(e->v.absmax));
    else
      sv().world().clearEntityBox(i);
  }
}

void setSize(edict_t* e, const float* mn, const float* mx) {
  if (!e || !mn || !mx) return;
  e->v.mins = vec3_t::from(mn);
  e->v.maxs = vec3_t::from(mx);
  syncBox(e);
}

void setOrigin(edict_t* e, const float* o) {
  if (!e || !o) return;
  e->v.origin = vec3_t::from(o);
  syncBox(e);
}

const char* stringField(edict_t* e, const char* field) {
  entvars_t& v = e->v;
  string_t s = 0;
  if (!strcmp(field, "classname")) s = v.classname;
  else if (!strcmp(field, "targetname")) s = v.targetname;
  else if (!strcmp(field, "target")) s = v.target;
  else if (!strcmp(field, "netname")) s = v.netname;
  else if (!strcmp(field, "model")) s = v.model;
  else if (!strcmp(field, "globalname")) s = v.globalname;
  else if (!strcmp(field, "message")) s = v.message;
  else return nullptr;
  return s ? sv().globals()->pStringBase + s : "";
}

// Searches end at the world entity, as the engine's do.
edict_t* findByString(edict_t* start, const char* field, const char* value) {
  if (!field || !value) return entAt(0);
  Server::Impl& m = im();
  for (int i = std::max(0, entIndex(start)) + (start ? 1 : 0); i < m.highWater; ++i) {
    edict_t* e = &m.edicts[static_cast<size_t>(i)];
    if (e->free) continue;
    const char* s = stringField(e, field);
    if (s && !strcmp(s, value)) return e;
  }
  return entAt(0);
}

edict_t* findInSphere(edict_t* start, const float* org, float rad) {
  Server::Impl& m = im();
  if (!org) return entAt(0);
  for (int i = std::max(0, entIndex(start)) + 1; i < m.highWater; ++i) {
    edict_t* e = &m.edicts[static_cast<size_t>(i)];
    if (e->free || !e->v.classname) continue;
    if (isPlayerIndex(i) && !sv().connected(i)) continue;
    // Distance from the point to the entity's box.
    float d2 = 0;
    for (int k = 0; k < 3; ++k) {
      float lo = e->v.origin[k] + e->v.mins[k], hi = e->v.origin[k] + e->v.maxs[k];
      float c = org[k] < lo ? lo - org[k] : org[k] > hi ? org[k] - hi : 0;
      d2 += c * c;
    }
    if (d2 <= rad * rad) return e;
  }
  return entAt(0);
}

edict_t* findClientInPVS(edict_t*) {
  for (int p : sv().players()) return entAt(p);
  return entAt(0);
}
edict_t* entitiesInPVS(edict_t*) { return entAt(0); }

int numberOfEntities() { return sv().entityCount(); }
int entityIllum(edict_t*) { return 128; }

int dropToFloor(edict_t* e) {
  if (!e) return 0;
  TraceResult tr{};
  vec3_t end = e->v.origin - vec3_t(0, 0, 256);
  sv().engineTable()->pfnTraceMonsterHull(e, e->v.origin, end, 0, e, &tr);
  if (tr.fAllSolid) return -1;
  if (tr.flFraction == 1.0f) return 0;
  setOrigin(e, tr.vecEndPos);
  e->v.flags |= FL_ONGROUND;
  e->v.groundentity = tr.pHit;
  return 1;
}

int entIsOnFloor(edict_t* e) {
  if (!e) return 0;
  TraceResult tr{};
  vec3_t end = e->v.origin - vec3_t(0, 0, 1);
  sv().engineTable()->pfnTraceMonsterHull(e, e->v.origin, end, 0, e, &tr);
  return tr.flFraction < 1.0f ? 1 : 0;
}

edict_t* createFakeClient(const char* netname) {
  int index = 0;
  Server& s = sv();
  for (int i = 1; i <= s.globals()->maxClients; ++i)
    if (!s.connected(i) && !s.playerSlot(i).bot) {
      index = i;
      break;
    }
  if (!index) return nullptr;
  edict_t* e = entAt(index);
  memset(static_cast<void*>(&e->v), 0, sizeof(entvars_t));
  e->v.pContainingEntity = e;
  e->v.netname = s.allocString(netname ? netname : "bot");
  e->v.flags = FL_FAKECLIENT;
  s.playerSlot(index).bot = true;
  s.playerSlot(index).name = netname ? netname : "bot";
  return e;
}

}  // namespace

void Server::syncEntityBoxes() {
  for (int i = 1; i < impl_->highWater; ++i) {
    edict_t* e = &impl_->edicts[static_cast<size_t>(i)];
    bool live = !e->free && (!isPlayerIndex(i) || connected(i));
    int solid = e->v.solid;
    if (live && (solid == SOLID_BBOX || solid == SOLID_SLIDEBOX || solid == SOLID_BSP)) {
      if (e->v.flags & FL_KILLME) {
        world_.clearEntityBox(i);
        continue;
      }
      world_.setEntityBox(i, toVec(e->v.origin + e->v.mins), toVec(e->v.origin + e->v.maxs));
    } else {
      world_.clearEntityBox(i);
    }
  }
}

void installEntitySlots(enginefuncs_t& t) {
  t.pfnCreateEntity = createEntity;
  t.pfnRemoveEntity = removeEntity;
  t.pfnCreateNamedEntity = createNamedEntity;
  t.pfnEntOffsetOfPEntity = entOffsetOf;
  t.pfnPEntityOfEntOffset = entOfOffset;
  t.pfnIndexOfEdict = indexOfEdict;
  t.pfnPEntityOfEntIndex = entOfIndex;
  t.pfnGetVarsOfEnt = varsOf;
  t.pfnFindEntityByVars = entOfVars;
  t.pfnPvAllocEntPrivateData = allocPrivate;
  t.pfnPvEntPrivateData = privateOf;
  t.pfnFreeEntPrivateData = freePrivate;
  t.pfnPrecacheModel = precacheModel;
  t.pfnPrecacheSound = precacheSound;
  t.pfnPrecacheGeneric = precacheGeneric;
  t.pfnPrecacheEvent = precacheEvent;
  t.pfnDecalIndex = decalIndex;
  t.pfnModelIndex = modelIndex;
  t.pfnModelFrames = modelFrames;
  t.pfnSetModel = setModel;
  t.pfnSetSize = setSize;
  t.pfnSetOrigin = setOrigin;
  t.pfnFindEntityByString = findByString;
  t.pfnFindEntityInSphere = findInSphere;
  t.pfnFindClientInPVS = findClientInPVS;
  t.pfnEntitiesInPVS = entitiesInPVS;
  t.pfnNumberOfEntities = numberOfEntities;
  t.pfnGetEntityIllum = entityIllum;
  t.pfnDropToFloor = dropToFloor;
  t.pfnEntIsOnFloor = entIsOnFloor;
  t.pfnCreateFakeClient = createFakeClient;
}

}  // namespace host
