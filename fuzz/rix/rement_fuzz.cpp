// Reads removal files into the removal list and frees it.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "entlist.h"

static RemovalList removalList;

static void onError(void* context, ScriptProblem, int line, const char*) {
  size_t size = *static_cast<size_t*>(context);
  if (line < 1 || (size_t)line > size + 1) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Removal_Parse(&removalList, reinterpret_cast<const char*>(data), size, onError, &size);
  if (removalList.count < 0 || removalList.count > MAX_REMOVAL_NAMES) __builtin_trap();
  for (int i = 0; i < removalList.count; i++)
    if (strlen(removalList.names[i]) > SCRIPT_MAX_TOKEN) __builtin_trap();
  Removal_Clear(&removalList);
  return 0;
}
