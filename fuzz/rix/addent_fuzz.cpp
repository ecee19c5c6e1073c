// Reads whole addition files into the added-entity table and frees them; every
// problem reported names a line of the text.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "entlist.h"

static AddedEntities addedEntities;

static void onError(void* context, ScriptProblem, int line, const char*) {
  size_t size = *static_cast<size_t*>(context);
  if (line < 1 || (size_t)line > size + 1) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EntList_Parse(&addedEntities, reinterpret_cast<const char*>(data), size, onError, &size);
  AddedEntities& t = addedEntities;
  if (t.num_entities < 0 || t.num_entities > MAX_MAP_ENTITIES) __builtin_trap();
  for (int i = 0; i < t.num_entities; i++) {
    for (EntityKeyValue* pair = t.records[i].pairs; pair; pair = pair->next) {
      if (strlen(pair->key) > MAX_ENTITY_KEY) __builtin_trap();
      if (strlen(pair->value) > SCRIPT_MAX_TOKEN) __builtin_trap();
    }
  }
  // The editor works on the record after the last one.
  MapEntity* pending = EntList_Pending(&t);
  if (pending && pending->pairs) __builtin_trap();
  if (pending) {
    Entity_Set(pending, "classname", "info_target");
    Entity_Set(pending, "classname", "func_wall");
    Entity_FreePairs(pending);
  }
  EntList_Clear(&t);
  return 0;
}
