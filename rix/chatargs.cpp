#include "chatargs.h"

#include <string.h>

#include "script.h"

void ChatArgs_Set(ChatArgs* a, int index, const char* text) {
  if (index < 0 || index >= CHAT_MAX_ARGS) return;
  if (!text) text = "";
  size_t n = strlen(text);
  if (n > CHAT_MAX_ARG) n = CHAT_MAX_ARG;
  memcpy(a->arg[index], text, n);
  a->arg[index][n] = '\0';
}

void ChatArgs_Split(ChatArgs* a) {
  if (a->count != 2) return;
  char text[CHAT_MAX_ARG + 1];
  memcpy(text, a->arg[1], sizeof text);
  ScriptParser parser;
  Script_Begin(&parser, text, strlen(text), nullptr, nullptr);
  for (int i = 1; i < CHAT_MAX_ARGS && Script_GetToken(&parser, true); i++) {
    ChatArgs_Set(a, i, parser.token);
    if (i >= 2) a->count = i + 1;
  }
}
