#include "script.h"

#include <stdio.h>
#include <string.h>

void Script_Begin(ScriptParser* p, const char* text, size_t length, ScriptErrorFn error) {
  p->start = text;
  p->pos = text;
  p->end = text + length;
  p->line = 1;
  p->token[0] = '\0';
  p->error = error;
}

void Script_Error(ScriptParser* p, const char* message) {
  if (p->error) p->error(message);
}

static void lineError(ScriptParser* p, const char* format) {
  char text[64];
  snprintf(text, sizeof text, format, p->line);
  Script_Error(p, text);
}

static void incomplete(ScriptParser* p) {
  lineError(p, "Line %i is incomplete\n");
}

// True when a comment starts at the read position.
static bool atComment(const ScriptParser* p) {
  char c = *p->pos;
  if (c == ';' || c == '#') return true;
  return c == '/' && p->pos + 1 < p->end && p->pos[1] == '/';
}

bool Script_GetToken(ScriptParser* p, bool crossLine) {
  // Skip whitespace and comments up to the token.
  for (;;) {
    while (p->pos < p->end && (unsigned char)*p->pos <= 32) {
      if (*p->pos == '\n') {
        if (!crossLine) {
          incomplete(p);
          return false;
        }
        p->line++;
      }
      p->pos++;
    }
    if (p->pos >= p->end) {
      if (!crossLine) incomplete(p);
      return false;
    }
    if (!atComment(p)) break;
    if (!crossLine) {
      incomplete(p);
      return false;
    }
    while (p->pos < p->end && *p->pos != '\n') p->pos++;
  }

  // Build the token aside, so that a failed read leaves the last one intact.
  char text[SCRIPT_MAX_TOKEN + 1];
  size_t n = 0;
  bool tooLarge = false;
  if (*p->pos == '"') {
    p->pos++;
    while (p->pos < p->end && *p->pos != '"') {
      if (*p->pos == '\n') p->line++;
      if (n < SCRIPT_MAX_TOKEN) text[n++] = *p->pos; else tooLarge = true;
      p->pos++;
    }
    if (p->pos < p->end) p->pos++;  // the closing quote
  } else {
    while (p->pos < p->end && (unsigned char)*p->pos > 32 && *p->pos != ';') {
      if (n < SCRIPT_MAX_TOKEN) text[n++] = *p->pos; else tooLarge = true;
      p->pos++;
    }
  }
  if (tooLarge) {
    lineError(p, "Token too large on line %i\n");
    return false;
  }
  memcpy(p->token, text, n);
  p->token[n] = '\0';
  return true;
}
