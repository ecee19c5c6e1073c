// The added-entity table and the removal list of a map, and the readers of
// their files' text. No engine calls: compiled into the plugin (its map entity
// code and editor), the installation checker and the fuzz targets.
#pragma once

#include <stddef.h>

#include "script.h"

enum {
  MAX_MAP_ENTITIES = 1024,
  MAX_REMOVAL_NAMES = 200,
  MAX_ENTITY_KEY = 30,  // characters of a key
};

struct EntityKeyValue {
  EntityKeyValue* next;
  char key[MAX_ENTITY_KEY + 1];
  char* value;  // owned, from malloc
};

struct MapEntity {
  EntityKeyValue* pairs;  // newest at the front
  int spawnedIndex;       // entity index; 0 for the world or not yet spawned; -1 failed
};

struct AddedEntities {
  MapEntity records[MAX_MAP_ENTITIES];
  int num_entities;
};

struct RemovalList {
  char* names[MAX_REMOVAL_NAMES];  // owned, from malloc
  int count;
};

// Frees every record's pairs and empties the table.
void EntList_Clear(AddedEntities* table);
// Frees every name and empties the list.
void Removal_Clear(RemovalList* list);

// Reads up to MAX_REMOVAL_NAMES class names (one token each) from text. With
// a reporter, the names it will never act on are reported as well: the first
// one past the limit, and "worldspawn".
void Removal_Parse(RemovalList* list, const char* text, size_t length, ScriptErrorFn error,
                   void* errorContext);

// Reads one "{ key value ... }" block into the next free record. Returns false
// at the end of the text or on an error (reported through the parser). A block
// without "classname" is kept (the spawn step skips it) and reported.
bool ParseEntity(AddedEntities* table, ScriptParser* parser);
// Runs ParseEntity over the whole text.
void EntList_Parse(AddedEntities* table, const char* text, size_t length, ScriptErrorFn error,
                   void* errorContext);

// The record being built by the editor, or null when the table is full.
MapEntity* EntList_Pending(AddedEntities* table);

// First pair with the key, from the front; null when none.
EntityKeyValue* Entity_Find(MapEntity* e, const char* key);
// Puts a new pair at the front. False when out of memory or the key is too long.
bool Entity_Add(MapEntity* e, const char* key, const char* value);
// Gives the first pair with the key the value, or adds a new pair.
bool Entity_Set(MapEntity* e, const char* key, const char* value);
// Replaces the value of one pair.
bool Pair_SetValue(EntityKeyValue* pair, const char* value);
// Frees every pair of the record.
void Entity_FreePairs(MapEntity* e);

// Owned copy of a text (malloc); null when out of memory.
char* Str_Copy(const char* text);
