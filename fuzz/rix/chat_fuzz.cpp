// Splits chat lines the way the entity editor reads "say <text>".
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "chatargs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char text[1024];
  size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
  memcpy(text, data, n);
  text[n] = '\0';
  ChatArgs args = {};
  args.count = 2;
  ChatArgs_Set(&args, 0, "say");
  ChatArgs_Set(&args, 1, text);
  ChatArgs_Split(&args);
  if (args.count < 2 || args.count > CHAT_MAX_ARGS) __builtin_trap();
  for (int i = 0; i < CHAT_MAX_ARGS; i++)
    if (strlen(args.arg[i]) > CHAT_MAX_ARG) __builtin_trap();
  return 0;
}
