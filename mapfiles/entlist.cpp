#include "entlist.h"

#include <stdlib.h>
#include <string.h>

char* Str_Copy(const char* text) {
  size_t n = strlen(text);
  char* copy = static_cast<char*>(malloc(n + 1));
  if (copy) memcpy(copy, text, n + 1);
  return copy;
}

void Entity_FreePairs(MapEntity* e) {
  EntityKeyValue* pair = e->pairs;
  while (pair) {
    EntityKeyValue* next = pair->next;
    free(pair->value);
    free(pair);
    pair = next;
  }
  e->pairs = nullptr;
}

void EntList_Clear(AddedEntities* table) {
  for (int i = 0; i < MAX_MAP_ENTITIES; i++) {
    Entity_FreePairs(&table->records[i]);
    table->records[i].spawnedIndex = 0;
  }
  table->num_entities = 0;
}

void Removal_Clear(RemovalList* list) {
  for (int i = 0; i < list->count; i++) {
    free(list->names[i]);
    list->names[i] = nullptr;
  }
  list->count = 0;
}

void Removal_Parse(RemovalList* list, const char* text, size_t length, ScriptErrorFn error,
                   void* errorContext) {
  ScriptParser parser;
  Script_Begin(&parser, text, length, error, errorContext);
  while (list->count < MAX_REMOVAL_NAMES && Script_GetToken(&parser, true)) {
    if (strcmp(parser.token, "worldspawn") == 0)
      Script_Error(&parser, REMOVAL_WORLDSPAWN, "worldspawn is never removed");
    char* name = Str_Copy(parser.token);
    if (!name) break;
    list->names[list->count++] = name;
  }
  // Only a reporter cares what lies beyond the last name taken.
  if (error && list->count == MAX_REMOVAL_NAMES && Script_GetToken(&parser, true))
    Script_Error(&parser, REMOVAL_TOO_MANY_NAMES, "Names past the limit are ignored");
}

MapEntity* EntList_Pending(AddedEntities* table) {
  if (table->num_entities < 0 || table->num_entities >= MAX_MAP_ENTITIES) return nullptr;
  return &table->records[table->num_entities];
}

EntityKeyValue* Entity_Find(MapEntity* e, const char* key) {
  for (EntityKeyValue* pair = e->pairs; pair; pair = pair->next)
    if (strcmp(pair->key, key) == 0) return pair;
  return nullptr;
}

bool Entity_Add(MapEntity* e, const char* key, const char* value) {
  if (strlen(key) > MAX_ENTITY_KEY) return false;
  EntityKeyValue* pair = static_cast<EntityKeyValue*>(malloc(sizeof(EntityKeyValue)));
  if (!pair) return false;
  pair->value = Str_Copy(value);
  if (!pair->value) {
    free(pair);
    return false;
  }
  strcpy(pair->key, key);
  pair->next = e->pairs;
  e->pairs = pair;
  return true;
}

bool Pair_SetValue(EntityKeyValue* pair, const char* value) {
  char* copy = Str_Copy(value);
  if (!copy) return false;
  free(pair->value);
  pair->value = copy;
  return true;
}

bool Entity_Set(MapEntity* e, const char* key, const char* value) {
  EntityKeyValue* pair = Entity_Find(e, key);
  if (pair) return Pair_SetValue(pair, value);
  return Entity_Add(e, key, value);
}

// Reports a finished or cut-off block that the spawn step will skip.
static void checkClass(ScriptParser* parser, MapEntity* record, int line) {
  if (parser->error && !Entity_Find(record, "classname"))
    Script_ErrorAt(parser, ENT_NO_CLASSNAME, line, "Block without classname");
}

bool ParseEntity(AddedEntities* table, ScriptParser* parser) {
  if (!Script_GetToken(parser, true)) return false;
  if (strcmp(parser->token, "{") != 0) {
    Script_Error(parser, ENT_NO_OPEN_BRACE, "ParseEntity: { not found");
    return false;
  }
  if (table->num_entities >= MAX_MAP_ENTITIES) {
    Script_Error(parser, ENT_TABLE_FULL, "num_entities==MAX_MAP_ENTITIES");
    return false;
  }
  const int blockLine = parser->line;
  MapEntity* record = &table->records[table->num_entities++];
  for (;;) {
    if (!Script_GetToken(parser, true)) {
      // A token too large was reported already; this is the end of the text.
      if (!parser->failed)
        Script_ErrorAt(parser, ENT_NO_CLOSING_BRACE, blockLine, "ParseEntity: EOF without closing brace");
      checkClass(parser, record, blockLine);
      return false;
    }
    if (strcmp(parser->token, "}") == 0) {
      checkClass(parser, record, blockLine);
      return true;
    }
    if (strlen(parser->token) > MAX_ENTITY_KEY) {
      Script_Error(parser, ENT_KEY_TOO_LONG, "ParseEpar: token too long");
      return false;
    }
    char key[MAX_ENTITY_KEY + 1];
    strcpy(key, parser->token);
    // A key alone on its line keeps its own text as value (the token is
    // unchanged by a failed read); reading goes on with the next line.
    Script_GetToken(parser, false);
    if (!Entity_Add(record, key, parser->token)) return false;
  }
}

void EntList_Parse(AddedEntities* table, const char* text, size_t length, ScriptErrorFn error,
                   void* errorContext) {
  ScriptParser parser;
  Script_Begin(&parser, text, length, error, errorContext);
  while (ParseEntity(table, &parser)) {
  }
}
