// Reads a text as the map entity files are read: tokens with and without
// line crossing, in an order taken from the input's first byte.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "script.h"

static void onError(void*, ScriptProblem, int line, const char* message) {
  if (strlen(message) > 200 || line < 1) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  unsigned pattern = data[0];
  ScriptParser p;
  Script_Begin(&p, reinterpret_cast<const char*>(data + 1), size - 1, onError, nullptr);
  for (int i = 0; i < 100000; i++) {
    bool cross = ((pattern >> (i & 7)) & 1) == 0;
    const char* before = p.pos;
    bool ok = Script_GetToken(&p, cross);
    if (strlen(p.token) > SCRIPT_MAX_TOKEN) __builtin_trap();
    if (p.pos < before || p.pos > p.end) __builtin_trap();
    if (ok && p.pos == before) __builtin_trap();  // every token consumes text
    if (!ok && !Script_GetToken(&p, true)) break;
  }
  return 0;
}
