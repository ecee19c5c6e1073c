// Per-map removal and addition of map entities: the files beside the map,
// the precaches at the world's spawn and the spawning of added entities.
#pragma once

#include "entlist.h"
#include "hl/hl.h"

// The current map's added entities (with the editor's pending record) and
// removal list.
extern AddedEntities addedEntities;
extern RemovalList removalList;

// The world's key values have arrived: reads both files of the new map.
void LoadRemovalList();
void LoadAddedEntities();

// The spawn step for every entity the engine spawns through the game; at the
// world it precaches and spawns the added entities. Returns true when the
// entity's class is on the removal list and the entity was removed instead.
bool MapEnts_Spawn(edict_t* entity);

void PrecacheAddedEntity(MapEntity* record);
// Creates the entity of a record; its index, 0 for a world record, -1 when
// nothing could be created.
int SpawnAddedEntity(MapEntity* record);

// Model index of the marker model, 0 until it was precached on this map.
int MarkerModelIndex();
